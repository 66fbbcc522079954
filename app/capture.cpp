// Video capture: the encoder's command line, the partial file, the progress
// line, and the frame observer that feeds ffmpeg.

#include "app/capture.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <optional>
#include <sstream>
#include <system_error>

#include "app/flash_report.h"
#include "app/frame_grab.h"
#include "app/frame_queue.h"
#include "app/frame_writer.h"
#include "core/gl_window.h"
#include "core/shared_state.h"
#include "core/show.h"
#include "core/sync.h"
#include "platform/file_path.h"
#include "platform/pipe_process.h"
#include "platform/stop_signals.h"
#include "platform/this_process.h"
#include "runtime/ORV2Base.h"
#include "runtime/letterbox.h"

namespace {

namespace fs = std::filesystem;
using WallClock = std::chrono::steady_clock;

constexpr const char* kMusicFile = "music\\test01.mp3";
constexpr int kProgressBarWidth = 24;
constexpr int kLogLinesShown = 6;
// ffmpeg's output when no log file can be made.
constexpr const char* kNoLogFile = "/dev/null";
// The web video's x264 preset and constant quality: near visually lossless,
// at a speed that keeps a capture within twice the benchmark's time.
constexpr const char* kWebPreset = "faster";
constexpr const char* kWebQuality = "18";
// Every encoder runs on this many threads whatever the machine has: x264's
// output depends on its thread count.
constexpr const char* kEncoderThreads = "4";
// Frames read back but not yet written: enough to ride out ffmpeg's uneven
// reading, and never more than 128 MiB of them, so the memory stays bounded
// at any scale (3 frames of 1.9 MB at 800 x 600, one of 123 MB at K = 8).
// The frame being read back and the one being written come on top.
constexpr size_t kQueuedFrames = 3;
constexpr size_t kQueuedBytes = size_t{128} << 20;

// A file removed when the scope ends unless it was kept, and by the signal
// handler if a signal ends the program at once.
class TemporaryFile {
 public:
  explicit TemporaryFile(fs::path path) : path_(std::move(path)) { abruptEnd_.emplace(path_.string()); }
  ~TemporaryFile() {
    if (!kept_) {
      std::error_code ignored;
      fs::remove(path_, ignored);
    }
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  const fs::path& Path() const { return path_; }
  void Keep() {
    kept_ = true;
    abruptEnd_.reset();
  }

 private:
  fs::path path_;
  std::optional<AbruptEndRemoval> abruptEnd_;
  bool kept_ = false;
};

// "m:ss" for a whole number of seconds.
std::string MinutesSeconds(double seconds) {
  const long total = std::lround(std::max(0.0, seconds));
  char text[32];
  std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
  return text;
}

// The last `count` lines of a text file, each indented.
std::string LastLines(const fs::path& path, int count) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty()) lines.push_back(line);
  }
  std::string text;
  const size_t first = lines.size() > static_cast<size_t>(count) ? lines.size() - count : 0;
  for (size_t i = first; i < lines.size(); ++i) text += "  ffmpeg: " + lines[i] + "\n";
  return text;
}

// Progress on stderr: redrawn in place on a terminal, else a line per 10%.
// A write that fails (stderr closed: SIGPIPE is ignored) is left at that.
class ProgressPrinter {
 public:
  explicit ProgressPrinter(FrameRate fps) : fps_(fps), terminal_(StderrIsTerminal()) {}

  void Update(int64_t frames, int64_t totalFrames, double wallSeconds, bool last) {
    if (terminal_) {
      if (!last && wallSeconds - lastPrinted_ < 0.2) return;
      lastPrinted_ = wallSeconds;
      std::fprintf(stderr, "\r\033[K%s%s",
                   CaptureProgressLine(frames, totalFrames, wallSeconds, fps_).c_str(),
                   last ? "\n" : "");
      return;
    }
    const int64_t step = totalFrames > 0 ? frames * 10 / totalFrames : 0;
    if (step > lastStep_ || (last && frames != lastFrames_)) {
      lastStep_ = step;
      lastFrames_ = frames;
      std::fprintf(stderr, "%s\n", CaptureProgressLine(frames, totalFrames, wallSeconds, fps_).c_str());
    }
  }

