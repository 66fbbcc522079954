// The pure picture decoders on hand-made files: pixel order, row order,
// every way a file can be refused, and files other programs write, against
// ImageMagick.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/picture_bytes.h"
#include "tests/test_random.h"
#include "textures/image_decode.h"
#include "tools/generate/picture_encode.h"

namespace {

std::vector<uint8_t> Pixel(const TImage& image, int x, int y) {
  const size_t at = (static_cast<size_t>(y) * image.Width + x) * image.BytesPerPixel;
  return {image.Pixels.begin() + at, image.Pixels.begin() + at + image.BytesPerPixel};
}

using Bytes = std::vector<uint8_t>;

TEST(BmpDecode, OddWidthRowsArePaddedAndSwappedToRgb) {
  // 3 x 2: rows of 9 bytes padded to 12 in the file, tightly packed after decoding.
  BmpSpec spec{3, 2, 24, 0, 0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18}};
  const TDecodeResult r = DecodeBMP(MakeBmp(spec));
  ASSERT_EQ(r.Status, TDecodeStatus::Ok);
  EXPECT_EQ(r.Image.Width, 3);
  EXPECT_EQ(r.Image.Height, 2);
  EXPECT_EQ(r.Image.BytesPerPixel, 3);
  EXPECT_EQ(r.Image.Pixels, spec.rgb);
}

TEST(BmpDecode, TopDownFileIsTurnedBottomUp) {
  BmpSpec spec{1, -2, 24, 0, 0, {10, 20, 30, 40, 50, 60}};  // first file row is the top
  const TDecodeResult r = DecodeBMP(MakeBmp(spec));
  ASSERT_EQ(r.Status, TDecodeStatus::Ok);
  EXPECT_EQ(Pixel(r.Image, 0, 0), (Bytes{40, 50, 60}));
  EXPECT_EQ(Pixel(r.Image, 0, 1), (Bytes{10, 20, 30}));
}

TEST(BmpDecode, PaletteBlockIsSkipped) {
  BmpSpec spec{1, 1, 24, 0, 8, {9, 8, 7}};
  const TDecodeResult r = DecodeBMP(MakeBmp(spec));
  ASSERT_EQ(r.Status, TDecodeStatus::Ok);
  EXPECT_EQ(r.Image.Pixels, (Bytes{9, 8, 7}));
}

TEST(BmpDecode, RefusesBrokenFiles) {
  BmpSpec good{2, 2, 24, 0, 0, Bytes(12, 100)};
  Bytes file = MakeBmp(good);

  // Headers only partly present, or not a BMP at all.
  EXPECT_EQ(DecodeBMP(Bytes(file.begin(), file.begin() + 30)).Status, TDecodeStatus::BmpBadPixelData);
  Bytes notBmp = file;
  notBmp[0] = 'X';
  EXPECT_EQ(DecodeBMP(notBmp).Status, TDecodeStatus::BmpBadPixelData);
  // Pixel data one byte short of the padded rows.
  EXPECT_EQ(DecodeBMP(Bytes(file.begin(), file.end() - 1)).Status, TDecodeStatus::BmpBadPixelData);
  // A palette promised but cut off.
  BmpSpec palette = good;
  palette.colorsUsed = 16;
  Bytes cut = MakeBmp(palette);
  cut.resize(60);
  EXPECT_EQ(DecodeBMP(cut).Status, TDecodeStatus::BmpShortPalette);
  // Depths other than 24 bits.
  for (uint16_t bits : {1, 8, 16, 32}) {
    BmpSpec other = good;
    other.bitCount = bits;
    EXPECT_EQ(DecodeBMP(MakeBmp(other)).Status, TDecodeStatus::BmpBadPixelData) << bits;
  }
  // A declared image size smaller than the padded rows.
  BmpSpec small = good;
  small.imageSize = 12;  // 2 x 2 x 3 without the padding to 8 bytes per row
  EXPECT_EQ(DecodeBMP(MakeBmp(small)).Status, TDecodeStatus::BmpBadPixelData);
  // No pixels at all.
  BmpSpec empty = good;
  empty.width = 0;
  EXPECT_EQ(DecodeBMP(MakeBmp(empty)).Status, TDecodeStatus::BmpBadPixelData);
}

