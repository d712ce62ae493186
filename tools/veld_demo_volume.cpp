// veld-demo-volume OUT_DEVICE_DIR: writes the demo calibrator volume under
// OUT_DEVICE_DIR/Mounted_Volume/VELD, ready to be served as $VELD_DEVICE.

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>

#include "support/demo_volume.h"

namespace {

// A scratch folder for the tables' own database, removed however the run ends.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "veld-demo-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create a scratch folder");
    path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 || std::string(argv[1]).empty() || argv[1][0] == '-') {
    std::fputs("usage: veld-demo-volume OUT_DEVICE_DIR\n"
               "Writes a demo calibrator volume (tables, custom profile, settings with operators,\n"
               "result files) under OUT_DEVICE_DIR/Mounted_Volume/VELD.\n",
               stderr);
    return 2;
  }
  try {
    ScratchFolder scratch;
    std::filesystem::create_directories(argv[1]);
    veld::demo::WriteDemoVolume(argv[1], scratch.path());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "veld-demo-volume: %s\n", error.what());
    return 1;
  }
  return 0;
}
