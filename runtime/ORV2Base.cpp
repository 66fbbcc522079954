// The driver: start-up, the loading screen, the timeline loop, shutdown.
// Times are seconds; DemoTime counts from the start of the music.

#include "runtime/ORV2Base.h"

#include <GL/gl.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/counter.h"
#include "platform/data_directory.h"
#include "runtime/DirectInput8.h"
#include "runtime/OINKeyboard.h"
#include "runtime/OrvikBASS.h"
#include "runtime/shared_state.h"
#include "runtime/stream_errors.h"
#include "runtime/sync.h"

TGLWindow MainWindow;
TOTimer DemoTimer;
float SectionTime3 = 0.0f;
float SectionTime4 = 0.0f;
float SectionTime5 = 0.0f;
float SectionTime7 = 0.0f;
int32_t MusicSample = -1;

namespace {

constexpr int kLoadingBarFrames = 11;
constexpr int32_t kEndSection = 8;
constexpr float kLateSectionTime = 27.9f;  // seconds into sections 3 and 4

std::vector<FrameObserver> frameObservers;
bool stopRequested = false;
int64_t framesPresented = 0;
DemoPhase phase = DemoPhase::ProgressFade;
// Counts from the window's opening, for observers of the loading screen.
TOTimer loadingClock;
// The object SyncTrack points to, made during loading and kept to the end.
std::unique_ptr<TSync> syncTrackObject;
// Whether BindOpenGL succeeded, so an early error releases only what exists.
bool openGLBound = false;

// Restores the system counter when a run on the fixed-step clock ends.
class CounterScope {
 public:
  explicit CounterScope(CounterSource* source) { SetCounterSource(source); }
  ~CounterScope() { SetCounterSource(nullptr); }
  CounterScope(const CounterScope&) = delete;
  CounterScope& operator=(const CounterScope&) = delete;
};

void ResetRunState() {
  MainWindow = TGLWindow{};
  DemoTimer = TOTimer{};
  DemoTime = 0.0f;
  FrameDelta = 0.0f;
  BeatIndex = 1;
  SectionTime3 = SectionTime4 = SectionTime5 = SectionTime7 = 0.0f;
  LateFlag3 = true;
  LateFlag4 = false;
  MusicSample = -1;
  SyncTrack = nullptr;
  syncTrackObject.reset();
  stopRequested = false;
  framesPresented = 0;
  phase = DemoPhase::ProgressFade;
  openGLBound = false;
}

// Shows the observers the frame in the back buffer, then presents it.
void PresentShowFrame(int32_t section, float loadingBar) {
  DemoFrame frame;
  frame.phase = phase;
  frame.loadingTime = loadingClock.ReadSeconds();
  frame.showTime = DemoTime;
  frame.section = section;
  frame.loadingBar = loadingBar;
  frame.number = framesPresented;
  for (const FrameObserver& observer : frameObservers) {
    if (!observer(frame)) stopRequested = true;
  }
  PresentFrame(MainWindow);
  ++framesPresented;
}

void StartUp(const RunOptions& options) {
  MaskFloatingPointExceptions();
  EnterDataDirectory();  // a failure shows later, when the first file is opened
  BindOpenGL();
  openGLBound = true;
  MainWindow = OpenGLWindow(800, 600, 32, "Test", !options.windowed && !options.headless);
  loadingClock.Create();
  OpenKeyboard(MainWindow, /*Exclusive=*/false);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  DemoTimer.Create();
  // ProgressPicture := LoadTexture("gfx\progress.jpg") joins here.
}

// The progress picture fades in over 2 s by repeated blending; the screen is
// never cleared here.
void FadeInProgressPicture() {
  phase = DemoPhase::ProgressFade;
  DemoTimer.Reset();
  while (DemoTimer.Elapsed() < 2.0f && !stopRequested) {
    // The progress picture joins here: BeginOverlay; DrawTexturedQuad(progress
    // picture, (1, 1, 1, e / 2), 0, 0, 800, 600) with e a fresh
    // DemoTimer.Elapsed; EndOverlay.
    PresentShowFrame(-1, -1.0f);
  }
}

// Reads the sync track and checks it first: an empty, cut-off or damaged
// track would leave the show stuck in section 0 or switching scenes at
// garbage times, so it ends the program before the show with what is wrong.
void LoadSyncTrack(TSync& track, const std::string& fileName) {
  const std::vector<uint8_t> bytes = ReadFileBytes(fileName);
  SyncLists lists;
  const std::vector<std::string> problems = DecodeSyncFile(bytes, lists);
  if (!problems.empty()) {
    // The first few problems say what is wrong; a file of noise has hundreds.
    constexpr size_t kShownProblems = 3;
    std::string text = "Damaged sync track " + fileName + ": " + problems[0];
    for (size_t i = 1; i < std::min(problems.size(), kShownProblems); ++i) text += "; " + problems[i];
    if (problems.size() > kShownProblems) {
      text += "; and " + std::to_string(problems.size() - kShownProblems) + " more problems";
    }
    throw std::runtime_error(text);
  }
  track.LoadFromBytes(bytes.data(), bytes.size());
}

// Every scene loads between two values of the bar, in this order; the random
// numbers the load steps draw depend on it.
void LoadShow() {
  phase = DemoPhase::Loading;
  DrawLoadingBar(0.1f);
  // InitMetaballs joins here.
  DrawLoadingBar(0.15f);
  // InitLandscape joins here.
  DrawLoadingBar(0.18f);
  // InitOverlays joins here.
  DrawLoadingBar(0.2f);
  // InitDame joins here.
  DrawLoadingBar(0.4f);
  // InitHeart joins here.
  DrawLoadingBar(0.5f);
  // InitGlowParticles joins here.
  DrawLoadingBar(0.55f);
  // InitCredits, then LoadRingPictures, join here.
  DrawLoadingBar(0.6f);
  InitMusic(MainWindow.Wnd);
  MusicSample = LoadSample("music\\test01.mp3");
  DrawLoadingBar(0.8f);
  // SetFontBase(BuildFont("Arial", 12, true)) joins here.
  syncTrackObject = std::make_unique<TSync>();
  SyncTrack = syncTrackObject.get();
  LoadSyncTrack(*SyncTrack, "music\\sync.snc");
  SyncTrack->Rewind();
}

// The loading screen darkens over 1 s under the full bar; each black quad is
// presented by the next bar's first frame. Then the music starts and the
// clock restarts with it, so DemoTime is the music position.
void FadeToShow() {
  phase = DemoPhase::PreShowFade;
  DemoTimer.Reset();
  while (DemoTimer.Elapsed() < 1.0f && !stopRequested) {
    DrawLoadingBar(1.0f);
    // The darkening joins here: BeginOverlay; DrawColorQuad((0, 0, 0, e), 0, 0,
    // 800, 600) with e a fresh DemoTimer.Elapsed; EndOverlay.
  }
  if (stopRequested) return;
  PlaySample(MusicSample, 100, 0);
  DemoTimer.Reset();
}

// The drawing of one section, with t = DemoTime, S and E the section's start
// and end (SectionEnds[s - 1], or 0, and SectionEnds[s]).
void DrawSection(int32_t s) {
  switch (s) {
    case 0:
      // DrawOpening joins here.
      break;
    case 1:
      // DrawHeartCage; DrawGlowParticles; BeginOverlay; DrawAdditiveQuad(title
      // picture, (1, 1, 1, 1), 0, 0, 800, 600); EndOverlay.
      break;
    case 2:
      // DrawHeart; BeginOverlay; DrawColorQuad((1, 1, 1, (S + 2) / 2 - t / 2),
      // 0, 0, 800, 600); EndOverlay: the section opens white.
      break;
    case 3:
      SectionTime3 += FrameDelta;
      LateFlag3 = SectionTime3 >= kLateSectionTime;
      // DrawOverlays (which draws the landscape) joins here.
      break;
    case 4:
      SectionTime4 += FrameDelta;
      LateFlag4 = SectionTime4 >= kLateSectionTime;
      // DrawMetaballs joins here.
      break;
    case 5:
      SectionTime5 += FrameDelta;
      // With u = SectionTime5: if u < 7, the pulsing greetings picture over
      // the heart cage (blurred from u > 5, white veil u - 6.9); if u > 7, the
      // heart under a white veil 8 - u; always a fade to black t - E + 1.
      break;
    case 6:
      // DrawDame joins here.
      break;
    case 7:
      SectionTime7 += FrameDelta;
      // If SectionTime7 > 5: FeedbackBlur(512, end picture, 4, 0.1, 0.3, 4).
      // Then clear the colour buffer; DrawHeartEnd; the additive end picture.
      break;
    default:
      break;
  }
}

// One pass per frame until Escape is held or the sync track reaches section 8.
void PlayTimeline() {
  phase = DemoPhase::Timeline;
  while (!stopRequested) {
    if (KeyDown(DIK_ESCAPE)) break;
    if (SyncTrack->SyncSection() >= kEndSection) break;

    DemoTime = DemoTimer.Elapsed();
    FrameDelta = DemoTimer.Delta;
    // DemoTime of this frame stays as read; the sync cursors never move back.
    if (KeyDown(DIK_SPACE)) DemoTimer.Reset();

    // ClearScreen joins here.
    const int32_t section = SyncTrack->SyncSection();
    DrawSection(section);

    // At most one step per frame however many channel-3 events passed.
    if (SyncTrack->SyncEventFired(3)) {
      ++BeatIndex;
      if (BeatIndex > 8) BeatIndex = 1;
    }
    if (section > 0) {
      // DrawRingPicture(BeatIndex, x, y, SyncTrack->SyncEnvelope(3, 0, 4))
      // joins here, with x = nearbyint(sin(t) * 272 + 300) and
      // y = nearbyint(cos(t) * 172 + 200).
    }
    // The fade-in from black joins here: BeginOverlay; DrawColorQuad((0, 0, 0,
    // 1 - t), 0, 0, 800, 600); EndOverlay.
    PresentShowFrame(section, -1.0f);
    PollKeyboard();
  }
}

void ShutDown() {
  FreeSample(MusicSample);
  ShutdownMusic();
  // Freeing SwirlGrid (made by InitMetaballs) joins here.
  if (openGLBound) KillGLWindow(MainWindow);
  CloseKeyboard();
  if (openGLBound) UnbindOpenGL();
  openGLBound = false;
}

}  // namespace

void AddFrameObserver(FrameObserver observer) { frameObservers.push_back(std::move(observer)); }

void ClearFrameObservers() { frameObservers.clear(); }

void DrawLoadingBar(float Progress) {
  for (int frame = 0; frame < kLoadingBarFrames; ++frame) {
    // The bar joins here: BeginOverlay; lighting, depth test and 2D texturing
    // off, colour material and alpha blending on; EnterOrtho; UseColor(white);
    // the quad (220, 285) .. (220 + 366 * Progress, 292); LeaveOrtho; EndOverlay.
    PresentShowFrame(-1, Progress);
  }
}

int RunDemo(const RunOptions& options) {
  ResetRunState();
  FixedStepCounter fixedStepClock(static_cast<uint32_t>(options.fps));
  CounterScope counter(options.headless ? &fixedStepClock : nullptr);
  try {
    StartUp(options);
    if (!stopRequested) FadeInProgressPicture();
    if (!stopRequested) LoadShow();
    if (!stopRequested) FadeToShow();
    if (!stopRequested) PlayTimeline();
  } catch (...) {
    ShutDown();
    throw;
  }
  ShutDown();
  return 0;
}