 private:
  FrameRate fps_;
  bool terminal_;
  double lastPrinted_ = -1.0;
  int64_t lastStep_ = 0;
  int64_t lastFrames_ = 0;
};

// The frame observer: starts ffmpeg and its writer thread on the first frame
// of the show (the data directory is current and the music loaded by then),
// queues every frame of sections 0..7 for the writer, and ends the run on the
// first failure or a stop signal (which also kills ffmpeg at once, however
// it stalls: see PipeProcess).
class FrameCapture {
 public:
  FrameCapture(const RunOptions& options, fs::path partial, fs::path log)
      : options_(options), partial_(std::move(partial)), log_(std::move(log)), progress_(options.fps) {}
  // A run that did not finish the encoder (interrupted, or thrown out of)
  // drops the queued frames and kills ffmpeg, so the writer's blocked write
  // returns and the thread can be joined.
  ~FrameCapture() {
    queue_.Cancel();
    encoder_.Kill();
    writer_.Join();
  }
  FrameCapture(const FrameCapture&) = delete;
  FrameCapture& operator=(const FrameCapture&) = delete;

  bool OnFrame(const DemoFrame& frame) {
    if (StopSignal() != 0) return false;
    if (frame.phase != DemoPhase::Timeline || frame.section < 0 || frame.section >= kShowSections) {
      return true;
    }
    if (!started_ && !StartEncoder()) return false;
    if (!encoder_.Running()) {
      error_ = "ffmpeg stopped before the show ended";
      return false;
    }
    if (writer_.Failed()) {
      error_ = "ffmpeg: " + writer_.Error();
      return false;
    }
    if (frames_ == 0) {
      firstFrame_ = WallClock::now();
      if (SyncTrack != nullptr) {
        totalFrames_ = CaptureFrameCount(SyncTrack->SectionEnds[kShowSections - 1], options_.fps);
      }
    }
    // Bottom row first and RGBA: ffmpeg flips the rows and drops the alpha,
    // which costs it nothing, while the rendering thread only copies.
    GrabFrameInto(ActiveFrame.Width, ActiveFrame.Height, frameImage_, 4);
    // Measured before the pixels go to the queue, for the end line's warning.
    flashes_.Add(frame, frameImage_);
    // Waits only while the queue is full; fails once the writer has failed.
    if (!queue_.Push(frameImage_.Pixels)) {
      error_ = "ffmpeg: " + writer_.Error();
      return false;
    }
    ++frames_;
    progress_.Update(frames_, totalFrames_, WallSecondsCapturing(), /*last=*/false);
    return true;
  }

  // Lets the writer send the queued frames, closes ffmpeg's input and waits
  // for it; false with Error() set when it failed.
  bool FinishEncoder() {
    queue_.Close();
    writer_.Join();
    if (writer_.Failed() && error_.empty()) error_ = "ffmpeg: " + writer_.Error();
    if (frames_ > 0) progress_.Update(frames_, totalFrames_, WallSecondsCapturing(), /*last=*/true);
    std::string how;
    if (encoder_.Finish(how)) return true;
    if (error_.empty()) error_ = "ffmpeg failed (" + how + ")";
    else error_ += " (" + how + ")";
    return false;
  }

  double WallSecondsCapturing() const {
    return frames_ == 0 ? 0.0 : std::chrono::duration<double>(WallClock::now() - firstFrame_).count();
  }
  int64_t Frames() const { return frames_; }
  const std::string& Error() const { return error_; }
  bool Silent() const { return silent_; }
  const FlashLog& Flashes() const { return flashes_.Log(); }

 private:
  bool StartEncoder() {
    started_ = true;
    // The video sounds like the show: silent when the show could not load its music.
    std::error_code ignored;
    fs::path music = fs::absolute(NativePath(kMusicFile), ignored);
    const char* problem = !fs::is_regular_file(music, ignored) ? "was not found"
                          : MusicSample < 0                    ? "could not be loaded"
                                                               : nullptr;
    if (problem != nullptr) {
      std::fprintf(stderr, "veloria: warning: %s %s; the video will have no sound\n", kMusicFile,
                   problem);
      music.clear();
      silent_ = true;
    }
    const std::vector<std::string> command = CaptureCommand(
        partial_.string(), music.string(), ActiveFrame.Width, ActiveFrame.Height, options_.fps,
        options_.videoQuality, options_.videoSize);
    if (!encoder_.Start(command, log_.string(), error_)) return false;
    writer_.Start(queue_, [this](const std::vector<uint8_t>& frame, std::string& error) {
      return encoder_.Write(frame.data(), frame.size(), error);
    });
    return true;
  }

