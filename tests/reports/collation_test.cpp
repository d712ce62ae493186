#include <gtest/gtest.h>

#include "database/database.h"
#include "reports/collation.h"
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

class RecordingPrinter : public CertificatePrinter {
 public:
  void PrintCertificate(const TestResults& as_found, const TestResults& as_left, double factor) override {
    ++prints;
    found_points = as_found.Profile.NumberOfPoints;
    left_points = as_left.Profile.NumberOfPoints;
    found_tested = as_found.DateTimeTested.Value();
    left_tested = as_left.DateTimeTested.Value();
    pressure_factor = factor;
  }
  int prints = 0;
  int found_points = -1, left_points = -1;
  double found_tested = 0, left_tested = 0, pressure_factor = 0;
};

class NoEntry : public PasswordEntry {
 public:
  bool Run(const std::string&, Operator& op) override {
    ++runs;
    op.Name = "Ann";
    op.Password = "pw";
    return answer;
  }
  int runs = 0;
  bool answer = false;
};

class CollationTest : public test::TempRootTest {
 protected:
  CollationTest() : pc_(prompter_) {
    pc_.SetDevice(0);
    pc_.SetSystemData(&settings_);
    pc_.Open();
  }

  // Writes an As Found or As Left result of UUT "PT-1001" tested at a given time.
  SelectedResult Add(const std::string& name, bool as_found, OleDateTime tested,
                     void (*change)(test::ResultFileDescription&) = nullptr) {
    test::ResultFileDescription spec = test::DefaultResultFileDescription();
    spec.as_found = as_found;
    spec.date_tested = tested;
    if (change) change(spec);
    test::WriteResultFile(temp_.root() + "/VELD/PC/TestResults/" + name, spec);
    return {as_found ? "As Found" : "As Left", name};
  }

  PrintOutcome Collate(const std::vector<SelectedResult>& rows) {
    return CollateAndPrint(pc_, rows, records_, prompter_, printer_);
  }

  // The one message shown, or "" when none.
  std::string Shown() const { return prompter_.entries.empty() ? "" : prompter_.entries.back().text; }

  test::RecordingPrompter prompter_;
  SystemData settings_;
  CDataBaseX pc_;
  CollationRecords records_;
  RecordingPrinter printer_;
};

OleDateTime At(int day, int hour, int minute) { return OleDateTime(2011, 3, day, hour, minute, 0); }

TEST_F(CollationTest, PairWithinTheDayPrintsInEitherRowOrder) {
  const SelectedResult found = Add("PT-1001_1.DAT", true, At(7, 8, 0));
  const SelectedResult left = Add("PT-1001_2.DAT", false, At(7, 9, 30));
  EXPECT_EQ(Collate({found, left}), PrintOutcome::Printed);
  const double found_tested = printer_.found_tested, left_tested = printer_.left_tested;
  EXPECT_EQ(Collate({left, found}), PrintOutcome::Printed);
  EXPECT_EQ(printer_.prints, 2);
  EXPECT_EQ(printer_.found_tested, found_tested);
  EXPECT_EQ(printer_.left_tested, left_tested);
  EXPECT_LT(found_tested, left_tested);
  EXPECT_DOUBLE_EQ(printer_.pressure_factor, 1.0);  // the As Found UUT's unit, "Pa"
  EXPECT_TRUE(prompter_.entries.empty());
}

struct IntervalCase {
  int left_day, left_hour, left_minute;
  bool prints;
};

class CollationIntervalTest : public CollationTest, public ::testing::WithParamInterface<IntervalCase> {};

TEST_P(CollationIntervalTest, WholeHoursAboveTwentyFourRefuse) {
  const IntervalCase c = GetParam();
  const SelectedResult found = Add("PT-1001_1.DAT", true, At(7, 8, 0));
  const SelectedResult left = Add("PT-1001_2.DAT", false, At(c.left_day, c.left_hour, c.left_minute));
  EXPECT_EQ(Collate({found, left}), c.prints ? PrintOutcome::Printed : PrintOutcome::Refused);
  EXPECT_EQ(Shown(), c.prints ? "" : std::string(kDayLine) + kRefusal);
}

INSTANTIATE_TEST_SUITE_P(Intervals, CollationIntervalTest,
                         ::testing::Values(IntervalCase{8, 8, 0, true},     // exactly 24 hours
                                           IntervalCase{8, 8, 59, true},    // 24 h 59 min: whole hours 24
                                           IntervalCase{8, 9, 0, false},    // 25 hours
                                           IntervalCase{9, 8, 0, false}));  // two days

TEST_F(CollationTest, AsFoundAfterAsLeftShowsOnlyTheOrderLine) {
  const SelectedResult found = Add("PT-1001_1.DAT", true, At(7, 9, 0));
  const SelectedResult left = Add("PT-1001_2.DAT", false, At(7, 8, 0));
  EXPECT_EQ(Collate({found, left}), PrintOutcome::Refused);
  EXPECT_EQ(Shown(), std::string(kLaterLine) + kRefusal);
  EXPECT_EQ(printer_.prints, 0);
}

