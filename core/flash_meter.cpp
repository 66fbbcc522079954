// The flash meter: frames reduced to cells, each cell's swings, the worst
// area of a second, and the failing spans.

#include "core/flash_meter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

constexpr float kLuminanceStep = 0.1f;  // a general change, in relative luminance
constexpr float kDarkLimit = 0.8f;      // the darker state of a general flash is below this
constexpr float kRedStep = 20.0f;       // a red change, in saturated-red value
constexpr float kRedShare = 0.8f;       // R / (R + G + B) from which a pixel is saturated red
constexpr float kRedScale = 320.0f;
constexpr double kWindowSeconds = 1.0;
// Cells that change within this time of each other change together.
constexpr double kTogetherSeconds = 0.1;
constexpr int kDesignedWidth = 800;     // the frame width whose every pixel is read

// The sRGB transfer undone for each byte value.
const std::array<float, 256>& LinearTable() {
  static const std::array<float, 256> table = [] {
    std::array<float, 256> t{};
    for (int i = 0; i < 256; ++i) {
      const double c = i / 255.0;
      t[i] = static_cast<float>(c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
    }
    return t;
  }();
  return table;
}

}  // namespace

void ReduceFrame(const uint8_t* pixels, int width, int height, int bytesPerPixel, FlashCells& cells) {
  const size_t count = static_cast<size_t>(cells.columns) * cells.rows;
  cells.luminance.assign(count, 0.0f);
  cells.red.assign(count, 0.0f);
  if (width <= 0 || height <= 0 || count == 0) return;
  const std::array<float, 256>& linear = LinearTable();
  static const std::array<std::array<float, 256>, 3> weighted = [&linear] {
    std::array<std::array<float, 256>, 3> w{};
    const float weights[3] = {0.2126f, 0.7152f, 0.0722f};
    for (int k = 0; k < 3; ++k) {
      for (int i = 0; i < 256; ++i) w[k][i] = weights[k] * linear[i];
    }
    return w;
  }();
  const int step = std::max(1, width / kDesignedWidth);
  std::vector<int> cellColumn, columnSamples(cells.columns, 0), rowSamples(cells.rows, 0);
  for (int x = 0; x < width; x += step) {
    cellColumn.push_back(static_cast<int>(int64_t{x} * cells.columns / width));
    ++columnSamples[cellColumn.back()];
  }
  for (int y = 0; y < height; y += step) {
    const uint8_t* row = pixels + static_cast<size_t>(y) * width * bytesPerPixel;
    const int cellY = static_cast<int>(int64_t{y} * cells.rows / height);
    ++rowSamples[cellY];
    const size_t cellRow = static_cast<size_t>(cellY) * cells.columns;
    for (size_t i = 0; i < cellColumn.size(); ++i) {
      const uint8_t* p = row + i * step * bytesPerPixel;
      const size_t cell = cellRow + cellColumn[i];
      cells.luminance[cell] += weighted[0][p[0]] + weighted[1][p[1]] + weighted[2][p[2]];
      // Only a pixel redder than it is green or blue can be saturated red.
      if (p[0] > p[1] && p[0] > p[2]) {
        const float r = linear[p[0]], g = linear[p[1]], b = linear[p[2]];
        if (r >= kRedShare * (r + g + b)) cells.red[cell] += (r - g - b) * kRedScale;
      }
    }
  }
  for (size_t cell = 0; cell < count; ++cell) {
    const int samples = columnSamples[cell % cells.columns] * rowSamples[cell / cells.columns];
    if (samples == 0) continue;
    cells.luminance[cell] /= static_cast<float>(samples);
    cells.red[cell] /= static_cast<float>(samples);
  }
}

bool FlashMeter::Changed(Swing& swing, float value, float step, float darkBelow) {
  if (swing.direction >= 0) {
    // Rising (or not yet moved): a fall from the highest value counts.
    swing.high = std::max(swing.high, value);
    if (swing.high - value >= step && value < darkBelow) {
      swing.direction = -1;
      swing.low = value;
      return true;
    }
  }
  if (swing.direction <= 0) {
    swing.low = std::min(swing.low, value);
    if (value - swing.low >= step && swing.low < darkBelow) {
      swing.direction = 1;
      swing.high = value;
      return true;
    }
  }
  return false;
}

FlashCounts FlashMeter::AddFrame(const FlashCells& cells, double seconds) {
  const size_t count = static_cast<size_t>(cells.columns) * cells.rows;
  if (luminance_.cells.empty()) {
    columns_ = cells.columns;
    rows_ = cells.rows;
    const int fields = std::max(0, columns_ - (2 * columns_ + 2) / 3 + 1) * std::max(0, rows_ - (2 * rows_ + 2) / 3 + 1);
    for (Quantity* q : {&luminance_, &red_}) {
      q->cells.resize(count);
      q->fields.resize(fields);
    }
    for (size_t c = 0; c < count; ++c) {
      luminance_.cells[c].low = luminance_.cells[c].high = cells.luminance[c];
      red_.cells[c].low = red_.cells[c].high = cells.red[c];
    }
  }
  for (size_t c = 0; c < count; ++c) {
    if (Changed(luminance_.cells[c], cells.luminance[c], kLuminanceStep, kDarkLimit)) {
      luminance_.cells[c].changed = seconds;
    }
    if (Changed(red_.cells[c], cells.red[c], kRedStep, std::numeric_limits<float>::infinity())) {
      red_.cells[c].changed = seconds;
    }
  }
  return {static_cast<double>(UpdateFields(luminance_, seconds)) / 2.0,
          static_cast<double>(UpdateFields(red_, seconds)) / 2.0};
}

