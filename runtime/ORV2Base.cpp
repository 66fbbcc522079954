// The driver: start-up, the loading screen, the timeline loop, shutdown.
// Times are seconds; DemoTime counts from the start of the music.

#include "runtime/ORV2Base.h"

#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "core/random.h"
#include "core/shared_state.h"
#include "core/show.h"
#include "core/sync.h"
#include "draw2d/bitmap_font.h"
#include "draw2d/loading_screen.h"
#include "draw2d/overlay.h"
#include "platform/counter.h"
#include "platform/data_directory.h"
#include "platform/stop_signals.h"
#include "platform/stream_errors.h"
#include "runtime/DirectInput8.h"
#include "runtime/OINKeyboard.h"
#include "runtime/OrvikBASS.h"
#include "scenes/credits.h"
#include "scenes/dame.h"
#include "scenes/glow_particles.h"
#include "scenes/heart.h"
#include "scenes/land.h"
#include "scenes/metaballs.h"
#include "scenes/overlays.h"
#include "scenes/picture_ring.h"
#include "textures/ORV2Materials.h"
#include "textures/picture_detail.h"
#include "textures/picture_prefetch.h"

TGLWindow MainWindow;
TOTimer DemoTimer;
float SectionTime3 = 0.0f;
float SectionTime4 = 0.0f;
float SectionTime5 = 0.0f;
float SectionTime7 = 0.0f;
int32_t MusicSample = -1;

namespace {

constexpr int kLoadingBarFrames = 11;
constexpr float kLateSectionTime = 27.9f;  // seconds into sections 3 and 4
constexpr const char* kMusicFile = "music\\test01.mp3";
// The pictures the load steps ask for, in their order. A picture missing from
// here only loads later, when its scene asks for it.
const std::vector<std::string> kLoadStepPictures = {
    "gfx\\logo2.jpg",   "gfx\\flush.jpg",  "gfx\\part.jpg",    "gfx\\map.jpg",     "gfx\\backscroll.jpg",
    "gfx\\overlay.tga", "gfx\\heart.jpg",  "gfx\\vantrel.jpg", "gfx\\veloria.jpg", "gfx\\author.jpg",
    "gfx\\greets.jpg",  "gfx\\end.jpg",    "gfx\\love\\1.jpg", "gfx\\love\\2.jpg", "gfx\\love\\3.jpg",
    "gfx\\love\\4.jpg", "gfx\\love\\5.jpg", "gfx\\love\\6.jpg", "gfx\\love\\7.jpg", "gfx\\love\\8.jpg",
};

std::vector<FrameObserver> frameObservers;
// Set when an observer asks to end the run or a stop signal has come.
bool stopRequested = false;
int64_t framesPresented = 0;
int32_t passesPlayed = 0;
DemoPhase phase = DemoPhase::ProgressFade;
// Counts from the window's opening, for observers of the loading screen.
TOTimer loadingClock;
// The object SyncTrack points to, made during loading and kept to the end.
std::unique_ptr<TSync> syncTrackObject;
// "gfx\progress.jpg", shown while the show loads.
int32_t progressPicture = -1;
// GL_MAX_TEXTURE_SIZE, which caps the pictures' detail.
GLint largestTexture = 0;
// Whether BindOpenGL succeeded, so an early error releases only what exists.
bool openGLBound = false;
// Wall time of the load steps: LoadShow's span minus the bar frames inside it.
using WallClock = std::chrono::steady_clock;
double loadingWorkSeconds = 0.0;
double loadingBarSeconds = 0.0;

double WallSecondsSince(WallClock::time_point start) {
  return std::chrono::duration<double>(WallClock::now() - start).count();
}

// Whether the run should end now: an observer asked, or SIGINT, SIGTERM or
// SIGHUP came (read at every frame boundary and between load steps).
bool StopAsked() {
  if (StopSignal() != 0) stopRequested = true;
  return stopRequested;
}

// Restores the system counter when a run on the fixed-step clock ends.
class CounterScope {
 public:
  explicit CounterScope(CounterSource* source) { SetCounterSource(source); }
  ~CounterScope() { SetCounterSource(nullptr); }
  CounterScope(const CounterScope&) = delete;
  CounterScope& operator=(const CounterScope&) = delete;
};

// The values the timeline changes as it plays, as they are before its first frame.
void ResetTimelineValues() {
  ResetRunValues();
  SectionTime3 = SectionTime4 = SectionTime5 = SectionTime7 = 0.0f;
}

void ResetRunState() {
  // Every run draws the show's numbers from the start of its sequence, so a
  // second run in one process places the balls and kicks the camera alike.
  ResumeRandom(TRandomSequence{});
  MainWindow = TGLWindow{};
  DemoTimer = TOTimer{};
  ResetTimelineValues();
  SyncTrack = nullptr;
  MusicSample = -1;
  syncTrackObject.reset();
  stopRequested = false;
  framesPresented = 0;
  passesPlayed = 0;
  phase = DemoPhase::ProgressFade;
  openGLBound = false;
  progressPicture = -1;
  loadingWorkSeconds = 0.0;
  loadingBarSeconds = 0.0;
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
  frame.pass = passesPlayed;
  for (const FrameObserver& observer : frameObservers) {
    if (!observer(frame)) stopRequested = true;
  }
  PresentFrame(MainWindow);
  ++framesPresented;
}

// The pictures' detail for the frame the window opened with: the smallest
// at least its scale, within the GL's largest texture.
void UsePictureDetailOfFrame() {
  largestTexture = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largestTexture);
  SetPictureDetail(PictureDetailFor(ActiveFrame.Scale, largestTexture));
  if (PictureDetail() != kDesignedDetail) std::fprintf(stderr, "veloria: pictures at detail %d\n", PictureDetail());
}

