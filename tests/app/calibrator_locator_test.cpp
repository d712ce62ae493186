// Where Connect finds the calibrator: $VELD_DEVICE as given at start, else a volume mounted
// in one of the desktop's mount folders, else the folder the user chose once.

#include <gtest/gtest.h>

#include <filesystem>

#include "app/calibrator_locator.h"
#include "window_fixture.h"

namespace veld::test {
namespace {
namespace fs = std::filesystem;

class CalibratorLocatorTest : public TempRootTest {
 protected:
  std::string Folder(const std::string& relative) {
    const std::string path = temp_.root() + "/" + relative;
    fs::create_directories(path);
    return path;
  }
  // A volume as the calibrator's storage appears when mounted: its root holds Mounted_Volume/VELD.
  std::string Volume(const std::string& relative, const std::string& spelling = "Mounted_Volume/VELD") {
    Folder(relative + "/" + spelling);
    return temp_.root() + "/" + relative;
  }
};

TEST_F(CalibratorLocatorTest, TheEnvironmentThenAMountedVolumeThenTheRememberedFolder) {
  const std::string media = Folder("media/tech");
  const std::string mnt = Folder("mnt");
  Folder("media/tech/USB-STICK/Documents");  // a volume, but not a calibrator's
  const std::string remembered = Volume("chosen");
  CalibratorSearch search{"", {media, mnt}, remembered};
  EXPECT_EQ(FindCalibrator(search), remembered);

  const std::string mounted = Volume("mnt/veld", "MOUNTED_VOLUME/veld");  // letter case aside
  EXPECT_EQ(FindCalibrator(search), mounted);
  // A link in a mount folder is not followed: the volume is not trusted to point elsewhere.
  fs::create_directory_symlink(remembered, media + "/a-link");
  EXPECT_EQ(FindCalibrator(search), mounted);

  search.environment_device = "/given/by/the/user";
  EXPECT_EQ(FindCalibrator(search), "/given/by/the/user");

  fs::remove_all(mounted);
  fs::remove_all(remembered);
  search.environment_device.clear();
  EXPECT_FALSE(FindCalibrator(search));
}

TEST_F(CalibratorLocatorTest, AChosenFolderIsRememberedOnlyWhenItHoldsACalibratorVolume) {
  RecordingPrompter prompter;
  RecordingView view;
  ScriptedPasswordEntry entry;
  RecordingPrinter printer;
  CRapiTestDlg window(view, WindowServices{prompter, entry, printer});
  MemoryFolderStore store;
  const std::string empty = Folder("empty");
  EXPECT_FALSE(window.OnCalibratorFolderChosen(empty, store));
  EXPECT_EQ(prompter.Texts(),
            std::vector<std::string>{empty + " does not hold a calibrator volume: its root has no "
                                             "Mounted_Volume\\VELD folder."});
  EXPECT_EQ(store.folder, "");
  const std::string volume = Volume("calibrator");
  EXPECT_TRUE(window.OnCalibratorFolderChosen(volume, store));
  EXPECT_EQ(store.folder, volume);
  EXPECT_EQ(window.calibrator_search().remembered_folder, volume);
}

}  // namespace
}  // namespace veld::test
