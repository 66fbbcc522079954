// Picture readers and texture creation: file bytes go through the decoders of
// image_decode.h, failures become the readers' messages, pictures become textures.

#include "textures/ORV2Textures.h"

#include <GL/glu.h>

#include <map>
#include <cstring>
#include <utility>
#include <optional>
#include <vector>

#include "platform/file_path.h"
#include "platform/message_box.h"
#include "textures/lit_area.h"
#include "textures/mipmap_chain.h"
#include "textures/picture_detail.h"
#include "textures/picture_prefetch.h"

namespace {

bool ClampTextures = false;
// The pixels each texture was made from, by texture name.
std::map<GLuint, TPixelSize> storedSizes;

const char* const kBmpCaption = "BMP Unit";
const char* const kTgaCaption = "TGA File Error";

bool IsPowerOfTwo(int32_t n) { return n > 0 && (n & (n - 1)) == 0; }

// The levels of the bound texture, all of them anew, from `pixels`, and the
// records kept of its pixels.
void FillMipmapLevels(GLuint name, int32_t width, int32_t height, GLenum format, const uint8_t* pixels) {
  // Decoded rows are tightly packed; the GL's default alignment of 4 would
  // shear RGB pictures whose width is not a multiple of 4.
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  if (format == GL_RGBA) {
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
  } else {
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels);
  }
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  storedSizes[name] = {width, height};
  // The mipmap builder resizes a picture whose sides are not powers of two,
  // so only then is level 0 not the decoded pixels.
  if (IsPowerOfTwo(width) && IsPowerOfTwo(height)) {
    RecordLitArea(name, MeasureLitArea(pixels, width, height, format == GL_RGBA ? 4 : 3));
  } else {
    ForgetLitArea(name);
  }
}

// Whether the GL takes textures whose sides are not powers of two (2.0 on,
// or the extension), so a detailed picture of such a size keeps its texels.
bool TakesAnyTextureSize() {
  const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  return (version != nullptr && version[0] >= '2' && version[0] <= '9') ||
         (extensions != nullptr && std::strstr(extensions, "GL_ARB_texture_non_power_of_two") != nullptr);
}

// The levels of the bound texture `name`, all of them anew, from a chain made
// ahead, and the records kept of its pixels. A chain of a size the GL cannot
// take goes through the mipmap builder, which fits it.
void FillChainLevels(GLuint name, const TMipmapChain& chain) {
  const TImage& base = chain.Levels.front();
  const GLenum format = base.BytesPerPixel == 4 ? GL_RGBA : GL_RGB;
  if (!(IsPowerOfTwo(base.Width) && IsPowerOfTwo(base.Height)) && !TakesAnyTextureSize()) {
    FillMipmapLevels(name, base.Width, base.Height, format, base.Pixels.data());
    return;
  }
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  for (size_t level = 0; level < chain.Levels.size(); ++level) {
    const TImage& image = chain.Levels[level];
    glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), format == GL_RGBA ? GL_RGBA : 3, image.Width, image.Height,
                 0, format, GL_UNSIGNED_BYTE, image.Pixels.data());
  }
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  storedSizes[name] = {base.Width, base.Height};
  RecordLitArea(name, chain.LitArea);
}

// A new texture, bound, with the parameters of both creation routines; they
// differ only in minification.
GLuint NewTexture(GLint minFilter) {
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  const GLint wrap = ClampTextures ? GL_CLAMP : GL_REPEAT;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
  return name;
}

GLuint CreateMipmappedTexture(int32_t width, int32_t height, GLenum format, const uint8_t* pixels,
                              GLint minFilter) {
  const GLuint name = NewTexture(minFilter);
  FillMipmapLevels(name, width, height, format, pixels);
  return name;
}

GLenum FormatOf(const TImage& image) { return image.BytesPerPixel == 4 ? GL_RGBA : GL_RGB; }

void ShowMessage(const TReaderMessage& message) { ShowErrorMessage(message.Caption, message.Text); }

// This build embeds no pictures in the executable, so every resource lookup
// ends in the "not found in resource" message of the asking reader.
void ReportMissingResource(const std::string& name, const char* caption) {
  ShowErrorMessage(caption, "File not found in resource - " + name);
}

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

