// ORV2Base: the show's driver. RunDemo opens the window, shows the loading
// screen while everything loads, fades to black, starts the music and plays
// the timeline of sections 0..7 until the sync track reaches section 8 or
// Escape is held, then releases everything in a fixed order. A looping run
// plays the timeline again from the music's start at section 8, each pass
// like the first, until Escape.
//
// Start-up: data directory -> BindOpenGL -> OpenGLWindow -> OpenKeyboard ->
// clear colour -> DemoTimer. Loading screen: progress picture fade-in (2 s),
// nine loading-bar values of 11 frames each with the load steps between them,
// 1 s fade to black. Then PlaySample, DemoTimer.Reset and the timeline.
// Shutdown: music -> swirl grid -> window -> keyboard -> GL binding.
#pragma once

#include <cstdint>
#include <functional>

#include "runtime/OrvikGL2.h"
#include "runtime/run_mode.h"
#include "runtime/timer.h"

// --- Driver state (written only here; the scenes read the shared values of
// core/shared_state.h) ---------------------------------------------------

extern TGLWindow MainWindow;  // the record OpenGLWindow returned
extern TOTimer DemoTimer;     // the show clock
// Seconds accumulated (sum of FrameDelta) while sections 3, 4, 5 and 7 were drawn.
extern float SectionTime3;
extern float SectionTime4;
extern float SectionTime5;
extern float SectionTime7;
// Index of the music in the sample table; -1 when it did not load.
extern int32_t MusicSample;

// --- Frame observers: screenshots, capture, tests ---------------------------

enum class DemoPhase { ProgressFade, Loading, PreShowFade, Timeline };

// What the driver is about to present.
struct DemoFrame {
  DemoPhase phase = DemoPhase::ProgressFade;
  // Seconds on the show's counter since the window opened.
  float loadingTime = 0.0f;
  // DemoTime as read at the top of this timeline frame (0 before the timeline).
  float showTime = 0.0f;
  // The section drawn (timeline only; -1 before).
  int32_t section = -1;
  // The loading bar's value while a bar frame is drawn; -1 otherwise.
  float loadingBar = -1.0f;
  // Frames presented before this one in this run.
  int64_t number = 0;
  // Passes of the timeline finished before this frame's (a looping run).
  int32_t pass = 0;
};

// Called with each frame just before it is presented, while its picture is
// in the back buffer. Returning false asks the driver to end the run: it
// stops at the next frame boundary and shuts down normally.
using FrameObserver = std::function<bool(const DemoFrame& frame)>;
void AddFrameObserver(FrameObserver observer);
void ClearFrameObservers();

// --- The run ----------------------------------------------------------------

// Plays the show as `options` say (full screen unless headless; scaled into a
// window or the desktop with --windowed or --desktop; headless runs use the
// fixed-step clock of options.fps steps per second; options.loop plays the
// timeline over and over).
// Returns the exit status, 0 after a normal end. The runtime's errors (a
// missing sync file: EFOpenError "Cannot open file music\sync.snc"; no GL:
// "Error %d initializing OpenGL: %s") are thrown after everything opened so
// far has been released. A sync file with findings (SyncFileFindings) plays
// as it reads, after one stderr line "music\sync.snc: <finding>" for each.
// A stop signal (SIGINT, SIGTERM, SIGHUP: platform/stop_signals) ends the run
// as Escape does, at the next frame boundary or between two load steps; it
// still returns 0, and main turns the signal into the exit status.
int RunDemo(const RunMode& options);

// RunDemo with `observer` added for this run only: it is removed however the
// run ends, also when the run throws.
int RunDemoObserved(const RunMode& options, FrameObserver observer);

// Draws and presents 11 frames of the loading bar at `Progress` (0..1).
void DrawLoadingBar(float Progress);

// Wall-clock seconds the last (or current) run spent in its load steps: the
// scenes' loading, the music, the font and the sync track, without the frames
// of the loading bar drawn between them. 0 before any run has loaded.
double LoadingWorkSeconds();
