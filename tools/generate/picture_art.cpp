// The list of the show's pictures, each with its maker, and the veloria-data
// writer that writes them all.

#include "tools/generate/picture_art.h"

#include "tools/generate/data_files.h"

namespace {

template <int K>
std::vector<uint8_t> RingSprite() {
  return MakeRingSprite(K);
}

}  // namespace

const std::vector<TPictureFile>& ShowPictures() {
  static const std::vector<TPictureFile> pictures = {
      {"gfx\\progress.jpg", MakeProgressPicture},
      {"gfx\\logo2.jpg", MakeSmallLogo},
      {"gfx\\flush.jpg", MakeFlushStrip},
      {"gfx\\part.jpg", MakeGlowSprite},
      {"gfx\\map.jpg", MakeEnvironmentMap},
      {"gfx\\backscroll.jpg", MakeBackScroll},
      {"gfx\\overlay.tga", MakeFrameOverlay},
      {"gfx\\heart.jpg", MakeHeartSurface},
      {"gfx\\love\\1.jpg", RingSprite<1>},
      {"gfx\\love\\2.jpg", RingSprite<2>},
      {"gfx\\love\\3.jpg", RingSprite<3>},
      {"gfx\\love\\4.jpg", RingSprite<4>},
      {"gfx\\love\\5.jpg", RingSprite<5>},
      {"gfx\\love\\6.jpg", RingSprite<6>},
      {"gfx\\love\\7.jpg", RingSprite<7>},
      {"gfx\\love\\8.jpg", RingSprite<8>},
      {"gfx\\vantrel.jpg", MakeGroupLogoPicture},
      {"gfx\\veloria.jpg", MakeTitlePicture},
      {"gfx\\author.jpg", MakeAuthorPicture},
      {"gfx\\greets.jpg", MakeGreetingsPicture},
      {"gfx\\end.jpg", MakeEndPicture},
  };
  return pictures;
}

void WritePictures(const std::filesystem::path& outDir) {
  for (const TPictureFile& picture : ShowPictures()) {
    WriteDataFile(DataFilePath(outDir, picture.name), picture.make());
  }
}