size_t FlashMeter::UpdateFields(Quantity& q, double seconds) {
  const int need = (columns_ * rows_ + 8) / 9;
  const int fieldColumns = (2 * columns_ + 2) / 3;
  const int fieldRows = (2 * rows_ + 2) / 3;
  const int stride = columns_ + 1;
  // Integral images of the cells whose last change, rising or falling, was
  // within the time cells of one area take to cross their thresholds.
  rising_.assign(static_cast<size_t>(stride) * (rows_ + 1), 0);
  falling_.assign(rising_.size(), 0);
  for (int y = 0; y < rows_; ++y) {
    for (int x = 0; x < columns_; ++x) {
      const Swing& cell = q.cells[static_cast<size_t>(y) * columns_ + x];
      const bool lately = seconds - cell.changed < kTogetherSeconds;
      const size_t at = static_cast<size_t>(y + 1) * stride + x + 1;
      rising_[at] = (lately && cell.direction > 0) + rising_[at - 1] + rising_[at - stride] - rising_[at - stride - 1];
      falling_[at] = (lately && cell.direction < 0) + falling_[at - 1] + falling_[at - stride] - falling_[at - stride - 1];
    }
  }
  const auto sum = [&](const std::vector<int>& image, int x, int y) {
    const auto at = [&](int i, int j) { return image[static_cast<size_t>(j) * stride + i]; };
    return at(x + fieldColumns, y + fieldRows) - at(x, y + fieldRows) - at(x + fieldColumns, y) + at(x, y);
  };
  size_t most = 0;
  size_t f = 0;
  for (int y = 0; y + fieldRows <= rows_; ++y) {
    for (int x = 0; x + fieldColumns <= columns_; ++x, ++f) {
      Field& field = q.fields[f];
      const int up = sum(rising_, x, y), down = sum(falling_, x, y);
      int direction = 0;
      // Net of the cells that turned the other way: moving detail turns as
      // many down as up, a flash turns an area one way.
      if (up - down >= need) direction = 1;
      if (down - up >= need) direction = -1;
      if (direction != 0 && direction != field.direction) {
        field.direction = direction;
        field.changes.push_back(seconds);
      }
      // The second is (seconds - 1, seconds]: a change a whole second ago has left it.
      while (!field.changes.empty() && field.changes.front() <= seconds - kWindowSeconds + 1e-9) {
        field.changes.pop_front();
      }
      most = std::max(most, field.changes.size());
    }
  }
  return most;
}

void FlashLog::Extend(std::vector<FlashSpan>& spans, FlashKind kind, double seconds, double count) {
  // A second reaching back before the first frame measured starts with it.
  const double start = std::max(seconds - kWindowSeconds, firstSeconds_);
  if (!spans.empty() && start <= spans.back().end + 1e-9) {
    spans.back().end = seconds;
    spans.back().count = std::max(spans.back().count, count);
  } else {
    spans.push_back({start, seconds, kind, count});
  }
}

void FlashLog::Add(double seconds, int section, FlashCounts counts) {
  if (frames_ == 0) firstSeconds_ = seconds;
  ++frames_;
  if (counts.general > kFlashLimit) Extend(general_, FlashKind::General, seconds, counts.general);
  if (counts.red > kFlashLimit) Extend(red_, FlashKind::Red, seconds, counts.red);
  if (section < 0 || section >= static_cast<int>(sections_.size())) return;
  Section& s = sections_[section];
  if (s.frames == 0) s.start = seconds;
  s.end = seconds;
  ++s.frames;
  s.worst.general = std::max(s.worst.general, counts.general);
  s.worst.red = std::max(s.worst.red, counts.red);
}

std::vector<FlashSpan> FlashLog::Spans() const {
  std::vector<FlashSpan> spans = general_;
  spans.insert(spans.end(), red_.begin(), red_.end());
  std::stable_sort(spans.begin(), spans.end(),
                   [](const FlashSpan& a, const FlashSpan& b) { return a.start < b.start; });
  return spans;
}

double FlashLog::FailingSeconds(double from, double to) const {
  double total = 0.0;
  double coveredTo = -std::numeric_limits<double>::infinity();
  for (const FlashSpan& span : Spans()) {
    const double start = std::max({span.start, from, coveredTo});
    const double end = std::min(span.end, to);
    if (end > start) total += end - start;
    coveredTo = std::max(coveredTo, end);
  }
  return total;
}

FlashCounts FlashLog::Worst() const {
  FlashCounts worst;
  for (const Section& s : sections_) {
    worst.general = std::max(worst.general, s.worst.general);
    worst.red = std::max(worst.red, s.worst.red);
  }
  return worst;
}

std::string FlashSpanText(const FlashSpan& span) {
  char text[64];
  std::snprintf(text, sizeof text, "%.1f-%.1f", span.start, span.end);
  return text;
}
