// The demo calibrator volume as veld-demo-volume writes it: byte sizes and contents
// checked against the calibrator's formats, counted by hand.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "platform/byte_stream.h"
#include "process.h"
#include "records/test_results.h"
#include "records/test_results_table.h"
#include "support/temp_root.h"

namespace veld {
namespace {
namespace fs = std::filesystem;

class DemoVolumeTest : public test::TempRootTest {
 protected:
  void SetUp() override {
    const test::ProcessResult made = test::RunProcess(VELD_DEMO_VOLUME, {temp_.device()});
    ASSERT_EQ(made.exit_status, 0) << made.err;
  }
  std::string File(const std::string& relative) const {
    return temp_.device() + "/Mounted_Volume/VELD/" + relative;
  }
  TestResults Read(const std::string& name) const {
    TestResults result;
    TestResultsTable().ReadFile(result, File("TestResults/DAT/" + name));
    return result;
  }
};

TEST_F(DemoVolumeTest, TablesHoldWholeRecordsOfEveryKind) {
  // Two built-in UUTs and six demo UUTs of 568 bytes; six standard profiles and two
  // more of 144 bytes; 33 default settings and two operators of 136 bytes.
  EXPECT_EQ(fs::file_size(File("UUT/UUTTable.DAT")), 8 * 568u);
  EXPECT_EQ(fs::file_size(File("TestProfile/TestProfileTable.DAT")), 8 * 144u);
  EXPECT_EQ(fs::file_size(File("System/SystemDataTable.DAT")), 35 * 136u);
  EXPECT_EQ(test::ReadBytes(File("TestProfile/TestProfileRecCount")), std::string("\x08\0\0\0", 4));

  const std::string custom = test::ReadBytes(File("TestProfile/Custom-4_Custom.DAT"));
  ASSERT_EQ(custom.size(), 32u);
  ByteReader points(custom, "custom");
  for (double expected : {0.0, 0.25, 0.75, 1.0}) EXPECT_EQ(points.F64(), expected);

  const std::string settings = test::ReadBytes(File("System/SystemDataTable.DAT"));
  // Record 34 is the administrator: key "OperatorChief" as 16-bit characters.
  EXPECT_EQ(settings.compare(33 * 136, 6, "\xFF\xFE\xFF\x20O\0", 6), 0);
}

TEST_F(DemoVolumeTest, ResultFilesCoverEveryFormAndKindOfTest) {
  // Header 388 bytes, 16 bytes a point (24 for "Custom"), trailer 28; then per form the
  // operator texts "OP1234" and "calib" (4 + 2N each), the instrument section (12 + 4
  // + texts "PM-20417", "VELD-00931"), the UUT extension (292), the module date (12 + 4).
  const size_t operator_section = (4 + 12) + (4 + 10);
  const size_t instrument_section = 12 + 4 + (4 + 16) + (4 + 20);
  struct Form {
    const char* name;
    size_t size;
  };
  for (const Form& form : {
           Form{"DG-3001_0001.DAT", 388 + 3 * 16 + 28},
           Form{"TX-2002_0001.DAT", 388 + 4 * 24 + 28 + operator_section},
           Form{"PT-1002_0001.DAT", 388 + 7 * 16 + 28 + operator_section + instrument_section},
           Form{"TX-2001_0001.DAT", 388 + 5 * 16 + 28 + operator_section + instrument_section + 292},
           Form{"PT-1001_0001.DAT", 388 + 5 * 16 + 28 + operator_section + instrument_section + 292 + 16},
       }) {
    EXPECT_EQ(fs::file_size(File(std::string("TestResults/DAT/") + form.name)), form.size) << form.name;
  }

  const TestResults found = Read("PT-1001_0001.DAT");
  const TestResults left = Read("PT-1001_0002.DAT");
  EXPECT_TRUE(found.AsFound);
  EXPECT_FALSE(left.AsFound);
  EXPECT_NEAR(left.DateTimeTested.Value() - found.DateTimeTested.Value(), 1.5 / 24, 1e-9);  // 90 minutes
  EXPECT_TRUE(OverallPass(found) && OverallPass(left));

  const TestResults failing = Read("TX-2001_0001.DAT");
  EXPECT_FALSE(OverallPass(failing));
  EXPECT_EQ(failing.PassFailText[2], "F");  // point 3 is 0.61 %FS off, beyond 0.25
  EXPECT_TRUE(OverallPass(Read("TX-2001_0002.DAT")));

  const TestResults leak = Read("PT-1002_0001.DAT");
  EXPECT_TRUE(leak.Profile.LeakTest);
  EXPECT_EQ(leak.Profile.ProfileType, "Both");
  EXPECT_TRUE(OverallPass(leak));

  const TestResults custom = Read("TX-2002_0001.DAT");
  EXPECT_EQ(custom.Profile.ProfileType, "Custom");
  EXPECT_EQ(custom.Profile.CustomPoints, (std::vector<double>{0.0, 0.25, 0.75, 1.0}));
}

}  // namespace
}  // namespace veld
