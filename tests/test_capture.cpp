// Capture: the encoder's command line, the partial name, the frame count and
// progress line, the child process and its pipe, and whole --capture runs:
// no ffmpeg, a file that cannot be written, an encoder that fails, signals
// and a closed stderr, and a short real video checked with ffprobe.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/capture.h"
#include "core/sync_file.h"
#include "platform/pipe_process.h"
#include "platform/png_file.h"
#include "tests/program_run.h"

namespace {

namespace fs = std::filesystem;

bool Has(const std::vector<std::string>& args, const std::string& arg) {
  return std::find(args.begin(), args.end(), arg) != args.end();
}

// The word after `arg` in `args`, or "" when there is none.
std::string After(const std::vector<std::string>& args, const std::string& arg) {
  const auto it = std::find(args.begin(), args.end(), arg);
  return it == args.end() || it + 1 == args.end() ? std::string() : *(it + 1);
}

TEST(CaptureCommandTest, RawFramesInMusicMuxedH264ForMp4) {
  const std::vector<std::string> args = CaptureCommand("/v/.show.partial.mp4", "/d/music/test01.mp3", 800, 600, {30, 1}, VideoQuality::Web);
  ASSERT_FALSE(args.empty());
  EXPECT_EQ(args.front(), "ffmpeg");
  EXPECT_EQ(args.back(), "/v/.show.partial.mp4");
  EXPECT_EQ(After(args, "-f"), "rawvideo");
  EXPECT_EQ(After(args, "-pix_fmt"), "rgb0");  // the first -pix_fmt is the input's: alpha ignored
  EXPECT_EQ(After(args, "-vf").rfind("vflip,", 0), 0u);  // the GL's rows come bottom first
  EXPECT_EQ(After(args, "-video_size"), "800x600");
  EXPECT_EQ(After(args, "-framerate"), "30");
  // Frames come first from the pipe, then the music from its start.
  const auto pipe = std::find(args.begin(), args.end(), "pipe:0");
  const auto music = std::find(args.begin(), args.end(), "/d/music/test01.mp3");
  ASSERT_NE(pipe, args.end());
  ASSERT_NE(music, args.end());
  EXPECT_LT(pipe, music);
  EXPECT_EQ(*(music - 1), "-i");
  EXPECT_TRUE(Has(args, "1:a:0"));
  // The picture sets the length: short music is padded, long music cut.
  EXPECT_TRUE(Has(args, "apad"));
  EXPECT_TRUE(Has(args, "-shortest"));
  EXPECT_EQ(After(args, "-c:v"), "libx264");
  EXPECT_EQ(After(args, "-c:a"), "aac");
  EXPECT_TRUE(Has(args, "-nostdin"));
  EXPECT_TRUE(Has(args, "-y"));
  // The index at the front, and encoders on as many threads on any machine.
  EXPECT_TRUE(Has(args, "+faststart"));
  EXPECT_EQ(After(args, "-threads"), "4");
}

TEST(CaptureCommandTest, SilentAndOtherContainers) {
  const std::vector<std::string> silent = CaptureCommand("a.MKV", "", 800, 600, {60, 1}, VideoQuality::Draft);
  EXPECT_EQ(std::count(silent.begin(), silent.end(), "-i"), 1);
  EXPECT_FALSE(Has(silent, "-shortest"));
  EXPECT_FALSE(Has(silent, "-c:a"));
  EXPECT_EQ(After(silent, "-c:v"), "libx264");  // the extension's case does not matter
  EXPECT_EQ(After(silent, "-preset"), "ultrafast");
  EXPECT_FALSE(Has(silent, "+faststart"));
  // Other extensions leave the codecs to ffmpeg's choice for the container.
  const std::vector<std::string> webm = CaptureCommand("a.webm", "m.mp3", 800, 600, {60, 1}, VideoQuality::Web);
  EXPECT_FALSE(Has(webm, "-c:v"));
  EXPECT_FALSE(Has(webm, "-preset"));
  EXPECT_TRUE(Has(webm, "m.mp3"));
}

TEST(CaptureNamesTest, PartialFileKeepsDirectoryAndExtension) {
  EXPECT_EQ(PartialCapturePath("/a/b/show.mp4"), "/a/b/.show.partial.mp4");
  EXPECT_EQ(PartialCapturePath("clip.v1.webm"), ".clip.v1.partial.webm");
  EXPECT_EQ(PartialCapturePath("/x/noext"), "/x/.noext.partial");
}

TEST(CaptureNamesTest, FrameCountFollowsTheShowClock) {
  // Frames 0 .. 11980: the last at 199.6667 s, the next would pass 199.68.
  EXPECT_EQ(CaptureFrameCount(199.68f, {60, 1}), 11981);
  // At 59.94 frame n is at n * 1001 / 60000 s: the last is 11968, at 199.666 s.
  EXPECT_EQ(CaptureFrameCount(199.68f, {60000, 1001}), 11969);
  // An end on a frame's time includes that frame.
  EXPECT_EQ(CaptureFrameCount(2.0f, {60, 1}), 121);
  EXPECT_EQ(CaptureFrameCount(1.0f, {25, 1}), 26);
  EXPECT_EQ(CaptureFrameCount(0.0f, {60, 1}), 0);
  EXPECT_EQ(CaptureFrameCount(-1.0f, {60, 1}), 0);
}

TEST(CaptureNamesTest, ProgressLineShowsFramesPercentSpeedAndTimeLeft) {
  // 600 of 1200 frames at 60 fps = 10 s of show in 5 s: twice real time, 5 s left.
  const std::string line = CaptureProgressLine(600, 1200, 5.0, {60, 1});
  EXPECT_NE(line.find("[############............]"), std::string::npos) << line;
  EXPECT_NE(line.find("600/1200 frames"), std::string::npos) << line;
  EXPECT_NE(line.find("50.0%"), std::string::npos) << line;
  EXPECT_NE(line.find("2.00x real time"), std::string::npos) << line;
  EXPECT_NE(line.find("0:05 left"), std::string::npos) << line;
  EXPECT_NE(CaptureProgressLine(12000, 12000, 100.0, {60, 1}).find("100.0%"), std::string::npos);
  EXPECT_NE(CaptureProgressLine(3600, 7200, 30.0, {60, 1}).find("0:30 left"), std::string::npos);
  // Unknown total: no bar, no percent, no time left; no time yet: no speed.
  const std::string unknown = CaptureProgressLine(10, 0, 0.0, {60, 1});
  EXPECT_EQ(unknown.find('%'), std::string::npos) << unknown;
  EXPECT_EQ(unknown.find("left"), std::string::npos) << unknown;
  EXPECT_NE(unknown.find("10 frames  0.00x"), std::string::npos) << unknown;
}

TEST(PipeProcessTest, FindsProgramsOnPath) {
  EXPECT_NE(FindOnPath("sh"), "");
  EXPECT_EQ(FindOnPath("veloria-no-such-program"), "");
  EXPECT_EQ(FindOnPath("/bin/sh"), "/bin/sh");
  EXPECT_EQ(FindOnPath("/no/such/sh"), "");
  PipeProcess process;
  std::string error;
  EXPECT_FALSE(process.Start({"veloria-no-such-program"}, "/dev/null", error));
  EXPECT_EQ(error, "veloria-no-such-program was not found on PATH");
}

TEST(PipeProcessTest, ChildSeesTheBytesAndReportsItsExit) {
  const fs::path dir = TempDir("veloria_pipe_");
  const fs::path log = dir / "log.txt";
  PipeProcess process;
  std::string error;
  ASSERT_TRUE(process.Start({"sh", "-c", "wc -c; echo done >&2; exit 3"}, log.string(), error)) << error;
  const std::string bytes(100000, 'x');
  ASSERT_TRUE(process.Write(bytes.data(), bytes.size(), error)) << error;
  std::string how;
  EXPECT_FALSE(process.Finish(how));
  EXPECT_EQ(how, "exit status 3");
  // Standard output and error both went to the log.
  EXPECT_EQ(ReadText(log), "100000\ndone\n");
  fs::remove_all(dir);
}

TEST(PipeProcessTest, WritingToAChildThatQuitFailsWithoutSigpipe) {
  PipeProcess process;
  std::string error;
  ASSERT_TRUE(process.Start({"sh", "-c", "exit 0"}, "/dev/null", error)) << error;
  // Far more than a pipe holds: the writes must meet the closed end.
  const std::vector<char> block(1 << 20, 'y');
  bool failed = false;
  for (int i = 0; i < 64 && !failed; ++i) failed = !process.Write(block.data(), block.size(), error);
  ASSERT_TRUE(failed);
  EXPECT_EQ(error, "the program stopped reading its input");
  // The child closes its pipe a moment before it becomes reapable, so only
  // Finish (which waits) can tell how it ended.
  std::string how;
  EXPECT_TRUE(process.Finish(how)) << how;
}

TEST(PipeProcessTest, DestroyingARunningChildEndsIt) {
  {
    PipeProcess process;
    std::string error;
    ASSERT_TRUE(process.Start({"sh", "-c", "exec sleep 30"}, "/dev/null", error));
    EXPECT_TRUE(process.Running());
  }
  // The destructor waited: nothing is left to reap.
  EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
}

// A data directory with a one-second show: sections k = 0..7 end at (k + 1) / 8 s.
class CaptureRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = TempDir("veloria_capture_");
    MakeShowDataDir(dir / "data");
    SyncLists lists;
    for (int k = 0; k < 8; ++k) lists.sectionEnds.push_back(0.125f * (k + 1));
    WriteSyncTrack(dir / "data", lists);
  }
  void TearDown() override { fs::remove_all(dir); }
  // Names in `dir` other than the test's own files and the data.
  std::vector<std::string> StrayFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
      const std::string name = entry.path().filename().string();
      if (name != "data" && name != "stdout.txt" && name != "stderr.txt" && name != "bin") {
        names.push_back(name);
      }
    }
    return names;
  }
  // The setting that puts ffmpeg's log into `dir`, where StrayFiles sees it.
  std::string TmpDir() const { return " TMPDIR='" + dir.string() + "'"; }
  // `ffmpeg` in dir/bin as the given shell script; returns the PATH setting.
  std::string FakeEncoder(const std::string& script) {
    fs::create_directories(dir / "bin");
    std::ofstream(dir / "bin" / "ffmpeg") << "#!/bin/sh\n" << script << "\n";
    fs::permissions(dir / "bin" / "ffmpeg", fs::perms::owner_all);
    return "PATH='" + (dir / "bin").string() + ":/usr/bin:/bin'";
  }
  fs::path dir;
};

