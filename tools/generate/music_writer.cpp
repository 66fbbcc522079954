// Writing the soundtrack: one score, rendered to MP3 and read off as the
// sync track, so the scenes pulse exactly on the beats one hears.

#include "tools/generate/music_writer.h"

#include "core/sync_file.h"
#include "tools/generate/data_files.h"
#include "tools/generate/mp3_encoder.h"
#include "tools/synth/render.h"
#include "tools/synth/score.h"

void WriteMusic(const std::filesystem::path& outDir) {
  const Score& score = ShowScore();
  WriteDataFile(DataFilePath(outDir, "music\\sync.snc"), EncodeSyncFile(ScoreSyncLists(score)));
  WriteDataFile(DataFilePath(outDir, "music\\test01.mp3"), EncodeMp3(RenderScore(score)));
}
