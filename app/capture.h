// --capture: the show rendered headlessly on the fixed-step clock and piped
// as raw frames to ffmpeg, which encodes them together with the music.
// The video starts with the music (the loading screen is not captured) and
// ends with section 7.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/run_options.h"

// The ffmpeg arguments (argv[0] "ffmpeg") that read `width` x `height` RGBA
// frames (bottom row first, alpha ignored) at `fps` from standard input, add
// the audio of `musicPath` from its start (none when empty; padded with
// silence if shorter than the picture) and write `outputPath` in `quality`:
//   Master  FFV1 of the frame's exact RGB, FLAC sound (the file is Matroska);
//   Web     H.264 High, yuv420p by the BT.709 matrix and tagged so, constant
//           quality 18, AAC 384 kb/s;
//   Draft   H.264 at x264's ultrafast, constant quality 20, AAC 192 kb/s.
// Web and Draft are H.264 for .mp4, .m4v, .mov and .mkv; other extensions get
// ffmpeg's choice for their container. MP4 and QuickTime files have their
// index at the front, for streaming. Encoders run on a fixed number of
// threads and the container holds no version or date: the same options give
// the same file. With a `video` size the frames are scaled (Lanczos) into the
// largest rectangle of their own shape that fits it, unless they already have
// that size, and centred between black bars; without one, a frame of an odd
// size gets a black edge to even sizes (but for Master, which takes any size).
std::vector<std::string> CaptureCommand(const std::string& outputPath, const std::string& musicPath,
                                        int width, int height, FrameRate fps, VideoQuality quality,
                                        VideoSize video = {});

// Where the video is written until it is complete: ".<stem>.partial<ext>"
// beside `finalPath`, so the extension still names the format.
std::string PartialCapturePath(const std::string& finalPath);

// The number of frames a capture at `fps` holds for a show ending at
// `showEnd` seconds: every frame whose time (as the show clock reads it) is
// at or before the end. 0 when the end is unknown (0 or less).
int64_t CaptureFrameCount(float showEnd, FrameRate fps);

// One progress line: a bar, frames done of `totalFrames` (0: unknown, no bar
// or percent), the speed as a multiple of real time and the time left.
std::string CaptureProgressLine(int64_t frames, int64_t totalFrames, double wallSeconds, FrameRate fps);

// The capture's last line: the file, its frames, rate and length, whether it
// has sound, its size in MB and bit rate in Mb/s over the show's length, and
// the wall time the capture took.
std::string CaptureSummary(const std::string& path, int64_t frames, FrameRate fps, bool withSound, uint64_t bytes,
                           double wallSeconds);

// The --capture run. 0 when the video was written; 1 with a message on
// stderr when ffmpeg is missing or fails, or the file cannot be written (no
// partial file is left behind); 128 + the signal's number when SIGINT,
// SIGTERM or SIGHUP ended it (130, 143, 129), again without a partial file.
int RunCapture(const RunOptions& options);
