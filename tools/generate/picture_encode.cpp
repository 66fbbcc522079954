// JPEG and TGA encoders for the generated pictures.

#include "tools/generate/picture_encode.h"

// jpeglib.h needs size_t and FILE declared before it.
#include <cstddef>
#include <cstdio>
#include <jpeglib.h>

#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace {

struct ErrorManager {
  jpeg_error_mgr base;
  jmp_buf escape;
};

[[noreturn]] void EscapeOnError(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->escape, 1);
}

// Appends one TGA pixel (B, G, R[, A]) taken from an R, G, B[, A] pixel.
void PutPixel(std::vector<uint8_t>& out, const uint8_t* p, int bpp) {
  out.push_back(p[2]);
  out.push_back(p[1]);
  out.push_back(p[0]);
  if (bpp == 4) out.push_back(p[3]);
}

// Run-length packets for one row (packets never cross rows, as TGA readers
// of old expect): runs of 2 or more equal pixels become run packets, the rest
// raw packets, each at most 128 pixels long.
void EncodeRow(std::vector<uint8_t>& out, const uint8_t* row, int width, int bpp) {
  auto same = [&](int a, int b) { return std::memcmp(row + a * bpp, row + b * bpp, bpp) == 0; };
  int x = 0;
  while (x < width) {
    int run = 1;
    while (x + run < width && run < 128 && same(x, x + run)) ++run;
    if (run >= 2) {
      out.push_back(static_cast<uint8_t>(128 + run - 1));
      PutPixel(out, row + x * bpp, bpp);
      x += run;
      continue;
    }
    int raw = 1;
    while (x + raw < width && raw < 128 && !(x + raw + 1 < width && same(x + raw, x + raw + 1))) ++raw;
    out.push_back(static_cast<uint8_t>(raw - 1));
    for (int k = 0; k < raw; ++k) PutPixel(out, row + (x + k) * bpp, bpp);
    x += raw;
  }
}

}  // namespace

std::vector<uint8_t> EncodeJPEG(const TImage& image, int quality) {
  // Everything with a destructor is declared before setjmp.
  std::vector<uint8_t> rgb(static_cast<size_t>(image.Width) * image.Height * 3);
  for (size_t k = 0, n = static_cast<size_t>(image.Width) * image.Height; k < n; ++k) {
    std::memcpy(&rgb[k * 3], &image.Pixels[k * image.BytesPerPixel], 3);
  }
  std::vector<uint8_t> result;
  unsigned char* buffer = nullptr;
  unsigned long bufferSize = 0;
  jpeg_compress_struct cinfo;
  ErrorManager errors;
  cinfo.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = EscapeOnError;
  if (setjmp(errors.escape) != 0) {
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    throw std::runtime_error("JPEG encoding failed");
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, &buffer, &bufferSize);
  cinfo.image_width = static_cast<JDIMENSION>(image.Width);
  cinfo.image_height = static_cast<JDIMENSION>(image.Height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  cinfo.optimize_coding = TRUE;
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    // The file stores the top row first; image rows are bottom-up.
    JSAMPROW row = &rgb[static_cast<size_t>(image.Height - 1 - cinfo.next_scanline) * image.Width * 3];
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  result.assign(buffer, buffer + bufferSize);
  jpeg_destroy_compress(&cinfo);
  std::free(buffer);
  return result;
}

std::vector<uint8_t> EncodeTGA(const TImage& image, bool runLength) {
  const int bpp = image.BytesPerPixel;
  std::vector<uint8_t> out(18, 0);
  out[2] = runLength ? 10 : 2;
  out[12] = static_cast<uint8_t>(image.Width & 0xFF);
  out[13] = static_cast<uint8_t>(image.Width >> 8);
  out[14] = static_cast<uint8_t>(image.Height & 0xFF);
  out[15] = static_cast<uint8_t>(image.Height >> 8);
  out[16] = static_cast<uint8_t>(bpp * 8);
  out[17] = bpp == 4 ? 8 : 0;  // alpha bits; origin lower left
  const size_t rowBytes = static_cast<size_t>(image.Width) * bpp;
  for (int y = 0; y < image.Height; ++y) {
    const uint8_t* row = image.Pixels.data() + rowBytes * y;
    if (runLength) {
      EncodeRow(out, row, image.Width, bpp);
    } else {
      for (int x = 0; x < image.Width; ++x) PutPixel(out, row + x * bpp, bpp);
    }
  }
  return out;
}