  const RunOptions& options_;
  fs::path partial_;
  fs::path log_;
  ProgressPrinter progress_;
  PipeProcess encoder_;
  FrameQueue queue_{kQueuedFrames, kQueuedBytes};  // frames on their way to the writer
  FrameWriter writer_;                // the only caller of encoder_.Write once started
  bool started_ = false;
  bool silent_ = false;
  int64_t frames_ = 0;
  int64_t totalFrames_ = 0;
  WallClock::time_point firstFrame_;
  TImage frameImage_;  // one frame as read back; its pixels swap with a queued buffer
  FlashWatch flashes_;
  std::string error_;
};

void Append(std::vector<std::string>& args, std::initializer_list<std::string> more) {
  args.insert(args.end(), more);
}

// ffmpeg's filters from the frames as read back to the video's picture: the
// rows turned, the picture fitted into --video-size, and for `bt709` the
// colours converted to video's YUV by the BT.709 matrix its tags name.
std::string CaptureFilters(int width, int height, VideoSize video, bool anySize, bool bt709) {
  // The frames arrive bottom row first, as the GL reads them; vflip only
  // walks the rows backwards.
  std::string filters = "vflip";
  if (video.width > 0) {
    const std::string w = std::to_string(video.width);
    const std::string h = std::to_string(video.height);
    // A frame drawn at the video's largest rectangle of its shape goes in as
    // drawn; others are scaled. Sizes divisible by 2 keep the picture on
    // whole chroma samples of 4:2:0 video.
    const PixelRect fit = LetterboxRect(video.width, video.height, width, height);
    if (fit.width != width || fit.height != height) {
      filters += ",scale=" + w + ":" + h +
                 ":force_original_aspect_ratio=decrease:force_divisible_by=2:flags=lanczos";
    }
    filters += ",pad=" + w + ":" + h + ":(ow-iw)/2:(oh-ih)/2:black,setsar=1";
  } else if (!anySize && (width % 2 != 0 || height % 2 != 0)) {
    // 4:2:0 video needs even sizes: a frame of an odd size gets a black edge.
    filters += ",pad=" + std::to_string(width + width % 2) + ":" + std::to_string(height + height % 2);
  }
  if (bt709) filters += ",scale=out_color_matrix=bt709:out_range=tv:flags=accurate_rnd,format=yuv420p";
  return filters;
}

// The file's size in bytes; 0 when it cannot be read.
uint64_t FileBytes(const fs::path& path) {
  std::error_code error;
  const uintmax_t bytes = fs::file_size(path, error);
  return error ? 0 : static_cast<uint64_t>(bytes);
}

// A fresh, empty log file for ffmpeg in the temporary directory.
fs::path MakeLogFile() {
  const std::string file = MakeTemporaryFile("veloria-ffmpeg-");
  return fs::path(file.empty() ? kNoLogFile : file);
}

}  // namespace

