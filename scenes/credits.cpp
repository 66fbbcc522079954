// Credits and end: loads the opening and closing pictures, draws the opening,
// and the picture layers the timeline puts over sections 1, 5 and 7.

#include "scenes/credits.h"

#include <GL/gl.h>

#include <array>
#include <cmath>
#include <memory>

#include "core/shared_state.h"
#include "core/show.h"
#include "core/sync.h"
#include "draw2d/feedback_blur.h"
#include "draw2d/overlay.h"
#include "platform/float_maths.h"
#include "textures/ORV2Materials.h"
#include "textures/texture_snapshot.h"

namespace {

TOrvGrid* OpeningGrid = nullptr;
int32_t GroupLogoTexture = -1;
int32_t TitleTexture = -1;
int32_t AuthorTexture = -1;
int32_t GreetingsTexture = -1;
int32_t EndTexture = -1;

// The opening grid lives until the process ends, like every scene object.
std::unique_ptr<TOrvGrid> openingGridStorage;
// The four pictures the feedback blurs smear, as loaded, for further passes.
std::array<TTextureSnapshot, 4> loadedSmearedPictures;

// End time of the current section, without moving the sync cursor.
float SectionEnd() { return SyncTrack ? SyncTrack->SectionEnds[SyncTrack->SectionIndex] : 0.0f; }

void AddFullScreen(int32_t texture, float alpha) {
  TColorRGBA color;
  SetRGBA(color, 1.0f, 1.0f, 1.0f, alpha);
  DrawAdditiveQuad(texture, color, 0.0f, 0.0f, kShowWidth, kShowHeight);
}

void FullScreenColor(float r, float g, float b, float a) {
  TColorRGBA color;
  SetRGBA(color, r, g, b, a);
  DrawColorQuad(color, 0.0f, 0.0f, kShowWidth, kShowHeight);
}

}  // namespace

void InitCredits() {
  openingGridStorage = std::make_unique<TOrvGrid>(20, 20);
  OpeningGrid = openingGridStorage.get();
  GroupLogoTexture = LoadTexture("gfx\\vantrel.jpg");
  TitleTexture = LoadTexture("gfx\\veloria.jpg");
  AuthorTexture = LoadTexture("gfx\\author.jpg");
  GreetingsTexture = LoadTexture("gfx\\greets.jpg");
  EndTexture = LoadTexture("gfx\\end.jpg");
  loadedSmearedPictures = {KeepTexture(GroupLogoTexture), KeepTexture(AuthorTexture),
                           KeepTexture(GreetingsTexture), KeepTexture(EndTexture)};
}

void RestartCredits() {
  for (const TTextureSnapshot& picture : loadedSmearedPictures) RestoreTexture(picture);
}

void DrawOpening() {
  const float t = DemoTime;
  const float E = SectionEnd();
  OpeningGrid->Reset();
  if (t < 9.0f) {
    // The wave's amplitude falls by one unit a second and reaches 0 at E - 11;
    // from then on the logo smears further with every frame.
    float amount = E - 11.0f - t;
    if (amount < 0.0f) {
      amount = 0.0f;
      FeedbackBlur(512, GroupLogoTexture, 2, 0.1f, 0.1f, 2);
    }
    OpeningGrid->Wave(amount);
    UseTexture(GroupLogoTexture);
    OpeningGrid->Draw(0.0f, 0.0f, kShowWidth, kShowHeight);
  }
  if (t > 9.0f) {
    if (t > 11.0f) FeedbackBlur(512, AuthorTexture, 3, 0.04f, 0.04f, 3);
    BeginOverlay();
    DrawTextureQuad(AuthorTexture, 0.0f, 0.0f, kShowWidth, kShowHeight);
    // A dip to black over the last second leads into section 1.
    FullScreenColor(0.0f, 0.0f, 0.0f, t - E + 1.0f);
    EndOverlay();
  }
}

void DrawTitlePicture(float t, float E) {
  BeginOverlay();
  AddFullScreen(TitleTexture, 1.0f);
  // White rises over the last two seconds; section 2 opens white and clears.
  FullScreenColor(1.0f, 1.0f, 1.0f, (t - E + 2.0f) / 2.0f);
  EndOverlay();
}

void PrepareGreetingsPicture(float u) {
  if (u > 5.0f) FeedbackBlur(512, GreetingsTexture, 2, 0.1f, 0.1f, 2);
  glClear(GL_COLOR_BUFFER_BIT);
}

void DrawGreetingsPicture(float u, float t) {
  BeginOverlay();
  AddFullScreen(GreetingsTexture, SinF(t) + 1.3f);
  FullScreenColor(1.0f, 1.0f, 1.0f, u - 6.9f);
  EndOverlay();
}

void PrepareEndPicture(float u) {
  if (u > 5.0f) FeedbackBlur(512, EndTexture, 4, 0.1f, 0.3f, 4);
  glClear(GL_COLOR_BUFFER_BIT);
}

void DrawEndPicture() {
  BeginOverlay();
  AddFullScreen(EndTexture, 1.0f);
  EndOverlay();
}

TCreditsState CreditsState() {
  return {OpeningGrid, GroupLogoTexture, TitleTexture, AuthorTexture, GreetingsTexture, EndTexture};
}