TEST(TgaDecode, RawPixelsSwapToRgbAndKeepAlpha) {
  const TDecodeResult rgb = DecodeTGA(MakeTga(2, 2, 1, 24, {1, 2, 3, 4, 5, 6}));
  ASSERT_EQ(rgb.Status, TDecodeStatus::Ok);
  EXPECT_EQ(rgb.Image.BytesPerPixel, 3);
  EXPECT_EQ(rgb.Image.Pixels, (Bytes{3, 2, 1, 6, 5, 4}));

  const TDecodeResult rgba = DecodeTGA(MakeTga(2, 1, 1, 32, {1, 2, 3, 77}));
  ASSERT_EQ(rgba.Status, TDecodeStatus::Ok);
  EXPECT_EQ(rgba.Image.BytesPerPixel, 4);
  EXPECT_EQ(rgba.Image.Pixels, (Bytes{3, 2, 1, 77}));
}

TEST(TgaDecode, IdentificationFieldAndEveryOriginAreHonoured) {
  // Two file rows of two pixels, B G R: 1 2 3 | 4 5 6, then 7 8 9 | 10 11 12.
  const Bytes pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  struct Origin {
    const char* corner;
    uint8_t descriptor;
    Bytes bottomLeft, bottomRight;  // decoded pixels, row 0 is the bottom
  };
  for (const Origin& o : {Origin{"lower left", 0x00, {3, 2, 1}, {6, 5, 4}},
                          Origin{"lower right", 0x10, {6, 5, 4}, {3, 2, 1}},
                          Origin{"upper left", 0x20, {9, 8, 7}, {12, 11, 10}},
                          Origin{"upper right", 0x30, {12, 11, 10}, {9, 8, 7}}}) {
    SCOPED_TRACE(o.corner);
    Bytes body(2 + pixels.size(), 0xAA);  // two identification bytes before the pixels
    std::copy(pixels.begin(), pixels.end(), body.begin() + 2);
    Bytes file = MakeTga(2, 2, 2, 24, body, 0, o.descriptor);
    file[0] = 2;
    const TDecodeResult r = DecodeTGA(file);
    ASSERT_EQ(r.Status, TDecodeStatus::Ok);
    EXPECT_EQ(Pixel(r.Image, 0, 0), o.bottomLeft);
    EXPECT_EQ(Pixel(r.Image, 1, 0), o.bottomRight);
  }
  // A run-length picture is turned the same way, alpha and all.
  const TDecodeResult rle = DecodeTGA(MakeTga(10, 3, 1, 32, {0x80, 1, 2, 3, 4, 0x81, 5, 6, 7, 8}, 0, 0x18));
  ASSERT_EQ(rle.Status, TDecodeStatus::Ok);
  EXPECT_EQ(rle.Image.Pixels, (Bytes{7, 6, 5, 8, 7, 6, 5, 8, 3, 2, 1, 4}));
}

TEST(TgaDecode, RunLengthPackets) {
  // A run of 3, then a raw packet of 2, filling 5 pixels exactly.
  const TDecodeResult r = DecodeTGA(MakeTga(10, 5, 1, 24, {0x82, 1, 2, 3, 0x01, 4, 5, 6, 7, 8, 9}));
  ASSERT_EQ(r.Status, TDecodeStatus::Ok);
  EXPECT_EQ(r.Image.Pixels, (Bytes{3, 2, 1, 3, 2, 1, 3, 2, 1, 6, 5, 4, 9, 8, 7}));
}