std::vector<std::string> CaptureCommand(const std::string& outputPath, const std::string& musicPath,
                                        int width, int height, FrameRate fps, VideoQuality quality,
                                        VideoSize video) {
  std::vector<std::string> args = {
      "ffmpeg", "-hide_banner", "-nostdin", "-nostats", "-loglevel", "error", "-y",
      "-f", "rawvideo", "-pix_fmt", "rgb0",
      "-video_size", std::to_string(width) + "x" + std::to_string(height),
      "-framerate", FrameRateFraction(fps), "-i", "pipe:0"};
  if (!musicPath.empty()) {
    Append(args, {"-i", musicPath, "-map", "0:v:0", "-map", "1:a:0", "-af", "apad", "-shortest"});
  }
  const std::string extension = UpperCased(fs::path(outputPath).extension().string());
  const bool h264 = quality != VideoQuality::Master &&
                    (extension == ".MP4" || extension == ".M4V" || extension == ".MOV" || extension == ".MKV");
  args.push_back("-vf");
  args.push_back(CaptureFilters(width, height, video, quality == VideoQuality::Master, h264 && quality == VideoQuality::Web));
  if (quality == VideoQuality::Master) {
    // Intra frames only, each cut into a fixed number of slices with their
    // own checksums: any frame decodes alone, and the file does not depend on
    // the machine's cores.
    Append(args, {"-c:v", "ffv1", "-level", "3", "-g", "1", "-slices", "16", "-slicecrc", "1", "-pix_fmt", "bgr0",
                  "-color_primaries", "bt709", "-color_trc", "iec61966-2-1", "-colorspace", "rgb"});
    if (!musicPath.empty()) Append(args, {"-c:a", "flac"});
  } else if (h264 && quality == VideoQuality::Web) {
    Append(args, {"-c:v", "libx264", "-preset", kWebPreset, "-profile:v", "high", "-crf", kWebQuality,
                  "-pix_fmt", "yuv420p", "-colorspace", "bt709", "-color_primaries", "bt709", "-color_trc", "bt709",
                  "-color_range", "tv"});
    if (!musicPath.empty()) Append(args, {"-c:a", "aac", "-b:a", "384k"});
  } else if (h264) {
    Append(args, {"-c:v", "libx264", "-preset", "ultrafast", "-crf", "20", "-pix_fmt", "yuv420p"});
    if (!musicPath.empty()) Append(args, {"-c:a", "aac", "-b:a", "192k"});
  }
  // The same options make the same file: encoders on a fixed number of
  // threads, and no version, date or random identifier in the container.
  Append(args, {"-threads", kEncoderThreads, "-map_metadata", "-1", "-fflags", "+bitexact", "-flags:v", "+bitexact",
                "-flags:a", "+bitexact"});
  if (extension == ".MP4" || extension == ".M4V" || extension == ".MOV") Append(args, {"-movflags", "+faststart"});
  args.push_back(outputPath);
  return args;
}

std::string PartialCapturePath(const std::string& finalPath) {
  const fs::path path(finalPath);
  std::string name(1, '.');
  name += path.stem().string();
  name += ".partial";
  name += path.extension().string();
  return (path.parent_path() / name).string();
}

int64_t CaptureFrameCount(float showEnd, FrameRate fps) {
  if (!(showEnd > 0.0f) || fps.numerator == 0 || fps.denominator == 0) return 0;
  // The show clock reads frame i as the float of its time; count those <= end.
  const auto time = [fps](int64_t frame) { return static_cast<float>(FrameSeconds(fps, frame)); };
  int64_t count = static_cast<int64_t>(std::floor(static_cast<double>(showEnd) * FramesPerSecond(fps))) + 1;
  while (time(count) <= showEnd) ++count;
  while (count > 0 && time(count - 1) > showEnd) --count;
  return count;
}

std::string CaptureProgressLine(int64_t frames, int64_t totalFrames, double wallSeconds, FrameRate fps) {
  std::ostringstream line;
  line << "capture ";
  const double showSeconds = FrameSeconds(fps, frames);
  const double speed = wallSeconds > 0.0 ? showSeconds / wallSeconds : 0.0;
  char number[64];
  if (totalFrames > 0) {
    const double done = std::clamp(static_cast<double>(frames) / totalFrames, 0.0, 1.0);
    const int filled = static_cast<int>(std::floor(done * kProgressBarWidth));
    line << "[" << std::string(filled, '#') << std::string(kProgressBarWidth - filled, '.') << "] ";
    std::snprintf(number, sizeof number, "%lld/%lld frames %5.1f%%", static_cast<long long>(frames),
                  static_cast<long long>(totalFrames), done * 100.0);
    line << number;
  } else {
    line << frames << " frames";
  }
  std::snprintf(number, sizeof number, "  %.2fx real time", speed);
  line << number;
  if (totalFrames > 0 && speed > 0.0) {
    const double left = FrameSeconds(fps, std::max<int64_t>(totalFrames - frames, 0)) / speed;
    line << "  " << MinutesSeconds(left) << " left";
  }
  return line.str();
}

