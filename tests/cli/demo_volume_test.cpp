// The demo calibrator volume as veld-demo-volume writes it: byte sizes and contents
// checked against the calibrator's formats, counted by hand. The command-line tests read
// the rest of it (every table, the result pairs, the failing As Found).

#include <gtest/gtest.h>

#include <filesystem>

#include "process.h"
#include "records/test_results_table.h"
#include "support/temp_root.h"

namespace veld {
namespace {

class DemoVolumeTest : public test::TempRootTest {
 protected:
  std::string File(const std::string& relative) const { return temp_.device() + "/Mounted_Volume/VELD/" + relative; }
};

TEST_F(DemoVolumeTest, HoldsOperatorsAndResultFilesOfEveryFormAndKind) {
  ASSERT_EQ(test::RunProcess(VELD_DEMO_VOLUME, {temp_.device()}).exit_status, 0);
  // 33 default settings and two operators of 136 bytes; record 34 has the key "OperatorChief".
  const std::string settings = test::ReadBytes(File("System/SystemDataTable.DAT"));
  ASSERT_EQ(settings.size(), 35 * 136u);
  EXPECT_EQ(settings.compare(33 * 136, 6, "\xFF\xFE\xFF\x20O\0", 6), 0);
  EXPECT_EQ(test::ReadBytes(File("TestProfile/TestProfileRecCount")), std::string("\x08\0\0\0", 4));
  // Header 388 bytes, 16 bytes a point (24 for "Custom"), trailer 28; then per form the
  // operator texts "OP1234" and "calib" (4 + 2N each), the instrument section (12 + 4
  // + texts "PM-20417", "VELD-00931"), the UUT extension (292), the module date (12 + 4).
  const size_t op = (4 + 12) + (4 + 10), instrument = 12 + 4 + (4 + 16) + (4 + 20);
  for (const auto& [name, size] : {std::pair{"DG-3001_0001.DAT", 388 + 3 * 16 + 28},
                                   {"TX-2002_0001.DAT", 388 + 4 * 24 + 28 + op},
                                   {"PT-1002_0001.DAT", 388 + 7 * 16 + 28 + op + instrument},
                                   {"TX-2001_0001.DAT", 388 + 5 * 16 + 28 + op + instrument + 292},
                                   {"PT-1001_0001.DAT", 388 + 5 * 16 + 28 + op + instrument + 292 + 16}}) {
    EXPECT_EQ(std::filesystem::file_size(File(std::string("TestResults/DAT/") + name)), size) << name;
  }
  TestResults leak, custom;
  TestResultsTable().ReadFile(leak, File("TestResults/DAT/PT-1002_0001.DAT"));
  TestResultsTable().ReadFile(custom, File("TestResults/DAT/TX-2002_0001.DAT"));
  EXPECT_TRUE(leak.Profile.LeakTest && leak.Profile.ProfileType == "Both" && OverallPass(leak));
  EXPECT_EQ(custom.Profile.ProfileType, "Custom");
  EXPECT_EQ(custom.Profile.CustomPoints, (std::vector<double>{0.0, 0.25, 0.75, 1.0}));
}

}  // namespace
}  // namespace veld
