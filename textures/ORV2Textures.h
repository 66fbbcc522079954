// Picture files into OpenGL textures: the readers for BMP, JPEG and TGA, the
// dispatcher that picks one by extension, and texture creation.
//
// Every reader reports a failure to the viewer (ShowErrorMessage) and then
// returns without a texture; its output argument keeps whatever it held, and
// nothing is thrown. Call with the rendering context current. A picture that
// PrefetchPictures has decoded is taken from there instead of read again.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "textures/image_decode.h"

// --- Texture creation -------------------------------------------------------

// A new mipmapped texture (linear / nearest-mipmap filtering) from `pixels`:
// Width * Height pixels of 3 (GL_RGB) or 4 (GL_RGBA) bytes, rows bottom-up,
// tightly packed. The wrap mode follows SetTextureClamp. Returns its name.
GLuint CreateTexture(int32_t Width, int32_t Height, GLenum Format, const uint8_t* Pixels);
// The same with trilinear minification; used by the stand-alone TGA reader.
GLuint CreateTGATexture(int32_t Width, int32_t Height, GLenum Format, const uint8_t* Pixels);
// true: textures created from now on clamp (GL_CLAMP); false (initial): repeat.
void SetTextureClamp(bool Clamp);

// --- Readers (names are data names such as "gfx\\part.jpg") ----------------

// The reader a name picks: its last four characters, upper-cased, compared
// with ".BMP", ".JPG" and ".TGA", so "x.jpg" picks the JPEG reader and
// "x.jpeg" none. veloria-tool picks its decoder the same way.
enum class TPictureKind { None, Bmp, Jpeg, Tga };
TPictureKind PictureKindOf(const std::string& Name);
// The decoder of that reader; null for None.
using TPictureDecoder = TDecodeResult (*)(const std::vector<uint8_t>&);
TPictureDecoder DecoderOf(TPictureKind Kind);
// Calls the reader PictureKindOf picks; other names give no texture and no
// message.
void LoadImageTexture(const std::string& Name, int32_t& Texture, bool FromResource = false);
// Each returns true when `Texture` received a new texture.
bool LoadBMPTexture(const std::string& Name, int32_t& Texture, bool FromResource = false);
bool LoadJPGTexture(const std::string& Name, int32_t& Texture, bool FromResource = false);
bool LoadTGATexture(const std::string& Name, int32_t& Texture, bool FromResource = false);
// The stand-alone TGA reader (file only), ending in CreateTGATexture.
bool LoadTGAFile(const std::string& Name, int32_t& Texture);
// A detailed picture's reader: as LoadImageTexture (or, with StandAloneTGA,
// LoadTGAFile) makes a texture of `Name`, but without a message: a file that
// is missing or refused leaves `Texture` as it was and gives false.
bool LoadPictureQuietly(const std::string& Name, int32_t& Texture, bool StandAloneTGA);
// Gives `Texture` (made by the routines here) every level anew from the
// picture `Name`, read as LoadPictureQuietly reads it; its name, filtering
// and wrap modes stay, and so does the bound texture. False, the texture
// unchanged, when the file is missing or refused.
bool ReloadPictureQuietly(const std::string& Name, int32_t Texture);

// The size of the pixels a texture was made from by the routines above (the
// stored picture's, before the mipmap builder fits a side that is not a power
// of two); 0 x 0 for any other name.
struct TPixelSize {
  int32_t Width = 0;
  int32_t Height = 0;
};
TPixelSize StoredPictureSize(int32_t Texture);
// Forgets every stored size, once the context that held the textures is gone.
void ForgetStoredPictureSizes();

// --- Messages ---------------------------------------------------------------

// The caption and text a reader shows when its decoder refuses the bytes of
// `Name` with `Status` (which must not be Ok). veloria-tool prints the same.
struct TReaderMessage {
  std::string Caption;
  std::string Text;
};
TReaderMessage DecodeFailureMessage(TDecodeStatus Status, const std::string& Name);
// The message of the reader of `Kind` (not None) when the file `Name` cannot
// be opened.
TReaderMessage OpenFailureMessage(TPictureKind Kind, const std::string& Name);