TEST_F(CollationTest, EachMismatchAddsItsOwnLine) {
  const SelectedResult found = Add("PT-1001_1.DAT", true, At(7, 8, 0));
  const SelectedResult left_unit =
      Add("PT-1001_2.DAT", false, At(7, 9, 0), [](test::ResultFileDescription& s) { s.uut.OutputUnits = "VDC"; });
  EXPECT_EQ(Collate({found, left_unit}), PrintOutcome::Refused);
  EXPECT_EQ(Shown(), std::string(kUUTLine) + kRefusal);

  const SelectedResult left_leak =
      Add("PT-1001_3.DAT", false, At(7, 9, 0), [](test::ResultFileDescription& s) { s.leak_test = true; });
  EXPECT_EQ(Collate({found, left_leak}), PrintOutcome::Refused);
  EXPECT_EQ(Shown(), std::string(kProfileLine) + kRefusal);

  const SelectedResult left_all = Add("PT-1001_4.DAT", false, At(6, 9, 0), [](test::ResultFileDescription& s) {
    s.uut.ID = "OTHER";
    s.profile_id = "other";
  });
  EXPECT_EQ(Collate({left_all, found}), PrintOutcome::Refused);
  EXPECT_EQ(Shown(), std::string(kUUTLine) + kProfileLine + kLaterLine + kRefusal);
}

TEST_F(CollationTest, SelectionMessages) {
  const SelectedResult a = Add("PT-1001_1.DAT", true, At(7, 8, 0));
  const SelectedResult b = Add("PT-1001_2.DAT", true, At(7, 9, 0));
  EXPECT_EQ(Collate({}), PrintOutcome::Refused);
  EXPECT_EQ(Shown(),
            "Please select test results from list for collation into calibration report.  Please select 2 test "
            "results only.");
  EXPECT_EQ(prompter_.entries.back().icon, MessageIcon::Exclamation);
  EXPECT_EQ(Collate({a, b, a}), PrintOutcome::Refused);
  EXPECT_EQ(Shown(),
            "Too many test results selected for collation into calibration report.  Please select 2 test results "
            "only.");
  EXPECT_EQ(Collate({a, b}), PrintOutcome::Refused);
  EXPECT_EQ(Shown(), std::string("Test Results selected for printing are both As Found\r\n") + kRefusal);
  EXPECT_EQ(printer_.prints, 0);
}

TEST_F(CollationTest, OneResultPrintsAloneWithTheOtherSideEmpty) {
  const SelectedResult left = Add("PT-1001_2.DAT", false, At(7, 9, 30));
  EXPECT_EQ(Collate({left}), PrintOutcome::Printed);
  EXPECT_EQ(printer_.found_points, 0);
  EXPECT_EQ(printer_.left_points, 5);
  const SelectedResult found = Add("PT-1001_1.DAT", true, At(20, 9, 30));  // no checks for one row
  EXPECT_EQ(Collate({found}), PrintOutcome::Printed);
  EXPECT_EQ(printer_.found_points, 5);
  EXPECT_EQ(printer_.left_points, 0);
}

TEST_F(CollationTest, PrintButtonProtectsPrintingIn21CFRMode) {
  const SelectedResult found = Add("PT-1001_1.DAT", true, At(7, 8, 0));
  NoEntry entry;
  EXPECT_EQ(PrintButton(settings_, pc_, entry, {found}, records_, prompter_, printer_), PrintOutcome::Printed);
  EXPECT_EQ(entry.runs, 0);

  settings_.CFRCompliantMode = true;
  EXPECT_EQ(PrintButton(settings_, pc_, entry, {found}, records_, prompter_, printer_), PrintOutcome::NotAllowed);
  EXPECT_EQ(entry.runs, 1);  // cancelled: nothing counted
  EXPECT_EQ(pc_.GetSettingValue("FailedPWAttemptCount"), "00000000000000000000000000000000");

  entry.answer = true;  // no operator "Ann": a failed check
  EXPECT_EQ(PrintButton(settings_, pc_, entry, {found}, records_, prompter_, printer_), PrintOutcome::NotAllowed);
  EXPECT_EQ(pc_.GetSettingValue("FailedPWAttemptCount"), "1");

  pc_.SetSetting("OperatorAnn", "Ann     B77     pw      0101Y");
  EXPECT_EQ(PrintButton(settings_, pc_, entry, {found}, records_, prompter_, printer_), PrintOutcome::Printed);
  EXPECT_EQ(printer_.prints, 2);

  settings_.LockedOut = true;
  EXPECT_EQ(PrintButton(settings_, pc_, entry, {found}, records_, prompter_, printer_), PrintOutcome::NotAllowed);
  EXPECT_EQ(entry.runs, 3);  // no check while locked out
}

}  // namespace
}  // namespace veld
