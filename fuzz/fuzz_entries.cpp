// The readers' fuzz entry points: each runs one reader the way the show does
// and checks what it returned, so a wrong answer is as loud as a crash.

#include "fuzz/fuzz_entries.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "core/shared_state.h"
#include "core/sync.h"
#include "geometry/ORV2_3ds.h"
#include "textures/image_decode.h"

namespace {

[[noreturn]] void Broken(const char* what) {
  std::fprintf(stderr, "fuzz entry: %s\n", what);
  std::abort();
}

FuzzVerdict CheckPicture(const TDecodeResult& result) {
  if (result.Status != TDecodeStatus::Ok) return FuzzVerdict::Refused;
  const TImage& image = result.Image;
  if (image.Width <= 0 || image.Height <= 0) Broken("decoded picture without area");
  if (image.BytesPerPixel != 3 && image.BytesPerPixel != 4) Broken("decoded picture of an unknown pixel size");
  const size_t expected = static_cast<size_t>(image.Width) * static_cast<size_t>(image.Height) *
                          static_cast<size_t>(image.BytesPerPixel);
  if (image.Pixels.size() != expected) Broken("decoded pixels do not match the picture's size");
  return FuzzVerdict::Decoded;
}

}  // namespace

FuzzVerdict FuzzModel(const uint8_t* data, size_t size) {
  T3DSLoader loader;
  try {
    loader.File = std::make_unique<TFile3DS>(std::vector<uint8_t>(data, data + size), "fuzz.3ds");
    loader.MeshCount = loader.File->Objects.MeshCount();
    for (int32_t i = 0; i < loader.MeshCount; ++i) {
      const std::unique_ptr<TMeshDataNM> mesh = loader.GetMesh(i);
      if (mesh->VertexCount < 0 || mesh->FaceCount < 0) Broken("mesh with a negative count");
      for (const TFace& face : mesh->Faces) {
        for (int32_t corner : {face.a, face.b, face.c}) {
          if (corner < 0 || corner >= mesh->VertexCount) Broken("face corner outside the mesh's vertices");
        }
      }
    }
  } catch (const std::exception&) {
    return FuzzVerdict::Refused;
  }
  return FuzzVerdict::Decoded;
}

FuzzVerdict FuzzTGA(const uint8_t* data, size_t size) { return CheckPicture(DecodeTGA(data, size)); }
FuzzVerdict FuzzBMP(const uint8_t* data, size_t size) { return CheckPicture(DecodeBMP(data, size)); }
FuzzVerdict FuzzJPEG(const uint8_t* data, size_t size) { return CheckPicture(DecodeJPEG(data, size)); }

FuzzVerdict FuzzSync(const uint8_t* data, size_t size) {
  // The track object is large; the show keeps one for the whole run.
  auto track = std::make_unique<TSync>();
  const std::vector<std::string> findings = track->LoadFromBytes(data, size);
  track->Rewind();
  const float savedTime = DemoTime;
  int32_t lastSection = 0;
  for (float t = 0.0f; t < 400.0f; t += 0.25f) {
    DemoTime = t;
    const int32_t section = track->SyncSection();
    if (section < lastSection || section >= kSyncListLength) Broken("section index out of order or range");
    lastSection = section;
    for (int32_t channel = 1; channel <= 3; ++channel) {
      track->SyncEventFired(channel);
      const float envelope = track->SyncEnvelope(channel, 0.5f, 4.0f);
      if (std::isfinite(envelope) && envelope < 0.0f) Broken("negative envelope");
    }
  }
  // Later than every time in the file: the show ends unless a finding said
  // it stays in a section until Escape.
  DemoTime = INFINITY;
  const bool ends = track->SyncSection() >= kShowSections;
  const bool saidStays = std::any_of(findings.begin(), findings.end(), [](const std::string& finding) {
    return finding.find("until Escape") != std::string::npos;
  });
  if (ends == saidStays) Broken("the findings and the section cursor disagree on whether the show ends");
  DemoTime = savedTime;
  return findings.empty() ? FuzzVerdict::Decoded : FuzzVerdict::Warned;
}

FuzzEntry FindFuzzEntry(const std::string& target) {
  if (target == "model") return FuzzModel;
  if (target == "tga") return FuzzTGA;
  if (target == "bmp") return FuzzBMP;
  if (target == "jpeg") return FuzzJPEG;
  if (target == "sync") return FuzzSync;
  return nullptr;
}