// Reads (or takes from the prefetch), decodes and uploads a TGA file for both
// TGA readers.
bool LoadTGAWith(const std::string& name, int32_t& texture,
                 GLuint (*create)(int32_t, int32_t, GLenum, const uint8_t*)) {
  std::optional<TDecodeResult> decoded = TakePrefetchedPicture(name);
  if (!decoded) {
    const std::optional<std::vector<uint8_t>> bytes = ReadWholeFile(name);
    if (!bytes) {
      ShowMessage(OpenFailureMessage(TPictureKind::Tga, name));
      return false;
    }
    decoded = DecodeTGA(*bytes);
  }
  if (decoded->Status != TDecodeStatus::Ok) {
    ShowMessage(DecodeFailureMessage(decoded->Status, name));
    return false;
  }
  const TImage& image = decoded->Image;
  texture = static_cast<int32_t>(create(image.Width, image.Height, FormatOf(image), image.Pixels.data()));
  return true;
}

}  // namespace

GLuint CreateTexture(int32_t Width, int32_t Height, GLenum Format, const uint8_t* Pixels) {
  return CreateMipmappedTexture(Width, Height, Format, Pixels, GL_LINEAR_MIPMAP_NEAREST);
}

GLuint CreateTGATexture(int32_t Width, int32_t Height, GLenum Format, const uint8_t* Pixels) {
  return CreateMipmappedTexture(Width, Height, Format, Pixels, GL_LINEAR_MIPMAP_LINEAR);
}

void SetTextureClamp(bool Clamp) { ClampTextures = Clamp; }

TReaderMessage DecodeFailureMessage(TDecodeStatus Status, const std::string& Name) {
  switch (Status) {
    case TDecodeStatus::BmpShortPalette:
      return {kBmpCaption, "Error reading palette"};
    case TDecodeStatus::BmpBadPixelData:
      return {kBmpCaption, "Error reading bitmap data"};
    case TDecodeStatus::JpegUnreadable:
      return {kBmpCaption, "Couldn't load JPG - " + Quoted(Name)};
    case TDecodeStatus::TgaBadImageType:
      return {kTgaCaption, "Couldn't load " + Quoted(Name) + ". Only 24 and 32bit TGA supported."};
    case TDecodeStatus::TgaColorMapped:
      return {kTgaCaption, "Couldn't load " + Quoted(Name) + ". Colormapped TGA files not supported."};
    case TDecodeStatus::TgaBadDepth:
      return {kTgaCaption, "Couldn't load " + Quoted(Name) + ". Only 24 and 32 bit TGA files supported."};
    case TDecodeStatus::TgaShortData:
      return {kTgaCaption, "Couldn't read file " + Quoted(Name) + "."};
    case TDecodeStatus::Ok:
      break;
  }
  return {"", ""};
}

TReaderMessage OpenFailureMessage(TPictureKind Kind, const std::string& Name) {
  if (Kind == TPictureKind::Bmp) return {kBmpCaption, "Error opening " + Name};
  if (Kind == TPictureKind::Tga) return {"TGA Texture", "File not found  - " + Name};
  return DecodeFailureMessage(TDecodeStatus::JpegUnreadable, Name);
}

TPictureKind PictureKindOf(const std::string& Name) {
  const std::string ending = UpperCased(Name.size() >= 4 ? Name.substr(Name.size() - 4) : Name);
  if (ending == ".BMP") return TPictureKind::Bmp;
  if (ending == ".JPG") return TPictureKind::Jpeg;
  if (ending == ".TGA") return TPictureKind::Tga;
  return TPictureKind::None;
}

TPictureDecoder DecoderOf(TPictureKind Kind) {
  switch (Kind) {
    case TPictureKind::Bmp:
      return DecodeBMP;
    case TPictureKind::Jpeg:
      return DecodeJPEG;
    case TPictureKind::Tga:
      return DecodeTGA;
    case TPictureKind::None:
      break;
  }
  return nullptr;
}

void LoadImageTexture(const std::string& Name, int32_t& Texture, bool FromResource) {
  switch (PictureKindOf(Name)) {
    case TPictureKind::Bmp:
      LoadBMPTexture(Name, Texture, FromResource);
      break;
    case TPictureKind::Jpeg:
      LoadJPGTexture(Name, Texture, FromResource);
      break;
    case TPictureKind::Tga:
      LoadTGATexture(Name, Texture, FromResource);
      break;
    case TPictureKind::None:
      break;
  }
}

bool LoadBMPTexture(const std::string& Name, int32_t& Texture, bool FromResource) {
  if (FromResource) {
    ReportMissingResource(Name, "BMP Texture");
    return false;
  }
  std::optional<TDecodeResult> decoded = TakePrefetchedPicture(Name);
  if (!decoded) {
    const std::optional<std::vector<uint8_t>> bytes = ReadWholeFile(Name);
    if (!bytes) {
      ShowMessage(OpenFailureMessage(TPictureKind::Bmp, Name));
      return false;
    }
    decoded = DecodeBMP(*bytes);
  }
  if (decoded->Status != TDecodeStatus::Ok) {
    ShowMessage(DecodeFailureMessage(decoded->Status, Name));
    return false;
  }
  const TImage& image = decoded->Image;
  Texture = static_cast<int32_t>(CreateTexture(image.Width, image.Height, GL_RGB, image.Pixels.data()));
  return true;
}

