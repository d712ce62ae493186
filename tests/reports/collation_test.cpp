#include "reports/collation.h"

#include <gtest/gtest.h>

#include <functional>

#include "database/database.h"
#include "database/results_index.h"
#include "platform/format.h"
#include "support/recording_prompter.h"
#include "support/result_file_writer.h"
#include "support/temp_root.h"

namespace veld {
namespace {

constexpr const char* kRefusal = "Cannot collate into a valid report!";
constexpr const char* kLaterLine = "Date/Time tested of AsFound file occurs after Date/Time tested of AsLeft file.\r\n";
constexpr const char* kDayLine =
    "Date/Time tested of AsLeft file occurs more than 24 hours after Date/Time tested of AsFound file.\r\n";
constexpr const char* kUUTLine = "Unit Under Test profiles do not match for these test results.\r\n";
constexpr const char* kProfileLine = "Test profiles do not match for these test results.\r\n";

// Records each certificate as "points@day hour:minute" of each side and the pressure factor.
class RecordingPrinter : public CertificatePrinter {
 public:
  void PrintCertificate(const TestResults& as_found, const TestResults& as_left, double factor) override {
    const auto side = [](const TestResults& result) {
      const OleDateTime& tested = result.DateTimeTested;
      return Format("%d@%d %d:%02d", result.Profile.NumberOfPoints, tested.GetDay(), tested.GetHour(),
                    tested.GetMinute());
    };
    printed.push_back(side(as_found) + " / " + side(as_left) + Format(" x%g", factor));
  }
  std::vector<std::string> printed;
};

OleDateTime At(int day, int hour, int minute) { return OleDateTime(2011, 3, day, hour, minute, 0); }

class CollationTest : public test::TempRootTest {
 protected:
  CollationTest() : pc_(prompter_) {
    pc_.SetDevice(DatabaseSide::PC);
    pc_.SetSystemData(settings_);
    pc_.Open();
  }

  // Writes a result of the default UUT "PT-1001" tested at a given time.
  SelectedResult Add(const std::string& name, bool as_found, OleDateTime tested,
                     const std::function<void(test::ResultFileDescription&)>& change = {}) {
    test::ResultFileDescription description = test::DefaultResultFileDescription();
    description.as_found = as_found;
    description.date_tested = tested;
    if (change) change(description);
    test::WriteResultFile(temp_.root() + "/VELD/PC/TestResults/" + name, description);
    return {as_found ? "As Found" : "As Left", name};
  }
  PrintOutcome Collate(const std::vector<SelectedResult>& rows) {
    return CollateAndPrint(pc_, rows, records_, prompter_, printer_);
  }
  // The last message shown, or "" when none.
  std::string Shown() const { return prompter_.entries.empty() ? "" : prompter_.entries.back().text; }

  test::RecordingPrompter prompter_;
  SystemData settings_;
  CDataBaseX pc_;
  CollationRecords records_;
  RecordingPrinter printer_;
};

TEST_F(CollationTest, APairWithinTheDayPrintsInEitherRowOrderAndOneResultPrintsAlone) {
  const SelectedResult found = Add("PT-1001_1.DAT", true, At(7, 8, 0));
  const SelectedResult left = Add("PT-1001_2.DAT", false, At(7, 9, 30));
  const SelectedResult next_day = Add("PT-1001_3.DAT", false, At(8, 8, 59));  // whole hours: 24
  for (const std::vector<SelectedResult>& rows :
       {std::vector{left, found}, {found, left}, {found, next_day}, {left}, {found}}) {
    EXPECT_EQ(Collate(rows), PrintOutcome::Printed);
  }
  // The pressure factor is that of the As Found UUT's unit, "Pa"; one row is not checked.
  EXPECT_EQ(printer_.printed, (std::vector<std::string>{"5@7 8:00 / 5@7 9:30 x1", "5@7 8:00 / 5@7 9:30 x1",
                                                        "5@7 8:00 / 5@8 8:59 x1", "0@7 9:30 / 5@7 9:30 x1",
                                                        "5@7 8:00 / 0@7 8:00 x1"}));
  EXPECT_TRUE(prompter_.entries.empty());
}

TEST_F(CollationTest, ARefusalNamesTheSelectionOrEveryCheckThatFailed) {
  const SelectedResult found = Add("PT-1001_1.DAT", true, At(7, 8, 0));
  const SelectedResult found_too = Add("PT-1001_2.DAT", true, At(7, 9, 0));
  const SelectedResult earlier = Add("PT-1001_3.DAT", false, At(7, 7, 0));
  const SelectedResult day_later = Add("PT-1001_4.DAT", false, At(8, 9, 0));
  const SelectedResult volts = Add("PT-1001_5.DAT", false, At(7, 9, 0), [](auto& d) { d.uut.OutputUnits = "VDC"; });
  const SelectedResult leak = Add("PT-1001_6.DAT", false, At(7, 9, 0), [](auto& d) { d.leak_test = true; });
  const SelectedResult other = Add("PT-1001_7.DAT", false, At(6, 9, 0), [](auto& d) {
    d.uut.ID = "OTHER";
    d.profile_id = "other";
  });
  Collate({});
  EXPECT_EQ(prompter_.entries.at(0).icon, MessageIcon::Exclamation);
  const std::string refusal = kRefusal;
  for (const auto& [rows, shown] : std::vector<std::pair<std::vector<SelectedResult>, std::string>>{
           {{}, "Please select test results from list for collation into calibration report.  Please select 2 "
                "test results only."},
           {{found, found_too, found},
            "Too many test results selected for collation into calibration report.  Please select 2 test results "
            "only."},
           {{found, found_too}, "Test Results selected for printing are both As Found\r\n" + refusal},
           {{found, earlier}, kLaterLine + refusal},
           {{found, day_later}, kDayLine + refusal},
           {{found, volts}, kUUTLine + refusal},
           {{found, leak}, kProfileLine + refusal},
           {{other, found}, std::string(kUUTLine) + kProfileLine + kLaterLine + refusal}}) {
    prompter_.entries.clear();
    EXPECT_EQ(Collate(rows), PrintOutcome::Refused);
    EXPECT_EQ(prompter_.Texts(), std::vector<std::string>{shown});
  }
  EXPECT_TRUE(printer_.printed.empty());
}

// A file of 0 to 3 bytes gives nothing to read; printing the record's default or earlier
// values would certify a test that was never read.
TEST_F(CollationTest, AResultFileThatGivesNothingIsRefusedByName) {
  const SelectedResult found = Add("PT-1001_1.DAT", true, At(7, 8, 0));
  const SelectedResult left = Add("PT-1001_2.DAT", false, At(7, 9, 30));
  EXPECT_EQ(Collate({found, left}), PrintOutcome::Printed);  // the records now hold a good pair
  for (const std::string bytes : {"", "\x01\x02\x03"}) {
    test::WriteBytes(temp_.root() + "/VELD/PC/TestResults/PT-1001_2.DAT", bytes);
    const std::string message =
        "No test result could be read from " + temp_.root() + "/VELD/PC/TestResults/PT-1001_2.DAT.";
    for (const std::vector<SelectedResult>& rows : {std::vector{left}, {found, left}, {left, found}}) {
      prompter_.entries.clear();
      EXPECT_EQ(Collate(rows), PrintOutcome::Refused);
      EXPECT_EQ(prompter_.Texts(), std::vector<std::string>{message});
    }
  }
  EXPECT_EQ(printer_.printed.size(), 1u);
}

}  // namespace
}  // namespace veld
