// Replays inputs through one fuzz target without a fuzzing engine: first the generated
// seeds, then every file named on the command line or found in a folder named there (the
// kept corpus, or a crash to reproduce). Each input is copied into a buffer of exactly its
// size, so that a sanitizer build catches any read past it. A broken promise aborts.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/binary_file.h"
#include "seeds.h"

#ifndef VELD_FUZZ_TARGET_NAME
#error "VELD_FUZZ_TARGET_NAME names the target that this replay feeds"
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {
namespace fs = std::filesystem;

void Feed(std::string_view bytes) {
  const auto buffer = std::make_unique<uint8_t[]>(bytes.size());
  std::memcpy(buffer.get(), bytes.data(), bytes.size());
  LLVMFuzzerTestOneInput(buffer.get(), bytes.size());
}

std::vector<fs::path> FilesOf(const fs::path& path) {
  std::vector<fs::path> files;
  if (fs::is_directory(path)) {
    for (const fs::directory_entry& entry : fs::directory_iterator(path)) {
      if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
  } else {
    files.push_back(path);
  }
  return files;
}

}  // namespace

int main(int argc, char** argv) {
  size_t replayed = 0;
  for (const veld::fuzz::Seed& seed : veld::fuzz::SeedsFor(VELD_FUZZ_TARGET_NAME)) {
    Feed(seed.bytes);
    ++replayed;
  }
  for (int i = 1; i < argc; ++i) {
    for (const fs::path& file : FilesOf(argv[i])) {
      Feed(veld::BinaryFile::ReadWholeFile(file.string()));
      ++replayed;
    }
  }
  std::printf("%s: %zu inputs replayed\n", VELD_FUZZ_TARGET_NAME, replayed);
  return replayed > 0 ? 0 : 1;
}
