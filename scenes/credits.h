// Credits and end: the five full-screen pictures that open and close the show
// (group logo, title, author, greetings, end) and the opening of section 0.
//
// Times are seconds of DemoTime; E is the end time of the current section,
// read from SyncTrack (0 while no sync track is loaded).
#pragma once

#include <cstdint>

#include "surfaces/ORV2Grid.h"


// Load step: creates the opening's grid and loads the five pictures in the
// order above, keeping the pixels of the four the feedback blurs smear in
// place (all but the title).
void InitCredits();
// For another pass of the show: those four pictures go back to the pixels
// kept at loading, so the pass is the first one again even if their files
// changed meanwhile; a picture that failed to load stays without a texture,
// and nothing is reported again.
void RestartCredits();

// Section 0, once per frame: the group logo waving on the grid (amplitude
// E - 11 - t, falling to 0), then feedback-blurred once the wave has run
// out; from 9 s the author picture, blurred from 11 s; a fade to black over
// the section's last second.
void DrawOpening();

// Section 1, after the heart cage and the glow particles: the title picture
// added over the frame, then a white veil rising over the section's last two
// seconds (t in DemoTime, E the section's end).
void DrawTitlePicture(float t, float E);

// Section 5, while the greetings show (u = seconds drawn in section 5, < 7):
// after 5 s blurs the greetings picture; then clears the colour buffer (the
// blur works in its corner). Call before drawing the heart cage.
void PrepareGreetingsPicture(float u);
// Section 5, after the heart cage: the greetings picture added with opacity
// sin(t) + 1.3, then a white veil of opacity u - 6.9.
void DrawGreetingsPicture(float u, float t);

// Section 7 (u = seconds drawn in section 7): after 5 s blurs the end picture;
// then clears the colour buffer. Call before drawing the heart.
void PrepareEndPicture(float u);
// Section 7, after the heart: the end picture added over the frame.
void DrawEndPicture();

// The module's state, made by InitCredits and kept for the whole run.
struct TCreditsState {
  const TOrvGrid* OpeningGrid;  // 20 x 20 wave grid of the opening; null before InitCredits
  int32_t GroupLogoTexture;     // "gfx\\vantrel.jpg"
  int32_t TitleTexture;         // "gfx\\veloria.jpg", section 1
  int32_t AuthorTexture;        // "gfx\\author.jpg"
  int32_t GreetingsTexture;     // "gfx\\greets.jpg", section 5
  int32_t EndTexture;           // "gfx\\end.jpg", section 7
};
TCreditsState CreditsState();
