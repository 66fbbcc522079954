// The list of the show's pictures, each with its maker, and the veloria-data
// writer that writes them all at every detail.

#include "tools/generate/picture_art.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

#include "tools/generate/data_files.h"
#include "tools/generate/picture_encode.h"
#include "tools/generate/picture_ops.h"

namespace {

template <int K>
std::vector<uint8_t> RingSprite(int detail) {
  return MakeRingSprite(K, detail);
}

// A maker of a picture without details.
template <std::vector<uint8_t> (*Make)()>
std::vector<uint8_t> DesignedOnly(int) {
  return Make();
}

// One file to write: a picture at one detail.
struct PictureJob {
  const TPictureFile* picture;
  int detail;
};

}  // namespace

const std::vector<TPictureFile>& ShowPictures() {
  static const std::vector<TPictureFile> pictures = {
      {"gfx\\progress.jpg", MakeProgressPicture},
      {"gfx\\logo2.jpg", MakeSmallLogo},
      {"gfx\\flush.jpg", MakeFlushStrip},
      {"gfx\\part.jpg", MakeGlowSprite},
      {"gfx\\map.jpg", DesignedOnly<MakeEnvironmentMap>},
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
      {"gfx\\vantrel.jpg", DesignedOnly<MakeGroupLogoPicture>},
      {"gfx\\veloria.jpg", MakeTitlePicture},
      {"gfx\\author.jpg", DesignedOnly<MakeAuthorPicture>},
      {"gfx\\greets.jpg", DesignedOnly<MakeGreetingsPicture>},
      {"gfx\\end.jpg", DesignedOnly<MakeEndPicture>},
  };
  return pictures;
}

std::vector<uint8_t> EncodePictureJPEG(const TCanvas& canvas, int detail) {
  const int quality = detail == kDesignedDetail ? 92 : detail == 2 ? 90 : 86;
  return EncodeJPEG(ToImage(canvas, false), quality);
}

void WritePictures(const std::filesystem::path& outDir, int largestDetail) {
  // The most detailed first: they take longest, and the small ones then
  // fill in the cores' ends.
  std::vector<PictureJob> jobs;
  for (const TPictureFile& picture : ShowPictures()) {
    for (const int detail : PictureDetails()) {
      if (detail > largestDetail || (detail != kDesignedDetail && !PictureHasDetails(picture.name))) continue;
      jobs.push_back({&picture, detail});
    }
  }
  std::stable_sort(jobs.begin(), jobs.end(), [](const PictureJob& a, const PictureJob& b) { return a.detail > b.detail; });
  std::atomic<size_t> next{0};
  std::mutex failureLock;
  std::exception_ptr failure;
  auto work = [&] {
    for (size_t k = next++; k < jobs.size(); k = next++) {
      try {
        const PictureJob& job = jobs[k];
        WriteDataFile(DataFilePath(outDir, DetailedPictureName(job.picture->name, job.detail)),
                      job.picture->make(job.detail));
      } catch (...) {
        const std::lock_guard<std::mutex> hold(failureLock);
        if (!failure) failure = std::current_exception();
        next = jobs.size();
      }
    }
  };
  // This thread is one of the workers; one the system refuses is done without.
  std::vector<std::thread> workers;
  for (unsigned k = 1; k < std::thread::hardware_concurrency(); ++k) {
    try {
      workers.emplace_back(work);
    } catch (const std::system_error&) {
      break;
    }
  }
  work();
  for (std::thread& worker : workers) worker.join();
  if (failure) std::rethrow_exception(failure);
}