TEST(TgaDecode, RunLengthPacketsAreBoundedByPictureAndStream) {
  // A run of 128 into a 2-pixel picture stops at the picture's end.
  const TDecodeResult overrun = DecodeTGA(MakeTga(10, 2, 1, 32, {0xFF, 1, 2, 3, 4, 0x00, 9, 9, 9, 9}));
  ASSERT_EQ(overrun.Status, TDecodeStatus::Ok);
  EXPECT_EQ(overrun.Image.Pixels, (Bytes{3, 2, 1, 4, 3, 2, 1, 4}));
  // A raw packet promising 4 pixels with 1.5 in the stream: one is decoded,
  // the rest stays zero.
  const TDecodeResult cut = DecodeTGA(MakeTga(10, 4, 1, 24, {0x03, 1, 2, 3, 4, 5}));
  ASSERT_EQ(cut.Status, TDecodeStatus::Ok);
  EXPECT_EQ(cut.Image.Pixels, (Bytes{3, 2, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  // A run packet whose pixel is cut off, and an empty stream.
  EXPECT_EQ(DecodeTGA(MakeTga(10, 2, 1, 24, {0x81, 1, 2})).Image.Pixels, Bytes(6, 0));
  EXPECT_EQ(DecodeTGA(MakeTga(10, 2, 1, 24, {})).Image.Pixels, Bytes(6, 0));
}

TEST(TgaDecode, RefusalsInCheckOrder) {
  EXPECT_EQ(DecodeTGA(Bytes(17, 0)).Status, TDecodeStatus::TgaShortData);
  // Colour-mapped type 1 fails the type check before the colour-map check.
  EXPECT_EQ(DecodeTGA(MakeTga(1, 1, 1, 8, {0}, 1)).Status, TDecodeStatus::TgaBadImageType);
  EXPECT_EQ(DecodeTGA(MakeTga(2, 1, 1, 24, {1, 2, 3}, 1)).Status, TDecodeStatus::TgaColorMapped);
  EXPECT_EQ(DecodeTGA(MakeTga(2, 1, 1, 16, {1, 2})).Status, TDecodeStatus::TgaBadDepth);
  EXPECT_EQ(DecodeTGA(MakeTga(2, 1, 1, 40, Bytes(5, 1))).Status, TDecodeStatus::TgaBadDepth);
  EXPECT_EQ(DecodeTGA(MakeTga(2, 0, 4, 24, {})).Status, TDecodeStatus::TgaShortData);
  EXPECT_EQ(DecodeTGA(MakeTga(10, 4, 0, 24, {})).Status, TDecodeStatus::TgaShortData);
  EXPECT_EQ(DecodeTGA(MakeTga(2, 2, 1, 24, {1, 2, 3, 4, 5})).Status, TDecodeStatus::TgaShortData);
  // A run-length file claiming more pixels than any picture the show could use.
  EXPECT_EQ(DecodeTGA(MakeTga(10, 65535, 65535, 32, {0x80, 1, 2, 3, 4})).Status, TDecodeStatus::TgaShortData);
}

TEST(TgaDecode, EncoderRoundTripsBothTypes) {
  TImage image{5, 3, 4, {}};
  for (int k = 0; k < 15; ++k) {
    const uint8_t v = k < 7 ? 200 : static_cast<uint8_t>(k * 13);  // a run, then varied pixels
    image.Pixels.insert(image.Pixels.end(), {v, static_cast<uint8_t>(v / 2), 7, static_cast<uint8_t>(k)});
  }
  for (bool rle : {false, true}) {
    const TDecodeResult r = DecodeTGA(EncodeTGA(image, rle));
    ASSERT_EQ(r.Status, TDecodeStatus::Ok);
    EXPECT_EQ(r.Image.Pixels, image.Pixels) << rle;
  }
}

TEST(JpegDecode, RowsComeBottomUpAsOpaqueRgba) {
  // Top half red, bottom half blue (rows are bottom-up in the image).
  TImage image{16, 16, 3, {}};
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      if (y < 8) image.Pixels.insert(image.Pixels.end(), {0, 0, 255});
      else image.Pixels.insert(image.Pixels.end(), {255, 0, 0});
    }
  }
  const TDecodeResult r = DecodeJPEG(EncodeJPEG(image, 95));
  ASSERT_EQ(r.Status, TDecodeStatus::Ok);
  EXPECT_EQ(r.Image.Width, 16);
  EXPECT_EQ(r.Image.BytesPerPixel, 4);
  const Bytes bottom = Pixel(r.Image, 4, 2), top = Pixel(r.Image, 4, 13);
  EXPECT_GT(bottom[2], 200);
  EXPECT_LT(bottom[0], 50);
  EXPECT_GT(top[0], 200);
  EXPECT_LT(top[2], 50);
  EXPECT_EQ(bottom[3], 255);
  EXPECT_EQ(top[3], 255);
}

TEST(JpegDecode, CutOffOrBrokenFilesAreRefusedWithoutEndingTheProcess) {
  TImage image{32, 32, 3, Bytes(32 * 32 * 3, 90)};
  const Bytes file = EncodeJPEG(image, 90);
  EXPECT_EQ(DecodeJPEG(Bytes{}).Status, TDecodeStatus::JpegUnreadable);
  EXPECT_EQ(DecodeJPEG(Bytes{'n', 'o', 't', ' ', 'j', 'p', 'g'}).Status, TDecodeStatus::JpegUnreadable);
  // Cut in the scan, in the header, and short of only the end marker.
  for (size_t keep : {file.size() / 2, size_t{200}, file.size() - 2}) {
    EXPECT_EQ(DecodeJPEG(Bytes(file.begin(), file.begin() + keep)).Status, TDecodeStatus::JpegUnreadable) << keep;
  }
  // Cut in the scan, with the end marker put back: the scan's data still
  // stops short of the picture's last block.
  Bytes endedEarly(file.begin(), file.begin() + file.size() / 2);
  if (endedEarly.back() == 0xFF) endedEarly.pop_back();
  endedEarly.insert(endedEarly.end(), {0xFF, 0xD9});
  EXPECT_EQ(DecodeJPEG(endedEarly).Status, TDecodeStatus::JpegUnreadable);
}

}  // namespace

