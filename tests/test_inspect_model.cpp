// veloria-tool model: the summary of a model file, as text and JSON, and the
// reader's error with exit status 1.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <string>

#include "tests/files_3ds.h"

namespace {

struct RunResult {
  int status;
  std::string out;
};

RunResult RunTool(const std::string& arguments) {
  const std::string command = std::string(VELORIA_TOOL) + " " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  RunResult result{-1, ""};
  if (!pipe) return result;
  std::array<char, 4096> buffer;
  size_t n;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) result.out.append(buffer.data(), n);
  const int raw = pclose(pipe);
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return result;
}

TEST(InspectModel, SummarisesEveryMesh) {
  std::vector<uint8_t> bytes = ModelFile({MeshObjectChunk(StripObject("tri", 3)), LightObject("l")});
  const std::string path = WriteTempModel("inspect.3ds", bytes);
  const RunResult text = RunTool("model " + path);
  EXPECT_EQ(text.status, 0) << text.out;
  EXPECT_NE(text.out.find("1 mesh\n"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("mesh 0 \"tri\": 3 vertices, 1 faces, 3 mapping coordinates, box (0, 0, 0) .. (2, 4, 6)"),
            std::string::npos)
      << text.out;

  const RunResult json = RunTool("model --json " + path);
  EXPECT_EQ(json.status, 0);
  EXPECT_NE(json.out.find("\"meshCount\": 1"), std::string::npos) << json.out;
  EXPECT_NE(json.out.find("{\"name\": \"tri\", \"vertices\": 3, \"faces\": 1, \"mappingCoordinates\": 3"),
            std::string::npos)
      << json.out;
  EXPECT_NE(json.out.find("\"max\": [2, 4, 6]"), std::string::npos) << json.out;

  // A coordinate that is not a number stays valid JSON.
  Model3DSObject odd = StripObject("odd \"one\"", 3);
  odd.Vertices[0].x = NAN;
  const RunResult nan = RunTool("model --json " + WriteTempModel("nan.3ds", Encode3DSModel({odd})));
  EXPECT_EQ(nan.status, 0);
  EXPECT_NE(nan.out.find("\"name\": \"odd \\\"one\\\"\""), std::string::npos) << nan.out;
  EXPECT_NE(nan.out.find("\"min\": [null, 0, 0]"), std::string::npos) << nan.out;
}

TEST(InspectModel, RejectedFilesExitWithTheReadersMessage) {
  std::vector<uint8_t> bytes = ModelFile({MeshObjectChunk(StripObject("tri", 3))});
  PutU32(bytes, FindTag(bytes, 0x4110) + 2, 2);
  const RunResult bad = RunTool("model " + WriteTempModel("bad_inspect.3ds", bytes));
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.out.find("chunk 0x4110 at offset"), std::string::npos) << bad.out;

  const RunResult json = RunTool("model --json " + WriteTempModel("bad_inspect.3ds", bytes));
  EXPECT_EQ(json.status, 1);
  EXPECT_NE(json.out.find("\"error\": \"chunk 0x4110"), std::string::npos) << json.out;

  const RunResult missing = RunTool("model /no/such/file.3ds");
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.out.find("Cannot open file /no/such/file.3ds"), std::string::npos);

  EXPECT_EQ(RunTool("model").status, 2);
}

TEST(InspectModel, ShowModelsOpen) {
  for (const char* name : {"heart", "invertgeo", "geo", "dame"}) {
    const RunResult result = RunTool(std::string("model ") + VELORIA_DATA_DIR + "/mod/" + name + ".3ds");
    EXPECT_EQ(result.status, 0) << name << ": " << result.out;
    EXPECT_NE(result.out.find("1 mesh\n"), std::string::npos) << result.out;
  }
}

}  // namespace
