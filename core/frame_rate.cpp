// Frame rates as fractions: parsing the command line's forms, the time of a
// frame, and the rate's two spellings.

#include "core/frame_rate.h"

#include <cctype>
#include <cstdio>
#include <numeric>

namespace {

// Decimals that the 1001 rates are spelt with at most ("23.976"); more digits
// than this are taken as the number itself.
constexpr int kLongestDecimal = 6;

// `text` from `at` as a whole number of at most `digits` digits; false for
// anything else, or for no digit at all.
bool ReadDigits(const std::string& text, size_t& at, int digits, uint64_t& value) {
  const size_t start = at;
  value = 0;
  while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) && at - start < static_cast<size_t>(digits)) {
    value = value * 10 + static_cast<uint64_t>(text[at] - '0');
    ++at;
  }
  return at > start && (at == text.size() || !std::isdigit(static_cast<unsigned char>(text[at])));
}

// numerator / denominator in lowest terms, when it is a rate a run may ask for.
bool MakeRate(uint64_t numerator, uint64_t denominator, FrameRate& rate) {
  if (numerator == 0 || denominator == 0) return false;
  const uint64_t common = std::gcd(numerator, denominator);
  numerator /= common;
  denominator /= common;
  const double perSecond = static_cast<double>(numerator) / static_cast<double>(denominator);
  if (numerator > UINT32_MAX || denominator > UINT32_MAX || perSecond < kSlowestFrameRate ||
      perSecond > kFastestFrameRate) {
    return false;
  }
  rate = {static_cast<uint32_t>(numerator), static_cast<uint32_t>(denominator)};
  return true;
}

// The decimal whole.fraction (fraction of `digits` digits) as a rate: N * 1000
// / 1001 when that, rounded to those digits, is the decimal; else the decimal.
bool DecimalRate(uint64_t whole, uint64_t fraction, int digits, FrameRate& rate) {
  if (whole > kFastestFrameRate) return false;  // and no product below overflows
  uint64_t scale = 1;
  for (int i = 0; i < digits; ++i) scale *= 10;
  const uint64_t scaled = whole * scale + fraction;  // the decimal times `scale`
  if (digits >= 2) {
    // The N whose rate lies nearest: scaled * 1.001 / scale, rounded.
    const uint64_t n = (scaled * 1001 + 500 * scale) / (1000 * scale);
    // N * 1000 / 1001 times `scale`, rounded to the nearest whole number.
    if (n > 0 && (n * 1000 * scale * 2 + 1001) / (2 * 1001) == scaled) return MakeRate(n * 1000, 1001, rate);
  }
  return MakeRate(scaled, scale, rate);
}

}  // namespace

double FramesPerSecond(FrameRate rate) {
  return static_cast<double>(rate.numerator) / static_cast<double>(rate.denominator);
}

double FrameSeconds(FrameRate rate, int64_t frame) {
  return static_cast<double>(frame) * static_cast<double>(rate.denominator) / static_cast<double>(rate.numerator);
}

bool ParseFrameRate(const std::string& text, FrameRate& rate) {
  // Ten digits are more than any rate in range needs, and cannot overflow.
  constexpr int kDigits = 10;
  size_t at = 0;
  uint64_t first = 0;
  if (!ReadDigits(text, at, kDigits, first)) return false;
  if (at == text.size()) return MakeRate(first, 1, rate);
  const char separator = text[at++];
  uint64_t second = 0;
  const size_t secondStart = at;
  if (separator == '/') {
    return ReadDigits(text, at, kDigits, second) && at == text.size() && MakeRate(first, second, rate);
  }
  if (separator != '.' || !ReadDigits(text, at, kLongestDecimal, second) || at != text.size()) return false;
  return DecimalRate(first, second, static_cast<int>(at - secondStart), rate);
}

std::string FrameRateFraction(FrameRate rate) {
  std::string text = std::to_string(rate.numerator);
  if (rate.denominator != 1) {
    text += '/';
    text += std::to_string(rate.denominator);
  }
  return text;
}

std::string FrameRateText(FrameRate rate) {
  if (rate.denominator == 1) return std::to_string(rate.numerator);
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", FramesPerSecond(rate));
  std::string shown = text;
  while (shown.back() == '0') shown.pop_back();
  if (shown.back() == '.') shown.pop_back();
  return shown;
}
