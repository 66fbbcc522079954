// Mipmap chains by box filtering, as the GL's mipmap builder halves a
// picture whose sides are powers of two.

#include "textures/mipmap_chain.h"

#include <algorithm>
#include <utility>

namespace {

TImage Halved(const TImage& level) {
  TImage half;
  half.Width = std::max(1, level.Width / 2);
  half.Height = std::max(1, level.Height / 2);
  half.BytesPerPixel = level.BytesPerPixel;
  half.Pixels.resize(static_cast<size_t>(half.Width) * half.Height * half.BytesPerPixel);
  const int bpp = level.BytesPerPixel;
  // Steps to the second texel across and up; none along a side of 1.
  const size_t across = level.Width > 1 ? bpp : 0;
  const size_t up = level.Height > 1 ? static_cast<size_t>(level.Width) * bpp : 0;
  const unsigned count = (across != 0 ? 2 : 1) * (up != 0 ? 2 : 1);
  for (int y = 0; y < half.Height; ++y) {
    const uint8_t* row = level.Pixels.data() + static_cast<size_t>(y) * (up != 0 ? 2 : 1) * level.Width * bpp;
    uint8_t* out = half.Pixels.data() + static_cast<size_t>(y) * half.Width * bpp;
    for (int x = 0; x < half.Width; ++x) {
      const uint8_t* t = row + static_cast<size_t>(x) * (across != 0 ? 2 : 1) * bpp;
      for (int c = 0; c < bpp; ++c) {
        const unsigned sum = count == 4 ? t[c] + t[c + across] + t[c + up] + t[c + up + across] : t[c] + t[c + across + up];
        out[x * bpp + c] = static_cast<uint8_t>((sum + count / 2) / count);
      }
    }
  }
  return half;
}

}  // namespace

TMipmapChain BuildMipmapChain(TImage level0) {
  TMipmapChain chain;
  chain.LitArea = MeasureLitArea(level0.Pixels.data(), level0.Width, level0.Height, level0.BytesPerPixel);
  chain.Levels.push_back(std::move(level0));
  while (chain.Levels.back().Width > 1 || chain.Levels.back().Height > 1) {
    chain.Levels.push_back(Halved(chain.Levels.back()));
  }
  return chain;
}