// Between frames: a window whose frame took another scale gets the pictures
// of its detail, one picture a frame as the workers decode them.
void FollowFrameWithPictures() {
  const int wanted = PictureDetailFor(ActiveFrame.Scale, largestTexture);
  if (wanted != PictureDetail()) ChangePictureDetail(wanted);
  FillNextPictureDetail();
}

void StartUp(const RunMode& options) {
  MaskFloatingPointExceptions();
  EnterDataDirectory();  // a failure shows later, when the first file is opened
  // Decoding the music and the pictures runs on worker threads beside the
  // window's set-up and the progress picture's fade; LoadSample and the
  // picture readers take what they decoded. The pictures wait for the
  // window, whose frame sets the detail they are read at.
  PrefetchSample(kMusicFile);
  BindOpenGL();
  openGLBound = true;
  if (options.windowed || options.desktop) {
    MainWindow = OpenScaledWindow(kShowWidth, kShowHeight, 32, "Test", options.desktop, !options.noVsync,
                                  options.scale, options.keepFrameSize);
  } else if (options.headless) {
    MainWindow = OpenFrameWindow(kShowWidth, kShowHeight, 32, "Test", options.scale.factor);
  } else {
    MainWindow = OpenGLWindow(kShowWidth, kShowHeight, 32, "Test", /*FullScreen=*/true);
  }
  UsePictureDetailOfFrame();
  PrefetchPictures(PictureFilesAtDetail(kLoadStepPictures));
  loadingClock.Create();
  OpenKeyboard(MainWindow, /*Exclusive=*/false);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  DemoTimer.Create();
  progressPicture = LoadTexture("gfx\\progress.jpg");
}

// The progress picture fades in over 2 s by repeated blending; the screen is
// never cleared here.
void FadeInProgressPicture() {
  phase = DemoPhase::ProgressFade;
  DemoTimer.Reset();
  while (DemoTimer.Elapsed() < 2.0f && !StopAsked()) {
    DrawProgressFade(progressPicture, DemoTimer.Elapsed());
    PresentShowFrame(-1, -1.0f);
  }
}

// Reads the sync track. Whatever is odd about it (a short file, a section
// list that never ends the show, entries out of order) still plays as the
// file says; the viewer is told once, a line per finding, why the show may
// not play as meant.
void LoadSyncTrack(TSync& track, const std::string& fileName) {
  for (const std::string& finding : track.LoadFromFile(fileName)) {
    std::fprintf(stderr, "%s: %s\n", fileName.c_str(), finding.c_str());
  }
}

// Every scene loads after its value of the bar, in this order; the random
// numbers the load steps draw depend on it. A stop signal ends the loading
// between two steps.
void LoadShow() {
  phase = DemoPhase::Loading;
  const WallClock::time_point start = WallClock::now();
  loadingBarSeconds = 0.0;
  const std::pair<float, std::function<void()>> steps[] = {
      {0.1f, InitMetaballs},
      {0.15f, InitLandscape},
      {0.18f, InitOverlays},
      {0.2f, InitDame},
      {0.4f, InitHeart},
      {0.5f, InitGlowParticles},
      {0.55f,
       [] {
         InitCredits();
         LoadRingPictures();
       }},
      {0.6f,
       [] {
         InitMusic(MainWindow.Wnd);
         MusicSample = LoadSample(kMusicFile);
       }},
      {0.8f,
       [] {
         SetFontBase(BuildFont("Arial", 12, true));
         syncTrackObject = std::make_unique<TSync>();
         SyncTrack = syncTrackObject.get();
         LoadSyncTrack(*SyncTrack, "music\\sync.snc");
         SyncTrack->Rewind();
       }},
  };
  for (const auto& [bar, step] : steps) {
    DrawLoadingBar(bar);
    if (StopSignal() != 0) return;
    step();
  }
  loadingWorkSeconds = WallSecondsSince(start) - loadingBarSeconds;
}