namespace {

// Flips bytes of valid files at pseudo-random places and cuts them short:
// every decoder must answer (picture or refusal) without crashing, and a
// picture it returns must be as large as it says.
TEST(DecoderRobustness, MutatedFilesNeverCrash) {
  TImage source{24, 16, 4, {}};
  for (int k = 0; k < 24 * 16; ++k) source.Pixels.insert(source.Pixels.end(), {uint8_t(k), uint8_t(k * 3), 9, 200});
  BmpSpec bmp{24, 16, 24, 0, 0, {}};
  for (int k = 0; k < 24 * 16 * 3; ++k) bmp.rgb.push_back(static_cast<uint8_t>(k * 7));
  const std::vector<std::pair<TDecodeResult (*)(const uint8_t*, size_t), Bytes>> files = {
      {DecodeBMP, MakeBmp(bmp)},
      {DecodeTGA, EncodeTGA(source, true)},
      {DecodeTGA, EncodeTGA(source, false)},
      {DecodeJPEG, EncodeJPEG(source, 80)}};
  TestRandom random{12345};
  auto next = [&random] { return random.Next(); };
  for (const auto& [decode, original] : files) {
    for (int trial = 0; trial < 300; ++trial) {
      Bytes mutated = original;
      const int flips = 1 + static_cast<int>(next() % 6);
      for (int f = 0; f < flips; ++f) mutated[next() % mutated.size()] = static_cast<uint8_t>(next() >> 24);
      if (trial % 3 == 0) mutated.resize(next() % mutated.size());
      const TDecodeResult r = decode(mutated.data(), mutated.size());
      if (r.Status == TDecodeStatus::Ok) {
        EXPECT_EQ(r.Image.Pixels.size(),
                  static_cast<size_t>(r.Image.Width) * r.Image.Height * r.Image.BytesPerPixel);
      }
    }
  }
}

}  // namespace