TEST_F(CaptureRunTest, WithoutFfmpegOnPathItSaysSoAndLeavesNothing) {
  EXPECT_EQ(RunVeloria(dir, "--capture show.mp4", "PATH=/nonexistent"), 1);
  const std::string error = ReadText(dir / "stderr.txt");
  EXPECT_NE(error.find("--capture needs ffmpeg, which was not found on PATH"), std::string::npos)
      << error;
  EXPECT_TRUE(StrayFiles().empty());
}

TEST_F(CaptureRunTest, UnwritableOutputIsRefusedBeforeTheShow) {
  EXPECT_EQ(RunVeloria(dir, "--capture no/such/dir/show.mp4"), 1);
  EXPECT_NE(ReadText(dir / "stderr.txt").find("cannot write no/such/dir/show.mp4: No such file"),
            std::string::npos)
      << ReadText(dir / "stderr.txt");
  fs::create_directories(dir / "taken.mp4");
  EXPECT_EQ(RunVeloria(dir, "--capture taken.mp4"), 1);
  EXPECT_NE(ReadText(dir / "stderr.txt").find("taken.mp4: it is a directory"), std::string::npos);
  fs::remove(dir / "taken.mp4");
  EXPECT_TRUE(StrayFiles().empty());
}

TEST_F(CaptureRunTest, AnEncoderThatFailsLeavesNoFileAndItsMessageShows) {
  // Each encoder stops early in its own way; the show meets a closed pipe or a
  // dead child, ends, and nothing waits forever on the frames still queued.
  const char* const encoders[] = {
      // reads a little, complains and quits
      "head -c 100000 >/dev/null; echo 'fake encoder gave up' >&2; exit 1",
      // never reads at all
      "echo 'fake encoder gave up' >&2; exit 1",
      // closes its input and lives on a while: the failed write alone ends the show
      "exec 0<&-; echo 'fake encoder gave up' >&2; sleep 1; exit 1",
  };
  for (const char* script : encoders) {
    const std::string path = FakeEncoder(script);
    EXPECT_EQ(RunVeloria(dir, "--capture show.mp4", path), 1) << script;
    const std::string error = ReadText(dir / "stderr.txt");
    EXPECT_NE(error.find("the capture failed: ffmpeg"), std::string::npos) << script << "\n" << error;
    EXPECT_NE(error.find("ffmpeg: fake encoder gave up"), std::string::npos) << script << "\n" << error;
    EXPECT_NE(error.find("exit status 1"), std::string::npos) << script << "\n" << error;
    EXPECT_NE(error.find("show.mp4 was not written"), std::string::npos) << script << "\n" << error;
    EXPECT_TRUE(StrayFiles().empty()) << script;
    fs::remove_all(dir / "bin");
  }
  // A real ffmpeg that cannot make the format is a failure too.
  EXPECT_EQ(RunVeloria(dir, "--capture show.notaformat"), 1);
  EXPECT_NE(ReadText(dir / "stderr.txt").find("the capture failed"), std::string::npos);
  EXPECT_TRUE(StrayFiles().empty());
}