// The loading screen darkens over 1 s under the full bar; each black quad is
// presented by the next bar's first frame. Then the music starts and the
// clock restarts with it, so DemoTime is the music position.
void FadeToShow() {
  phase = DemoPhase::PreShowFade;
  DemoTimer.Reset();
  while (DemoTimer.Elapsed() < 1.0f && !StopAsked()) {
    DrawLoadingBar(1.0f);
    DrawScreenFade(0.0f, 0.0f, 0.0f, DemoTimer.Elapsed());
  }
  if (StopAsked()) return;
  PlaySample(MusicSample, 100, 0);
  DemoTimer.Reset();
}

// The drawing of one section, with t = DemoTime, S and E the section's start
// and end (SectionEnds[s - 1], or 0, and SectionEnds[s]).
void DrawSection(int32_t s) {
  const float t = DemoTime;
  const float E = SyncTrack->SectionEnds[s];
  const float S = s > 0 ? SyncTrack->SectionEnds[s - 1] : 0.0f;
  switch (s) {
    case 0:
      DrawOpening();
      break;
    case 1:
      DrawHeartCage();
      DrawGlowParticles();
      DrawTitlePicture(t, E);
      break;
    case 2:
      DrawHeart();
      DrawScreenFade(1.0f, 1.0f, 1.0f, (S + 2.0f) / 2.0f - t / 2.0f);  // the section opens white
      break;
    case 3:
      SectionTime3 += FrameDelta;
      LateFlag3 = SectionTime3 >= kLateSectionTime;
      DrawOverlays();  // draws the landscape between its layers
      break;
    case 4:
      SectionTime4 += FrameDelta;
      LateFlag4 = SectionTime4 >= kLateSectionTime;
      DrawMetaballs();
      break;
    case 5: {
      SectionTime5 += FrameDelta;
      // The greetings pulse over the heart cage for 7 s (blurred from 5 s);
      // then the heart under a white veil; at exactly 7 s neither draws.
      const float u = SectionTime5;
      if (u < 7.0f) {
        PrepareGreetingsPicture(u);
        DrawHeartCage();
        DrawGreetingsPicture(u, t);
      }
      if (u > 7.0f) {
        DrawHeart();
        DrawScreenFade(1.0f, 1.0f, 1.0f, 8.0f - u);
      }
      DrawScreenFade(0.0f, 0.0f, 0.0f, t - E + 1.0f);  // to black over the last second
      break;
    }
    case 6:
      DrawDame();
      break;
    case 7:
      SectionTime7 += FrameDelta;
      PrepareEndPicture(SectionTime7);
      DrawHeartEnd();
      DrawEndPicture();
      break;
    default:
      break;
  }
}

// The GL state the first pass found: the scenes leave theirs for the next to
// see (lights, enables, blending, line width...), so a further pass would
// otherwise start with what section 7 left. Kept on the attribute stacks,
// with the projection, which they do not hold, and fitted to the frame if a
// resized window changed it since.
class FirstPassGLState {
 public:
  FirstPassGLState() { Keep(); }
  ~FirstPassGLState() { Drop(); }
  FirstPassGLState(const FirstPassGLState&) = delete;
  FirstPassGLState& operator=(const FirstPassGLState&) = delete;
  void Restore() {
    Drop();
    GLint mode = GL_MODELVIEW;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(projection_);
    glMatrixMode(static_cast<GLenum>(mode));
    UseLineWidth(lineWidth_);
    FitStateToFrame();
    Keep();
  }

 private:
  void Keep() {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    glGetFloatv(GL_PROJECTION_MATRIX, projection_);
    lineWidth_ = LineWidthInUse();
  }
  void Drop() {
    glPopClientAttrib();
    glPopAttrib();
  }
  GLfloat projection_[16] = {};
  float lineWidth_ = 1.0f;  // the designed frame's line width when the state was kept
};

// Another pass of the show from the music's start: everything the timeline
// changed goes back to how the first pass found it (the driver's values, the
// sync cursors, the random numbers the heart's kicks draw, the scenes'
// cameras, balls and smeared pictures), then the music and the clock restart
// together as before the first frame.
void StartPassAgain(const TSync& firstTrack, const TRandomSequence& firstRandom) {
  ResetTimelineValues();
  *SyncTrack = firstTrack;
  ResumeRandom(firstRandom);
  RestartMetaballs();
  RestartLandscape();
  RestartDame();
  RestartHeart();
  RestartGlowParticles();
  RestartCredits();
  ++passesPlayed;
  StopSample(MusicSample);
  PlaySample(MusicSample, 100, 0);
  DemoTimer.Reset();
}