namespace {

// Pictures other programs write, against another decoder: ImageMagick's
// convert must see the same pixels in every file the show decodes.

bool HaveConvert() { return std::system("command -v convert >/dev/null 2>&1") == 0; }

// The pixels convert decodes from `path` read as `format` ("jpg", "tga"),
// top row first, 3 (RGB) or 4 (RGBA) bytes each; empty when it fails.
// convert keeps a TGA's rows in file order and only notes the origin corner
// unless told to turn the picture upright.
Bytes ConvertDecodes(const std::string& path, const char* format, int channels) {
  const std::string command = std::string("convert ") + format + ":" + path + " -auto-orient -depth 8 " +
                              (channels == 4 ? "rgba" : "rgb") + ":- 2>/dev/null";
  Bytes out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  uint8_t buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.insert(out.end(), buffer, buffer + n);
  pclose(pipe);
  return out;
}

Bytes TopRowFirst(const TImage& image) {
  const size_t row = static_cast<size_t>(image.Width) * image.BytesPerPixel;
  Bytes out;
  for (int y = image.Height - 1; y >= 0; --y) {
    out.insert(out.end(), image.Pixels.begin() + y * row, image.Pixels.begin() + (y + 1) * row);
  }
  return out;
}

// Where the header segment with `marker` (bytes FF marker) starts; 0 when
// the header before the scan has none.
size_t SegmentAt(const Bytes& file, uint8_t marker) {
  for (size_t at = 2; at + 4 <= file.size() && file[at] == 0xFF; at += 2 + (file[at + 2] << 8 | file[at + 3])) {
    if (file[at + 1] == marker) return at;
    if (file[at + 1] == 0xDA) break;
  }
  return 0;
}

Bytes Inserted(Bytes file, size_t at, const Bytes& bytes) {
  file.insert(file.begin() + static_cast<std::ptrdiff_t>(at), bytes.begin(), bytes.end());
  return file;
}

TEST(ForeignPictures, JpegsWithDataLibjpegReadsPastLoseNothingAndDecodeAsImageMagickDecodesThem) {
  if (!HaveConvert()) GTEST_SKIP() << "ImageMagick's convert is not installed (bash scripts/install-deps)";
  TImage source{40, 24, 3, {}};
  for (int y = 0; y < 24; ++y) {
    for (int x = 0; x < 40; ++x) {
      source.Pixels.insert(source.Pixels.end(), {uint8_t(x * 6), uint8_t(y * 10), uint8_t((x / 8 + y / 8) % 2 * 200)});
    }
  }
  const Bytes file = EncodeJPEG(source, 85);
  const TDecodeResult clean = DecodeJPEG(file);
  ASSERT_EQ(clean.Status, TDecodeStatus::Ok);
  const size_t dqt = SegmentAt(file, 0xDB), app0 = SegmentAt(file, 0xE0);
  ASSERT_TRUE(dqt > 0 && app0 > 0);

  struct Case {
    const char* what;
    Bytes bytes;
  };
  std::vector<Case> cases = {
      {"stray bytes before a marker", Inserted(file, dqt, {0x12, 0x34, 0x56})},
      // An EXIF segment whose length stops short of its contents.
      {"damaged EXIF segment",
       Inserted(file, dqt, {0xFF, 0xE1, 0x00, 0x08, 'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 0x2A, 0, 8, 0, 0, 0})},
  };
  Bytes revision = file;
  revision[app0 + 9] = 2;  // JFIF major version 2, which libjpeg does not know
  cases.push_back({"unknown JFIF revision", revision});

  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const TDecodeResult r = DecodeJPEG(c.bytes);
    ASSERT_EQ(r.Status, TDecodeStatus::Ok);
    // Nothing of the picture is lost.
    EXPECT_TRUE(r.Image.Pixels == clean.Image.Pixels);
    const Bytes theirs = ConvertDecodes(WriteTempFile("foreign.jpg", c.bytes), "jpg", 4);
    EXPECT_TRUE(TopRowFirst(r.Image) == theirs) << theirs.size() << " bytes from convert";
  }
}

TEST(ForeignPictures, TgasFromEveryCornerDecodeAsImageMagickDecodesThem) {
  if (!HaveConvert()) GTEST_SKIP() << "ImageMagick's convert is not installed (bash scripts/install-deps)";
  TImage source{5, 3, 4, {}};
  for (int k = 0; k < 15; ++k) {
    const uint8_t v = k < 4 ? 250 : static_cast<uint8_t>(k * 17);  // a run, then varied pixels
    source.Pixels.insert(source.Pixels.end(), {v, static_cast<uint8_t>(k * 9), static_cast<uint8_t>(255 - v), 255});
  }
  for (bool runLength : {false, true}) {
    for (int channels : {3, 4}) {
      TImage image = source;
      if (channels == 3) {
        image.BytesPerPixel = 3;
        image.Pixels.clear();
        for (size_t k = 0; k < source.Pixels.size(); k += 4) {
          image.Pixels.insert(image.Pixels.end(), source.Pixels.begin() + k, source.Pixels.begin() + k + 3);
        }
      }
      for (uint8_t origin : {0x00, 0x10, 0x20, 0x30}) {
        SCOPED_TRACE(::testing::Message() << (runLength ? "run-length " : "raw ") << channels * 8 << " bits, origin "
                                          << int(origin));
        Bytes file = EncodeTGA(image, runLength);
        // 32-bit pixels carry 8 alpha bits, as the descriptor says.
        file[17] = static_cast<uint8_t>(origin | (channels == 4 ? 8 : 0));
        const TDecodeResult r = DecodeTGA(file);
        ASSERT_EQ(r.Status, TDecodeStatus::Ok);
        const Bytes theirs = ConvertDecodes(WriteTempFile("foreign.tga", file), "tga", channels);
        EXPECT_TRUE(TopRowFirst(r.Image) == theirs) << theirs.size() << " bytes from convert";
      }
    }
  }
}

}  // namespace
