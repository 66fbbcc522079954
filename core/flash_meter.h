// The flash meter: counts what the broadcast and web rules for photosensitive
// viewers count, on a series of frames and their times.
//
// A frame is reduced to a grid of cells, each holding the mean relative
// luminance of its pixels (sRGB linearised, 0.2126 R + 0.7152 G + 0.0722 B)
// and their mean saturated-red value ((R - G - B) x 320 on linear values where
// R / (R + G + B) >= 0.8, else 0). Each cell follows its own swings: a change
// is a rise or fall of 0.1 in luminance (with the darker state below 0.8), or
// of 20 in red, however many frames it builds over. An area changes when
// the cells of a ninth of the screen change the same way together (within a
// tenth of a second, counted net of those that change the other way), all
// inside a field two thirds of the screen wide and high placed anywhere on
// it; a flash is a pair of opposing changes of an area. Motion that turns as
// many cells down as up is no flash. More than three
// flashes of either kind in any one second fail.
//
// Pure logic: no GL, no SDL.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

// Flashes in one second beyond which the rules fail a show.
constexpr double kFlashLimit = 3.0;

// One frame as the meter sees it: `columns` x `rows` cells, row-major.
struct FlashCells {
  int columns = 40;
  int rows = 30;
  std::vector<float> luminance;  // relative luminance 0..1
  std::vector<float> red;        // saturated-red value 0..320
};

// Fills `cells` (its columns and rows as set) from `width` x `height` pixels
// of `bytesPerPixel` 3 (RGB) or 4 (RGBA, alpha ignored), rows in either order.
// Frames larger than 800 pixels wide are sampled every width/800-th pixel
// in each direction, which keeps the cost of any scale that of one 800x600 frame.
void ReduceFrame(const uint8_t* pixels, int width, int height, int bytesPerPixel, FlashCells& cells);

enum class FlashKind { General, Red };

// The worst counts of the second ending at a frame: flashes (half changes).
struct FlashCounts {
  double general = 0.0;
  double red = 0.0;
};

// Feeds frames in time order; counts per frame.
class FlashMeter {
 public:
  // The counts of the worst area over the second ending at `seconds`.
  // Every frame must have the grid the first one had.
  FlashCounts AddFrame(const FlashCells& cells, double seconds);

 private:
  // One cell's swings of one quantity: the extreme reached since its last
  // change, the direction of that change (0 before the first) and its time.
  struct Swing {
    float low = 0.0f;
    float high = 0.0f;
    int direction = 0;
    double changed = -1e300;
  };
  // One field's changes: the direction of the last and the times of those
  // within the last second.
  struct Field {
    int direction = 0;
    std::deque<double> changes;
  };
  // One quantity over every cell and field.
  struct Quantity {
    std::vector<Swing> cells;
    std::vector<Field> fields;
  };
  // True when `value` completes a change of at least `step` against the swing.
  static bool Changed(Swing& swing, float value, float step, float darkBelow);
  // Follows the fields of `q` at `seconds`; the most changes of one in the last second.
  size_t UpdateFields(Quantity& q, double seconds);

  int columns_ = 0;
  int rows_ = 0;
  Quantity luminance_, red_;
  std::vector<int> rising_, falling_;  // integral images of the cells that changed lately
};

// A stretch of time in which every second ending in it (and so the second
// before each such end) fails: from a second before the first failing frame
// to the last one.
struct FlashSpan {
  double start = 0.0;
  double end = 0.0;
  FlashKind kind = FlashKind::General;
  double count = 0.0;  // the worst count in it
};

// The per-frame counts gathered into failing spans and per-section figures.
class FlashLog {
 public:
  explicit FlashLog(int sections) : sections_(sections) {}
  void Add(double seconds, int section, FlashCounts counts);

  // Every failing span, general ones and red ones, in order of start.
  std::vector<FlashSpan> Spans() const;
  // Seconds covered by failing spans of either kind, within [from, to) when given.
  double FailingSeconds(double from = -1e300, double to = 1e300) const;

  struct Section {
    double start = 0.0;  // time of its first and last frame
    double end = 0.0;
    int64_t frames = 0;
    FlashCounts worst;
  };
  const std::vector<Section>& Sections() const { return sections_; }
  FlashCounts Worst() const;
  int64_t Frames() const { return frames_; }

 private:
  void Extend(std::vector<FlashSpan>& spans, FlashKind kind, double seconds, double count);
  std::vector<Section> sections_;
  std::vector<FlashSpan> general_, red_;
  int64_t frames_ = 0;
  double firstSeconds_ = 0.0;
};

// "61.2-80.3" style text of a span, seconds to one decimal.
std::string FlashSpanText(const FlashSpan& span);