TEST_F(CaptureRunTest, ARuntimeErrorEndsTheEncoderAndLeavesNoFile) {
  fs::remove(dir / "data" / "music" / "sync.snc");
  EXPECT_EQ(RunVeloria(dir, "--capture show.mp4"), 1);
  EXPECT_NE(ReadText(dir / "stderr.txt").find("Cannot open file music\\sync.snc"), std::string::npos)
      << ReadText(dir / "stderr.txt");
  EXPECT_TRUE(StrayFiles().empty());
}

TEST_F(CaptureRunTest, ASignalEndsTheRunWithinASecondAndLeavesNoFile) {
  // The encoder takes about two frames, says so in bin/ (it runs in data/), then
  // reads on or stalls (neither reads nor exits).
  for (const auto& [then, signal] : {std::pair{"cat >/dev/null", SIGTERM}, {"cat >/dev/null", SIGHUP}, {"exec sleep 60", SIGINT}}) {
    BackgroundRun run(dir, "--capture show.mp4", FakeEncoder(std::string("head -c 2880000 >/dev/null; touch ../bin/fed; ") + then) + TmpDir());
    ASSERT_TRUE(run.WaitForFile(dir / "bin" / "fed", 60)) << ReadText(dir / "stderr.txt");
    // Long enough for a stalled encoder's pipe to fill and the show to wait on it.
    ::usleep(300000);
    run.Signal(signal);
    // A run still going after a second is killed and counts as kRunTimedOut.
    EXPECT_EQ(run.Wait(1), 128 + signal) << then;
    EXPECT_NE(ReadText(dir / "stderr.txt").find("capture interrupted; show.mp4 was not written"), std::string::npos);
    EXPECT_EQ(StrayFiles(), std::vector<std::string>{}) << then;
    fs::remove_all(dir / "bin");
  }
}

