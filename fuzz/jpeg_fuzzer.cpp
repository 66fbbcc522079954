// libFuzzer target: the jpeg reader through its shared fuzz entry point.

#include "fuzz/fuzz_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzJPEG(data, size);
  return 0;
}
