// Where a fixed-size frame goes in a window of any size: the largest
// rectangle of the frame's shape that fits, centred; the rest stays black.
#pragma once

// A rectangle in window pixels, x from the left, y from the bottom.
struct PixelRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const PixelRect&) const = default;
};

// The largest rectangle with the aspect of `frameWidth` x `frameHeight` inside
// `windowWidth` x `windowHeight`, centred (an odd pixel left over goes to the
// right or top bar). Its long side fills the window; the other is rounded to
// the nearest pixel and is at least 1. Empty when any size is below 1.
PixelRect LetterboxRect(int windowWidth, int windowHeight, int frameWidth, int frameHeight);