TEST_F(CaptureRunTest, AClosedStderrOnlyLosesTheProgressLines) {
  // stderr is a pipe whose reader has gone: every progress line fails. The
  // status goes to "bin", a name StrayFiles leaves out.
  const std::string run = "cd '" + dir.string() + "' && {" + TmpDir() + " '" VELORIA_BINARY
                          "' --capture show.mp4 --fps 10 2>&1 >stdout.txt; echo $? >bin; } | true";
  ASSERT_EQ(std::system(run.c_str()), 0);
  EXPECT_EQ(ReadText(dir / "bin"), "0\n");
  EXPECT_TRUE(fs::remove(dir / "show.mp4"));
  EXPECT_EQ(StrayFiles(), std::vector<std::string>{});
}

TEST_F(CaptureRunTest, RunShowPlaysOnTheDesktopOrRendersTheVideoWithoutADisplay) {
  const fs::path script = fs::path(VELORIA_TEST_FILES).parent_path().parent_path() / "scripts" / "run-show";
  fs::create_directories(dir / "build");
  // A stand-in program that records its arguments.
  std::ofstream(dir / "build" / "veloria")
      << "#!/bin/sh\necho \"$@\" >'" << (dir / "args.txt").string() << "'\nexit ${FAKE_STATUS:-0}\n";
  fs::permissions(dir / "build" / "veloria", fs::perms::owner_all);
  const std::string run = "cd '" + dir.string() + "' && env -u DISPLAY -u WAYLAND_DISPLAY ";
  const std::string tail = " bash '" + script.string() + "' build >stdout.txt 2>stderr.txt";
  ASSERT_EQ(std::system((run + tail).c_str()), 0) << ReadText(dir / "stderr.txt");
  const fs::path video = fs::canonical(dir / "build") / "veloria.mp4";
  EXPECT_EQ(ReadText(dir / "args.txt"), "--capture " + video.string() + "\n");
  EXPECT_NE(ReadText(dir / "stderr.txt").find("the show is in " + video.string()), std::string::npos)
      << ReadText(dir / "stderr.txt");
  // A failed capture fails the command with the program's status.
  const int status = std::system((run + "FAKE_STATUS=1" + tail).c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
  EXPECT_NE(ReadText(dir / "stderr.txt").find("the video could not be made"), std::string::npos);
  // With a display the show plays there, scaled to the desktop.
  ASSERT_EQ(std::system(("cd '" + dir.string() + "' && env -u WAYLAND_DISPLAY DISPLAY=:99" + tail).c_str()), 0);
  EXPECT_EQ(ReadText(dir / "args.txt"), "--desktop\n");
}

TEST_F(CaptureRunTest, ShortShowBecomesAVideoWithSoundOfItsLength) {
  // Half a second of music: the sound track is padded to the picture's length.
  ASSERT_EQ(std::system(("ffmpeg -loglevel error -f lavfi -i sine=frequency=440:duration=0.5 -c:a libmp3lame '" +
                         (dir / "data" / "music" / "test01.mp3").string() + "'")
                            .c_str()),
            0);
  ASSERT_EQ(RunVeloria(dir, "--capture out/show.mp4 --fps 30", "mkdir out &&"), 0)
      << ReadText(dir / "stderr.txt");
  const std::string log = ReadText(dir / "stderr.txt");
  EXPECT_NE(log.find("31/31 frames 100.0%"), std::string::npos) << log;
  EXPECT_NE(log.find("31 frames at 30 fps"), std::string::npos) << log;
  ASSERT_TRUE(fs::exists(dir / "out" / "show.mp4"));
  EXPECT_FALSE(fs::exists(dir / "out" / ".show.partial.mp4"));

  const std::string probe = "ffprobe -v error -show_entries stream=codec_type,codec_name,nb_frames,r_frame_rate "
                            "-show_entries format=duration -of default=noprint_wrappers=1 '" +
                            (dir / "out" / "show.mp4").string() + "' >'" + (dir / "probe.txt").string() + "'";
  ASSERT_EQ(std::system(probe.c_str()), 0);
  const std::string streams = ReadText(dir / "probe.txt");
  EXPECT_NE(streams.find("codec_name=h264\ncodec_type=video\nr_frame_rate=30/1\nnb_frames=31"),
            std::string::npos)
      << streams;
  EXPECT_NE(streams.find("codec_name=aac\ncodec_type=audio"), std::string::npos) << streams;
  const size_t at = streams.find("duration=");
  ASSERT_NE(at, std::string::npos);
  // 31 frames of 1/30 s; the sound may end up to one audio frame later.
  EXPECT_NEAR(std::stod(streams.substr(at + 9)), 31.0 / 30.0, 0.05) << streams;
}

// What ffprobe tells of `file`'s `entries`, one "key=value" a line.
std::string Probe(const fs::path& file, const std::string& entries) {
  const std::string command = "ffprobe -v error -show_entries " + entries + " -of default=noprint_wrappers=1 '" +
                              file.string() + "' >'" + file.string() + ".txt'";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  return ReadText(file.string() + ".txt");
}

// At 59.94: the master's frames are the shots' pixels; the web video is what
// video sites ask for; each quality makes the same file twice; the end line
// tells the file's size.
TEST_F(CaptureRunTest, MastersAreTheShotsAndEveryCaptureRepeatsByteForByte) {
  ASSERT_EQ(std::system(("ffmpeg -loglevel error -f lavfi -i sine=duration=0.5 '" +
                         (dir / "data" / "music" / "test01.mp3").string() + "'").c_str()), 0);
  for (const std::string file : {"a.mkv", "b.mkv", "a.mp4", "b.mp4"}) {
    const std::string quality = file.back() == 'v' ? " --video-quality master" : "";
    ASSERT_EQ(RunVeloria(dir, "--capture " + file + " --fps 60000/1001" + quality), 0) << ReadText(dir / "stderr.txt");
  }
  char size[64];
  std::snprintf(size, sizeof size, "with sound; %.1f MB, ", static_cast<double>(fs::file_size(dir / "b.mp4")) / 1e6);
  EXPECT_NE(ReadText(dir / "stderr.txt").find(std::string("60 frames at 59.94 fps, 1.00 s of show ") + size),
            std::string::npos) << ReadText(dir / "stderr.txt");
  EXPECT_EQ(ReadBytes(dir / "a.mkv"), ReadBytes(dir / "b.mkv"));
  EXPECT_EQ(ReadBytes(dir / "a.mp4"), ReadBytes(dir / "b.mp4"));
  ASSERT_EQ(RunVeloria(dir, "--shots 0.5,0.98 --fps 59.94 --out shots"), 0) << ReadText(dir / "stderr.txt");
  // Frames 30 and 59, at 0.5005 and 0.9843 s: the first at or after each shot's time.
  ASSERT_EQ(std::system(("cd '" + dir.string() + "' && ffmpeg -loglevel error -i a.mkv -vf select='eq(n\\,30)+eq(n\\,59)' " +
                         "-vsync 0 -pix_fmt rgb24 shots/frame-%d.png").c_str()), 0);
  TImage fromVideo, fromShot;
  std::string error;
  for (const auto& [frame, shot] : {std::pair{"frame-1.png", "shot-0.5.png"}, {"frame-2.png", "shot-0.98.png"}}) {
    ASSERT_TRUE(ReadPng((dir / "shots" / frame).string(), fromVideo, error) && ReadPng((dir / "shots" / shot).string(), fromShot, error));
    EXPECT_TRUE(fromVideo.Pixels == fromShot.Pixels) << shot;
  }
  EXPECT_EQ(Probe(dir / "a.mkv", "stream=codec_name,pix_fmt"), "codec_name=ffv1\npix_fmt=bgr0\ncodec_name=flac\n");
  EXPECT_EQ(Probe(dir / "a.mp4", "stream=profile,pix_fmt,color_space,color_transfer,color_primaries,r_frame_rate"),
            "profile=High\npix_fmt=yuv420p\ncolor_space=bt709\ncolor_transfer=bt709\ncolor_primaries=bt709\n"
            "r_frame_rate=60000/1001\nprofile=LC\nr_frame_rate=0/0\n");
}

// Sum of absolute differences of the HUD's first line (time and section),
// which names the frame's show time, between two 800 x 600 RGB pictures.
long FirstHudLineDifference(const TImage& a, const TImage& b) {
  long sum = 0;
  for (int y = 4; y < 22; ++y) {  // pixel rows from the top
    for (int x = 4; x < 234; ++x) {
      for (int c = 0; c < 3; ++c) {
        const size_t i = (static_cast<size_t>(599 - y) * 800 + x) * 3 + c;
        sum += std::abs(static_cast<int>(a.Pixels[i]) - static_cast<int>(b.Pixels[i]));
      }
    }
  }
  return sum;
}

TEST_F(CaptureRunTest, VideoFrameAtATimeIsTheScreenshotAtThatTime) {
  ASSERT_EQ(RunVeloria(dir, "--hud --capture show.mp4 --fps 30"), 0) << ReadText(dir / "stderr.txt");
  // Show times 0.51 and 0.61 s are frames 16 and 19 at 30 fps ("0.53", "0.63").
  ASSERT_EQ(RunVeloria(dir, "--hud --shots 0.51,0.61 --out shots --fps 30"), 0)
      << ReadText(dir / "stderr.txt");
  const std::string extract = "ffmpeg -loglevel error -ss 0.51 -i '" + (dir / "show.mp4").string() +
                              "' -vf setparams=color_trc=unknown:color_primaries=unknown -frames:v 1 -pix_fmt rgb24 '" +
                              (dir / "shots" / "video.png").string() + "'";
  ASSERT_EQ(std::system(extract.c_str()), 0);
  TImage video, same, later;
  std::string error;
  ASSERT_TRUE(ReadPng((dir / "shots" / "video.png").string(), video, error)) << error;
  ASSERT_TRUE(ReadPng((dir / "shots" / "shot-0.51.png").string(), same, error)) << error;
  ASSERT_TRUE(ReadPng((dir / "shots" / "shot-0.61.png").string(), later, error)) << error;
  ASSERT_EQ(video.Width, 800);
  ASSERT_EQ(video.Height, 600);
  // Lossy coding leaves small differences; another time changes whole glyphs.
  const long toSame = FirstHudLineDifference(video, same);
  const long toLater = FirstHudLineDifference(video, later);
  EXPECT_GT(toLater, 3000);
  EXPECT_LT(toSame * 4, toLater) << toSame << " vs " << toLater;
}

// Mean of channel c over a rectangle of an RGB picture, `top` counted in rows
// from the picture's top.
double MeanOver(const TImage& image, int left, int top, int width, int height, int c) {
  double sum = 0.0;
  for (int y = top; y < top + height; ++y) {
    const size_t row = static_cast<size_t>(image.Height - 1 - y) * image.Width;
    for (int x = left; x < left + width; ++x) sum += image.Pixels[(row + x) * 3 + c];
  }
  return sum / (static_cast<double>(width) * height);
}

TEST_F(CaptureRunTest, VideoSizeScalesThePictureIntoTheCentreBetweenBlackBars) {
  ASSERT_EQ(RunVeloria(dir, "--capture show.mp4 --fps 10 --video-size 1920x1080"), 0)
      << ReadText(dir / "stderr.txt");
  ASSERT_EQ(RunVeloria(dir, "--shots 0.8 --out shots --fps 10"), 0) << ReadText(dir / "stderr.txt");
  // Frame 8 of the video is the show at 0.8 s; its PNG without the gamma the
  // video's BT.709 tags would give it, which the PNG reader would apply.
  const std::string extract = "ffmpeg -loglevel error -i '" + (dir / "show.mp4").string() +
                              "' -vf 'select=eq(n\\,8),setparams=color_trc=unknown:color_primaries=unknown' "
                              "-vsync 0 -frames:v 1 -pix_fmt rgb24 '" +
                              (dir / "shots" / "video.png").string() + "'";
  ASSERT_EQ(std::system(extract.c_str()), 0);
  TImage video, shot;
  std::string error;
  ASSERT_TRUE(ReadPng((dir / "shots" / "video.png").string(), video, error)) << error;
  ASSERT_TRUE(ReadPng((dir / "shots" / "shot-0.8.png").string(), shot, error)) << error;
  ASSERT_EQ(video.Width, 1920);
  ASSERT_EQ(video.Height, 1080);
  // The 4:3 picture fills 1440 x 1080 from x = 240: bars of 240 columns each side.
  for (int c = 0; c < 3; ++c) {
    EXPECT_LT(MeanOver(video, 0, 0, 236, 1080, c), 2.0) << c;
    EXPECT_LT(MeanOver(video, 1684, 0, 236, 1080, c), 2.0) << c;
  }
  // Each of 8 x 6 blocks of the picture has the screenshot's mean colour, as
  // far as scaling and lossy coding allow; a shifted or stretched picture fails.
  double worst = 0.0;
  for (int by = 0; by < 6; ++by) {
    for (int bx = 0; bx < 8; ++bx) {
      for (int c = 0; c < 3; ++c) {
        const double inVideo = MeanOver(video, 240 + bx * 180, by * 180, 180, 180, c);
        const double inShot = MeanOver(shot, bx * 100, by * 100, 100, 100, c);
        worst = std::max(worst, std::abs(inVideo - inShot));
      }
    }
  }
  EXPECT_LT(worst, 4.0);
  EXPECT_GT(MeanOver(shot, 0, 0, 800, 600, 0) + MeanOver(shot, 0, 0, 800, 600, 1), 10.0) << "a black shot proves nothing";
}

TEST_F(CaptureRunTest, MissingOrBrokenMusicGivesASilentVideoWithAWarning) {
  ASSERT_EQ(RunVeloria(dir, "--capture show.mkv --fps 10"), 0) << ReadText(dir / "stderr.txt");
  EXPECT_NE(ReadText(dir / "stderr.txt").find("music\\test01.mp3 was not found; the video will have no sound"),
            std::string::npos);
  const std::string probe = "ffprobe -v error -show_entries stream=codec_type -of csv=p=0 '" +
                            (dir / "show.mkv").string() + "' >'" + (dir / "probe.txt").string() + "'";
  ASSERT_EQ(std::system(probe.c_str()), 0);
  EXPECT_EQ(ReadText(dir / "probe.txt"), "video\n");
  // Music the show cannot play is left out the same way, not a failed capture.
  std::ofstream(dir / "data" / "music" / "test01.mp3") << "not an mp3";
  ASSERT_EQ(RunVeloria(dir, "--capture show.mkv --fps 10"), 0) << ReadText(dir / "stderr.txt");
  EXPECT_NE(ReadText(dir / "stderr.txt").find("music\\test01.mp3 could not be loaded; the video will have no sound"),
            std::string::npos)
      << ReadText(dir / "stderr.txt");
  ASSERT_EQ(std::system(probe.c_str()), 0);
  EXPECT_EQ(ReadText(dir / "probe.txt"), "video\n");
}

}  // namespace