std::string CaptureSummary(const std::string& path, int64_t frames, FrameRate fps, bool withSound, uint64_t bytes,
                           double wallSeconds) {
  const double showSeconds = FrameSeconds(fps, frames);
  const double megabitsPerSecond = showSeconds > 0.0 ? static_cast<double>(bytes) * 8.0 / showSeconds / 1e6 : 0.0;
  char text[512];
  std::snprintf(text, sizeof text,
                "%s: %lld frames at %s fps, %.2f s of show %s; %.1f MB, %.2f Mb/s; in %.1f s (%.2fx real time)",
                path.c_str(), static_cast<long long>(frames), FrameRateText(fps).c_str(), showSeconds,
                withSound ? "with sound" : "without sound", static_cast<double>(bytes) / 1e6, megabitsPerSecond,
                wallSeconds, wallSeconds > 0.0 ? showSeconds / wallSeconds : 0.0);
  return text;
}

int RunCapture(const RunOptions& options) {
  if (FindOnPath("ffmpeg").empty()) {
    std::fprintf(stderr,
                 "veloria: --capture needs ffmpeg, which was not found on PATH "
                 "(install it, for example: sudo apt-get install ffmpeg)\n");
    return 1;
  }
  // Paths are made absolute first: the show changes the current directory to its data.
  std::error_code error;
  const fs::path output = fs::absolute(options.captureFile, error);
  if (!error && fs::is_directory(output, error)) {
    std::fprintf(stderr, "veloria: cannot write %s: it is a directory\n", options.captureFile.c_str());
    return 1;
  }
  TemporaryFile partial(PartialCapturePath(output.string()));
  {
    std::ofstream probe(partial.Path(), std::ios::binary | std::ios::trunc);
    if (!probe) {
      const int reason = errno;
      std::fprintf(stderr, "veloria: cannot write %s: %s\n", options.captureFile.c_str(),
                   std::strerror(reason));
      return 1;
    }
  }
  const fs::path logPath = MakeLogFile();
  std::optional<TemporaryFile> log;
  if (logPath != kNoLogFile) log.emplace(logPath);

  // ffmpeg reads frames of the size it was started with, to the last.
  RunOptions run = options;
  run.keepFrameSize = true;
  FrameCapture capture(run, partial.Path(), logPath);
  const int status = RunDemoObserved(run, [&capture](const DemoFrame& frame) { return capture.OnFrame(frame); });

  const bool encoded = StopSignal() == 0 && capture.FinishEncoder() && capture.Error().empty();
  if (StopSignal() != 0) {
    std::fprintf(stderr, "\nveloria: capture interrupted; %s was not written\n",
                 options.captureFile.c_str());
    return ExitStatusAfterStop(1);
  }
  if (!encoded) {
    std::fprintf(stderr, "veloria: the capture failed: %s\n%s", capture.Error().c_str(),
                 LastLines(logPath, kLogLinesShown).c_str());
    std::fprintf(stderr, "veloria: %s was not written\n", options.captureFile.c_str());
    return 1;
  }
  if (status != 0) return status;
  if (capture.Frames() == 0) {
    std::fprintf(stderr, "veloria: the show ended before its first frame; %s was not written\n",
                 options.captureFile.c_str());
    return 1;
  }
  fs::rename(partial.Path(), output, error);
  if (error) {
    std::fprintf(stderr, "veloria: cannot write %s: %s\n", options.captureFile.c_str(),
                 error.message().c_str());
    return 1;
  }
  partial.Keep();
  std::fprintf(stderr, "veloria: wrote %s\n",
               CaptureSummary(output.string(), capture.Frames(), options.fps, !capture.Silent(),
                              FileBytes(output), capture.WallSecondsCapturing())
                   .c_str());
  // Whoever publishes the video reads it here.
  const std::string warning = FlashWarning(capture.Flashes(), options.gentle);
  if (!warning.empty()) std::fprintf(stderr, "veloria: warning: %s\n", warning.c_str());
  return 0;
}
