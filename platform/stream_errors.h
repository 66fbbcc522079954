// The runtime's file and list errors. Nothing in the show catches them: they
// end the program with their message (the program's main shows it).
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// "Cannot open file %s": a file could not be opened for reading.
class EFOpenError : public std::runtime_error {
 public:
  explicit EFOpenError(const std::string& fileName);
};

// "Stream read error": fewer bytes were available than a read required.
class EReadError : public std::runtime_error {
 public:
  EReadError();
};

// "List index out of bounds (%d)": an index outside a list.
class EListError : public std::runtime_error {
 public:
  explicit EListError(int32_t index);
};

// The whole file `fileName` (a show data name: '\' is turned into '/' here).
// Throws EFOpenError naming `fileName` as given when it cannot be read.
std::vector<uint8_t> ReadFileBytes(const std::string& fileName);
