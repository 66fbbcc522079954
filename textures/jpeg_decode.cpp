// JPEG decoder on libjpeg-turbo, with an error manager that returns to the
// caller: libjpeg's own handler ends the process on the first error.

// jpeglib.h needs size_t and FILE declared before it; jerror.h names the
// warning that marks a cut-off file.
#include <cstddef>
#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>

#include <csetjmp>
#include <cstdio>

#include "textures/image_decode.h"

namespace {

// Pictures beyond this many pixels are refused instead of allocated.
constexpr uint64_t kMaxPixels = uint64_t{1} << 26;

struct ErrorManager {
  jpeg_error_mgr base;  // first, so libjpeg's pointer to it is a pointer to us
  jmp_buf escape;
};

[[noreturn]] void EscapeOnError(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->escape, 1);
}

// Of libjpeg's warnings only those that say the picture's data is cut short
// refuse it: the file ends before its end marker, or a scan's data stops at
// a marker before its last block. libjpeg would fill the rest of the picture
// in flat grey. Every other warning (extraneous bytes before a marker, a
// damaged APP or EXIF segment, an unknown JFIF revision, a bad entropy code)
// marks data libjpeg reads past, and the picture is decoded as libjpeg gives
// it, as other viewers show it. Trace messages are dropped.
void EscapeOnCutOff(j_common_ptr cinfo, int level) {
  const int code = cinfo->err->msg_code;
  if (level < 0 && (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER)) EscapeOnError(cinfo);
}

}  // namespace

TDecodeResult DecodeJPEG(const uint8_t* data, size_t size) {
  TDecodeResult result;
  result.Status = TDecodeStatus::JpegUnreadable;
  if (size == 0) return result;

  // Everything with a destructor lives outside the setjmp scope below, so a
  // jump back skips no destructor.
  TImage image;
  jpeg_decompress_struct cinfo;
  ErrorManager errors;
  cinfo.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = EscapeOnError;
  errors.base.emit_message = EscapeOnCutOff;
  if (setjmp(errors.escape) != 0) {
    jpeg_destroy_decompress(&cinfo);
    return result;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, const_cast<unsigned char*>(data), static_cast<unsigned long>(size));
  jpeg_read_header(&cinfo, TRUE);
  cinfo.out_color_space = JCS_EXT_RGBA;
  // The size is checked on the header, before decompression starts: a
  // progressive file claiming a huge picture in a few hundred bytes would
  // otherwise have libjpeg allocate and walk coefficient buffers for all of
  // it (tens of seconds) before the first scanline.
  const uint64_t width = cinfo.image_width;
  const uint64_t height = cinfo.image_height;
  if (width * height == 0 || width * height > kMaxPixels) {
    jpeg_destroy_decompress(&cinfo);
    return result;
  }
  jpeg_start_decompress(&cinfo);
  image.Width = static_cast<int32_t>(width);
  image.Height = static_cast<int32_t>(height);
  image.BytesPerPixel = 4;
  image.Pixels.resize(width * height * 4);
  while (cinfo.output_scanline < cinfo.output_height) {
    // Scanlines come top row first; rows are stored bottom-up.
    JSAMPROW row = image.Pixels.data() + (height - 1 - cinfo.output_scanline) * width * 4;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  result.Status = TDecodeStatus::Ok;
  result.Image = std::move(image);
  return result;
}