bool LoadJPGTexture(const std::string& Name, int32_t& Texture, bool FromResource) {
  if (FromResource) {
    ReportMissingResource(Name, "JPG Texture");
    return false;
  }
  std::optional<TDecodeResult> decoded = TakePrefetchedPicture(Name);
  if (!decoded) {
    const std::optional<std::vector<uint8_t>> bytes = ReadWholeFile(Name);
    decoded = bytes ? DecodeJPEG(*bytes) : TDecodeResult{TDecodeStatus::JpegUnreadable, {}};
  }
  if (decoded->Status != TDecodeStatus::Ok) {
    ShowMessage(DecodeFailureMessage(decoded->Status, Name));
    return false;
  }
  const TImage& image = decoded->Image;
  Texture = static_cast<int32_t>(CreateTexture(image.Width, image.Height, GL_RGBA, image.Pixels.data()));
  return true;
}

bool LoadTGATexture(const std::string& Name, int32_t& Texture, bool FromResource) {
  if (FromResource) {
    ReportMissingResource(Name, "TGA Texture");
    return false;
  }
  return LoadTGAWith(Name, Texture, CreateTexture);
}

bool LoadTGAFile(const std::string& Name, int32_t& Texture) { return LoadTGAWith(Name, Texture, CreateTGATexture); }

namespace {

// The levels of the detailed picture `name`: the prefetch's, or read, decoded
// and halved here; nothing when the file is missing or refused.
std::optional<TMipmapChain> ChainQuietly(const std::string& name) {
  std::optional<TMipmapChain> chain = TakePrefetchedChain(name);
  if (chain) return chain;
  const TPictureDecoder decode = DecoderOf(PictureKindOf(name));
  const std::optional<std::vector<uint8_t>> bytes = decode != nullptr ? ReadWholeFile(name) : std::nullopt;
  if (!bytes) return std::nullopt;
  TDecodeResult decoded = decode(*bytes);
  if (decoded.Status != TDecodeStatus::Ok) return std::nullopt;
  return BuildMipmapChain(std::move(decoded.Image));
}

}  // namespace

bool LoadPictureQuietly(const std::string& Name, int32_t& Texture, bool StandAloneTGA) {
  const std::optional<TMipmapChain> chain = ChainQuietly(Name);
  if (!chain) return false;
  const bool standAlone = StandAloneTGA && PictureKindOf(Name) == TPictureKind::Tga;
  const GLuint name = NewTexture(standAlone ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR_MIPMAP_NEAREST);
  FillChainLevels(name, *chain);
  Texture = static_cast<int32_t>(name);
  return true;
}

bool ReloadPictureQuietly(const std::string& Name, int32_t Texture) {
  // A designed file goes in as its reader puts it in, through the mipmap
  // builder; a detailed one from its chain.
  std::optional<TMipmapChain> chain;
  std::optional<TDecodeResult> designed;
  if (DetailOfPictureFile(Name) != kDesignedDetail) {
    chain = ChainQuietly(Name);
  } else {
    designed = TakePrefetchedPicture(Name);
    const TPictureDecoder decode = DecoderOf(PictureKindOf(Name));
    const std::optional<std::vector<uint8_t>> bytes = designed || decode == nullptr ? std::nullopt : ReadWholeFile(Name);
    if (bytes) designed = decode(*bytes);
    if (designed && designed->Status != TDecodeStatus::Ok) designed.reset();
  }
  if (!chain && !designed) return false;
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  const GLuint name = static_cast<GLuint>(Texture);
  glBindTexture(GL_TEXTURE_2D, name);
  if (chain) {
    FillChainLevels(name, *chain);
  } else {
    const TImage& image = designed->Image;
    const GLenum format = PictureKindOf(Name) == TPictureKind::Bmp ? GL_RGB : PictureKindOf(Name) == TPictureKind::Jpeg ? GL_RGBA : FormatOf(image);
    FillMipmapLevels(name, image.Width, image.Height, format, image.Pixels.data());
  }
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
  return true;
}

TPixelSize StoredPictureSize(int32_t Texture) {
  const auto found = storedSizes.find(static_cast<GLuint>(Texture));
  return found == storedSizes.end() ? TPixelSize{} : found->second;
}

void ForgetStoredPictureSizes() { storedSizes.clear(); }