// While the window shows nothing (minimized) nothing is drawn: messages and
// the keyboard are still taken, a few times a second per message, and the
// clock and the music go on, so the next frame drawn is where the show is by
// then, its FrameDelta spanning the whole wait.
void WaitWhileHidden() {
  while (WindowShowsNothing(MainWindow) && !StopAsked() && !KeyDown(DIK_ESCAPE)) {
    TakeWindowMessage();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    PollKeyboard();
  }
}

// One pass per frame until Escape is held or the sync track reaches section 8
// (which starts the show again when it loops). A run on the display's clock
// (`skipHidden`) draws nothing while the window shows nothing.
void PlayTimeline(bool loop, bool skipHidden) {
  phase = DemoPhase::Timeline;
  const TSync firstTrack = *SyncTrack;
  const TRandomSequence firstRandom = PeekRandom();
  std::optional<FirstPassGLState> firstGLState;
  if (loop) firstGLState.emplace();
  int64_t passFirstFrame = framesPresented;
  while (!StopAsked()) {
    if (skipHidden) WaitWhileHidden();
    if (StopAsked() || KeyDown(DIK_ESCAPE)) break;
    if (SyncTrack->SyncSection() >= kShowSections) {
      // A track that ends before its first frame would loop without ever
      // reading the keyboard.
      if (!loop || framesPresented == passFirstFrame) break;
      firstGLState->Restore();
      StartPassAgain(firstTrack, firstRandom);
      passFirstFrame = framesPresented;
      continue;
    }

    DemoTime = DemoTimer.Elapsed();
    FrameDelta = DemoTimer.Delta;
    // DemoTime of this frame stays as read; the sync cursors never move back.
    if (KeyDown(DIK_SPACE)) DemoTimer.Reset();

    ClearScreen();
    const int32_t section = SyncTrack->SyncSection();
    DrawSection(section);

    // At most one step per frame however many channel-3 events passed.
    if (SyncTrack->SyncEventFired(3)) {
      ++BeatIndex;
      if (BeatIndex > 8) BeatIndex = 1;
    }
    if (section > 0) DrawTravellingPicture(BeatIndex, DemoTime, SyncTrack->SyncEnvelope(3, 0.0f, 4.0f));
    DrawScreenFade(0.0f, 0.0f, 0.0f, 1.0f - DemoTime);  // the first second fades in from black
    PresentShowFrame(section, -1.0f);
    FollowFrameWithPictures();
    PollKeyboard();
  }
}

// The test hook of RunOptions::holdFile: the last frame stays on the screen
// (a scaled window presents its frame again) until the file is gone or a stop
// signal comes.
void HoldLastFrame(const std::string& holdFile) {
  std::ofstream(holdFile) << "holding\n";
  while (std::filesystem::exists(holdFile) && StopSignal() == 0) {
    PresentFrame(MainWindow);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

void ShutDown() {
  DropPrefetchedPictures();
  FreeSample(MusicSample);
  ShutdownMusic();
  SwirlGrid.reset();
  if (openGLBound) KillGLWindow(MainWindow);
  ForgetTextures();
  CloseKeyboard();
  if (openGLBound) UnbindOpenGL();
  openGLBound = false;
}

}  // namespace

void AddFrameObserver(FrameObserver observer) { frameObservers.push_back(std::move(observer)); }

void ClearFrameObservers() { frameObservers.clear(); }

int RunDemoObserved(const RunMode& options, FrameObserver observer) {
  // Observers are only added between runs, so this run's is the last one.
  struct Removal {
    ~Removal() { frameObservers.pop_back(); }
  };
  frameObservers.push_back(std::move(observer));
  const Removal removal;
  return RunDemo(options);
}

void DrawLoadingBar(float Progress) {
  const WallClock::time_point start = WallClock::now();
  for (int frame = 0; frame < kLoadingBarFrames && StopSignal() == 0; ++frame) {
    DrawLoadingBarFrame(Progress);
    PresentShowFrame(-1, Progress);
  }
  loadingBarSeconds += WallSecondsSince(start);
}

double LoadingWorkSeconds() { return loadingWorkSeconds; }

int RunDemo(const RunMode& options) {
  ResetRunState();
  GentleShow = options.gentle;
  FixedStepCounter fixedStepClock(options.fps.numerator, options.fps.denominator);
  CounterScope counter(options.headless ? &fixedStepClock : nullptr);
  try {
    StartUp(options);
    if (!StopAsked()) FadeInProgressPicture();
    if (!StopAsked()) LoadShow();
    if (!StopAsked()) FadeToShow();
    if (!StopAsked()) PlayTimeline(options.loop, /*skipHidden=*/!options.headless);
    if (stopRequested && StopSignal() == 0 && !options.holdFile.empty()) HoldLastFrame(options.holdFile);
  } catch (...) {
    ShutDown();
    throw;
  }
  ShutDown();
  return 0;
}
