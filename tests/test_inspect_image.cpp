// veloria-tool image: the decoded picture's facts, the readers' messages, and
// the PNG it writes (top row first).

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/png_file.h"
#include "tests/picture_bytes.h"

namespace {

struct RunResult {
  int status;
  std::string output;  // stdout and stderr together
};

RunResult RunTool(const std::string& args) {
  const std::string command = std::string(VELORIA_TOOL) + " " + args + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  RunResult result{-1, ""};
  if (!pipe) return result;
  std::array<char, 256> buffer{};
  while (fgets(buffer.data(), buffer.size(), pipe)) result.output += buffer.data();
  const int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

TEST(InspectImage, PrintsTheDecodedFacts) {
  const std::string tga = WriteTempFile("inspect.tga", MakeTga(10, 3, 2, 32, {0x85, 1, 2, 3, 4}));
  const RunResult r = RunTool("image " + tga);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.output, "width 3\nheight 2\nformat RGBA\nbytes per pixel 4\n");
  EXPECT_EQ(RunTool(tga).status, 2);  // not a command
  BmpSpec bmp{5, 1, 24, 0, 0, std::vector<uint8_t>(15, 9)};
  const RunResult b = RunTool("image " + WriteTempFile("inspect.bmp", MakeBmp(bmp)));
  EXPECT_EQ(b.status, 0);
  EXPECT_NE(b.output.find("format RGB\nbytes per pixel 3"), std::string::npos);
}

TEST(InspectImage, RejectedFilesGiveTheReadersMessages) {
  const std::string mapped = WriteTempFile("inspect_mapped.tga", MakeTga(1, 1, 1, 8, {0}, 1));
  RunResult r = RunTool("image " + mapped);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.output, "TGA File Error: Couldn't load \"" + mapped + "\". Only 24 and 32bit TGA supported.\n");
  const std::string broken = WriteTempFile("inspect_broken.jpg", {0xFF, 0xD8, 0xFF, 0xE0, 0, 0});
  r = RunTool("image " + broken);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.output, "BMP Unit: Couldn't load JPG - \"" + broken + "\"\n");
  r = RunTool("image /nonexistent/x.bmp");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.output, "BMP Unit: Error opening /nonexistent/x.bmp\n");
  EXPECT_EQ(RunTool("image picture.gif").status, 2);
  EXPECT_EQ(RunTool("image a.tga --png").status, 2);
}

TEST(InspectImage, PngIsWrittenTopRowFirst) {
  // 1 x 2 BMP: bottom row red, top row blue.
  BmpSpec bmp{1, 2, 24, 0, 0, {255, 0, 0, 0, 0, 255}};
  const std::string input = WriteTempFile("inspect_rows.bmp", MakeBmp(bmp));
  const std::string output = (std::filesystem::temp_directory_path() / ("rows_" + std::to_string(getpid()) + ".png")).string();
  ASSERT_EQ(RunTool("image " + input + " --png " + output).status, 0);
  // ReadPng turns the file's rows back, so what comes back is the BMP's
  // bottom-up order again only if the file holds them top first.
  TImage png;
  std::string error;
  ASSERT_TRUE(ReadPng(output, png, error)) << error;
  const std::vector<uint8_t>& rows = png.Pixels;
  ASSERT_EQ(rows.size(), 6u);
  EXPECT_EQ(rows[0], 255);  // bottom row: red
  EXPECT_EQ(rows[5], 255);  // top row: blue
  // The file itself, read row by row: the top (blue) comes first.
  const std::string dump = "ffmpeg -loglevel error -i '" + output + "' -f rawvideo -pix_fmt rgb24 -";
  FILE* pipe = popen(dump.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  uint8_t fileRows[6] = {};
  const size_t got = fread(fileRows, 1, sizeof fileRows, pipe);
  pclose(pipe);
  ASSERT_EQ(got, 6u);
  EXPECT_EQ(fileRows[2], 255);  // first row in the file: the top, blue
  EXPECT_EQ(fileRows[3], 255);  // second: the bottom, red
  std::filesystem::remove(output);
}

}  // namespace
