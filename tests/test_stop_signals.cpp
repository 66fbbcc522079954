// SIGINT, SIGTERM and SIGHUP on a real X server (Xvfb): in every phase of an
// interactive run (a message open, the loading screen, the timeline, a
// looping timeline) the show leaves through its normal shutdown within a
// second, with status 128 + the signal, and takes its windows and dialogs
// with it; a signal it inherited ignored stays ignored.

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "platform/stop_signals.h"
#include "tests/program_run.h"
#include "tests/x_server.h"

namespace {

namespace fs = std::filesystem;

struct StopCase {
  const char* args;
  // The window whose title marks the phase; "": the loading's end, when the
  // last load step reports the sync track's bytes too many.
  const char* waitFor;
  int delayMs;  // then this long before `signal`
  int signal;
  // Inherited ignored and sent before the delay: had it been caught, it
  // would have ended the run, with its own status.
  int ignoredSignal = 0;
};

// Each case on one Xvfb, with the generated pictures and models and a show
// whose sections end at 1 .. 8 s.
void ExpectEachStopsWithinASecond(const std::vector<StopCase>& cases) {
  if (!XServer::Installed()) GTEST_SKIP() << "Xvfb is not installed (scripts/install-deps installs xvfb)";
  const XServer server(1920, 1080);
  XClient client(server.Display());
  ASSERT_TRUE(client.Connected());
  const fs::path dir = TempDir("veloria_stop_");
  MakeShowDataDir(dir / "data");
  fs::create_directory_symlink(fs::path(VELORIA_DATA_DIR) / "gfx", dir / "data" / "gfx");
  fs::create_symlink(VELORIA_TEST_FILES "/regressions/sync/warned-longer-file.snc", dir / "data" / "music" / "sync.snc");
  for (const StopCase& c : cases) {
    SCOPED_TRACE(std::string(c.args) + " " + sigabbrev_np(c.signal));
    const std::string ignore = c.ignoredSignal != 0 ? std::string("env --ignore-signal=") + sigabbrev_np(c.ignoredSignal) : "";
    fs::remove(dir / "stderr.txt");  // the last run's, which would mark the loading's end at once
    BackgroundRun run(dir, c.args, ignore + " SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy DISPLAY=" + server.Display());
    const auto reached = [&] {
      return *c.waitFor != '\0' ? client.FindWindow(c.waitFor) != 0
                                : ReadText(dir / "stderr.txt").find("16016 are ignored") != std::string::npos;
    };
    for (int wait = 0; !reached() && wait < 1200; ++wait) ::usleep(50000);
    ASSERT_TRUE(reached()) << "(SDL's dialogs need the fonts of xfonts-base)\n" << ReadText(dir / "stderr.txt");
    if (c.ignoredSignal != 0) run.Signal(c.ignoredSignal);
    ::usleep(c.delayMs * 1000);
    run.Signal(c.signal);
    // A run still going after a second is killed and counts as kRunTimedOut.
    EXPECT_EQ(run.Wait(1), 128 + c.signal) << ReadText(dir / "stderr.txt");
    EXPECT_EQ(client.FindWindow("Test") + client.FindWindow(*c.waitFor ? c.waitFor : "Test"), 0u)
        << "a window outlived the show";
  }
  if (!::testing::Test::HasFailure()) fs::remove_all(dir);
}

TEST(StopSignalTest, AnOpenMessageAndTheLoadingScreenEndWithinASecond) {
  ExpectEachStopsWithinASecond({
      // The default run asks for 800x600, which this screen lacks: "Unable to switch" is open.
      {"", "Error", 0, SIGINT},
      {"", "Error", 0, SIGTERM},
      {"--windowed", "Test", 500, SIGINT},
      {"--desktop", "Test", 500, SIGTERM},
  });
}

TEST(StopSignalTest, TheTimelineEndsWithinASecond) {
  ExpectEachStopsWithinASecond({
      // About 1 s into the show, and into a loop's second pass.
      {"--desktop", "", 2000, SIGINT},
      {"--windowed --loop", "", 9500, SIGTERM},
      // As nohup starts it.
      {"--windowed", "", 2000, SIGINT, /*ignoredSignal=*/SIGHUP},
  });
}


// What a stop touches, in a child process ended by a second SIGINT: the
// children and files still watched, never one whose watch was released (its
// id may already name another process, its path's memory another file), and
// a watch refused because the slots were full releases nothing on its end.
TEST(StopSignalDeathTest, TouchesOnlyWhatIsStillWatched) {
  const fs::path dir = TempDir("veloria_stop_slots_");
  const auto file = [&](int i) { return (dir / ("f" + std::to_string(i))).string(); };
  for (int i = 0; i < 6; ++i) std::ofstream(file(i)) << i;
  const auto sleeper = [] {
    const pid_t pid = ::fork();
    if (pid == 0) for (;;) ::pause();
    return pid;
  };
  const auto stopTwice = [&] {
    ::signal(SIGINT, SIG_DFL);  // a background job inherits it ignored, which would stay so
    CatchStopSignals();
    const pid_t watched = sleeper(), forgotten = sleeper();
    KillChildOnStop(watched);
    ForgetChildOnStop(KillChildOnStop(forgotten));
    std::vector<std::unique_ptr<AbruptEndRemoval>> files;
    for (int i = 0; i < 5; ++i) files.push_back(std::make_unique<AbruptEndRemoval>(file(i)));
    files[1].reset();  // released: f1 stays
    files[4].reset();  // refused, four being watched: f4 stays, f0, f2, f3 stay watched
    const AbruptEndRemoval late(file(5));  // in f1's slot
    ::raise(SIGINT);
    int status = 0;
    if (::waitpid(watched, &status, 0) != watched || !WIFSIGNALED(status)) std::_Exit(3);
    if (::waitpid(forgotten, &status, WNOHANG) != 0) std::_Exit(4);
    ::kill(forgotten, SIGKILL);
    ::raise(SIGINT);
  };
  EXPECT_EXIT(stopTwice(), ::testing::KilledBySignal(SIGINT), "");
  for (int i = 0; i < 6; ++i) EXPECT_EQ(fs::exists(file(i)), i == 1 || i == 4) << file(i);
  fs::remove_all(dir);
}

}  // namespace
