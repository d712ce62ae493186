// veld_fuzz_seeds OUT_DIR [TARGET...]: writes the seeds of every target (or of those named)
// into OUT_DIR/TARGET/, one file per seed.

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "platform/binary_file.h"
#include "seeds.h"

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  using namespace veld::fuzz;
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUT_DIR [TARGET...]\n", argv[0]);
    return 2;
  }
  std::vector<std::string> targets(argv + 2, argv + argc);
  if (targets.empty()) targets = TargetNames();
  try {
    for (const std::string& target : targets) {
      const std::vector<Seed> seeds = SeedsFor(target);
      if (seeds.empty()) {
        std::fprintf(stderr, "no such target: %s\n", target.c_str());
        return 2;
      }
      const fs::path folder = fs::path(argv[1]) / target;
      fs::create_directories(folder);
      for (const Seed& seed : seeds) {
        veld::BinaryFile file((folder / seed.name).string(), veld::BinaryFile::Mode::Create);
        file.Write(seed.bytes);
      }
      std::printf("%-20s %zu seeds\n", target.c_str(), seeds.size());
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "cannot write the seeds: %s\n", error.what());
    return 1;
  }
  return 0;
}
