// The music and its sync track, both made from the show's score.
#pragma once

#include <filesystem>

// Renders the score and writes "music\test01.mp3" and "music\sync.snc" below
// `outDir`. Throws std::runtime_error naming the file when it cannot.
void WriteMusic(const std::filesystem::path& outDir);
