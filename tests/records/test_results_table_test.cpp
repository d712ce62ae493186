#include "records/test_results_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "platform/byte_stream.h"
#include "platform/file_error.h"
#include "records/fixed_string.h"
#include "support/result_file_writer.h"
#include "support/temp_root.h"

namespace veld {
namespace {

using test::BuildResultFile;
using test::DefaultResultFileDescription;
using test::ResultFileForm;
using test::ResultFileDescription;

// A record that has already held another result, so that kept fields are recognisable.
TestResults EarlierResult() {
  TestResults earlier;
  earlier.Op.ID = "OLDOP";
  earlier.Op.Password = "oldpw";
  earlier.CalibratorCalDate = OleDateTime(2001, 1, 1, 0, 0, 0);
  earlier.ReferenceLocation = 77;
  earlier.ModuleSerialNumber = "OLDMOD";
  earlier.CalibratorSerialNumber = "OLDCAL";
  earlier.Uut.ID = "OLD-UUT";
  earlier.Uut.ReCalAccuracy = 9.5;
  earlier.Uut.SystemVolume = 99.0;
  earlier.Uut.SerialNumber = "OLDSN";
  earlier.Uut.PartNumber = "OLDPN";
  earlier.Uut.Model = "OLDMODEL";
  earlier.Uut.Manufacturer = "OLDMAKER";
  earlier.ModuleCalDate = OleDateTime(2002, 2, 2, 0, 0, 0);
  earlier.SpareText = "OLDSPARE";
  earlier.Profile.CustomPoints = {9.0, 9.0, 9.0, 9.0, 9.0};
  earlier.PointNumberText = {"1"};
  earlier.PassFailText = {"P"};
  earlier.ErrorFS = {0.0};
  return earlier;
}

// The worked example: -0.25 to 0.25 "Pa" giving 4 to 20 mA, accuracy 1.0 %FS, 3 points.
ResultFileDescription WorkedExample() {
  ResultFileDescription desc;
  desc.form = ResultFileForm::Trailer;
  desc.profile_id = "3pointtest";
  desc.profile_type = "Ascending";
  desc.uut.ID = "UUT-7";
  desc.uut.InputUnits = "Pa";
  desc.uut.Accuracy = 1.0;
  desc.points = {{-0.2499, 4.0100}, {0.0010, 12.2000}, {0.2500, 19.9000}};
  return desc;
}

class TestResultsFileTest : public test::TempRootTest {
 protected:
  std::string Path() const { return temp_.root() + "/PT-1001_0001.DAT"; }

  void Read(const std::string& bytes, TestResults& results) {
    test::WriteBytes(Path(), bytes);
    table_.ReadFile(results, Path());
  }
  void Read(const ResultFileDescription& desc, TestResults& results) { Read(BuildResultFile(desc), results); }

  TestResultsTable table_;
};

std::vector<std::string> Row(const TestResults& r, size_t i) {
  return {r.PointNumberText[i],    r.TargetPressureText[i], r.TargetOutputText[i], r.ActualPressureText[i],
          r.ActualOutputText[i],   r.PassFailText[i],       r.ErrorText[i]};
}

// --- Forms: each later form appends one section; absent sections keep earlier values.

struct FormCase {
  ResultFileForm form;
  size_t length;  // by hand: 388 + 5 x 16 + 28, then +30, +60, +292, +16
};

class ResultFileForms : public TestResultsFileTest, public ::testing::WithParamInterface<FormCase> {};

TEST_P(ResultFileForms, FillsPresentSectionsAndKeepsTheRest) {
  ResultFileDescription desc = DefaultResultFileDescription();
  desc.form = GetParam().form;
  const std::string bytes = BuildResultFile(desc);
  ASSERT_EQ(bytes.size(), GetParam().length);

  TestResults results = EarlierResult();
  Read(bytes, results);
  const auto has = [&](ResultFileForm section) { return desc.form >= section; };

  EXPECT_EQ(results.Uut.ID, "PT-1001");
  EXPECT_EQ(results.Profile.ID, "5pointtest");
  EXPECT_EQ(results.RowCount(), 5u);
  EXPECT_EQ(results.DateTimeTested.Value(), desc.date_tested.Value());
  EXPECT_TRUE(results.AsFound);

  EXPECT_EQ(results.Op.ID, has(ResultFileForm::Operator) ? "OP1234" : "OLDOP");
  EXPECT_EQ(results.Op.Password, has(ResultFileForm::Operator) ? "calib" : "oldpw");

  const bool instrument = has(ResultFileForm::Instrument);
  EXPECT_EQ(results.CalibratorCalDate.Value(), (instrument ? desc.calibrator_cal_date : EarlierResult().CalibratorCalDate).Value());
  EXPECT_EQ(results.ReferenceLocation, instrument ? 1 : 77);
  EXPECT_EQ(results.ModuleSerialNumber, instrument ? "PM-20417" : "OLDMOD");
  EXPECT_EQ(results.CalibratorSerialNumber, instrument ? "VELD-00931" : "OLDCAL");

  const bool extension = has(ResultFileForm::UutExtension);
  EXPECT_EQ(results.Uut.ReCalAccuracy, extension ? 0.5 : 9.5);
  EXPECT_EQ(results.Uut.SystemVolume, extension ? 64.0 : 99.0);
  EXPECT_EQ(results.Uut.SerialNumber, extension ? "SN-48213" : "OLDSN");
  EXPECT_EQ(results.Uut.PartNumber, extension ? "DPT-250PA-C" : "OLDPN");
  EXPECT_EQ(results.Uut.Model, extension ? "DPT250" : "OLDMODEL");
  EXPECT_EQ(results.Uut.Manufacturer, extension ? "Example Sensors" : "OLDMAKER");

  const bool module = has(ResultFileForm::ModuleDate);
  EXPECT_EQ(results.ModuleCalDate.Value(), (module ? desc.module_cal_date : EarlierResult().ModuleCalDate).Value());
  EXPECT_EQ(results.SpareText, module ? "" : "OLDSPARE");
}

INSTANTIATE_TEST_SUITE_P(EveryForm, ResultFileForms,
                         ::testing::Values(FormCase{ResultFileForm::Trailer, 496}, FormCase{ResultFileForm::Operator, 526},
                                           FormCase{ResultFileForm::Instrument, 586},
                                           FormCase{ResultFileForm::UutExtension, 878},
                                           FormCase{ResultFileForm::ModuleDate, 894}));

// --- Header fields and text rules.

TEST_F(TestResultsFileTest, HeaderFieldsGoToUutAndProfile) {
  ResultFileDescription desc = DefaultResultFileDescription();
  desc.leak_test = true;
  desc.uut.SetOutputType("4WIR");
  desc.uut.SetOutputUnits("mA");  // the stored unit replaces the one the type derives
  desc.uut.ID = "AB\xE9" "CD";    // trimmed at the first character above 127
  desc.uut.Manufacturer = "Caf\xE9";  // extension texts end only at a NUL
  desc.uut.LevelNames = {"L1", "", "L3", "", "LEVEL5"};
  TestResults results;
  Read(desc, results);

  EXPECT_TRUE(results.Profile.LeakTest);
  EXPECT_EQ(results.Profile.ProfileType, "Ascending");
  EXPECT_EQ(results.Profile.NumberOfPoints, 5);
  EXPECT_EQ(results.Uut.OutputType, "4WIR");
  EXPECT_EQ(results.Uut.OutputUnits, "mA");
  EXPECT_EQ(results.Uut.ID, "AB");
  EXPECT_EQ(results.Uut.Manufacturer, "Caf\xE9");
  EXPECT_EQ(results.Uut.LevelNames, desc.uut.LevelNames);
  EXPECT_EQ(results.Uut.Excitation, 24.0);
  EXPECT_EQ(results.Uut.SettlingTime, 5000);
  EXPECT_EQ(results.Uut.Accuracy, 0.25);
  EXPECT_EQ(results.Uut.DefaultTestProfile, "5pointtest");
  EXPECT_EQ(results.Uut.CalibrationDueDate.Value(), desc.uut.CalibrationDueDate.Value());
  EXPECT_EQ(results.Uut.InputUnits, "Pa");
  EXPECT_EQ(results.Uut.InputOffset, -250.0);
  EXPECT_EQ(results.Uut.InputSpan, 500.0);
  EXPECT_EQ(results.Uut.OutputOffset, 4.0);
  EXPECT_EQ(results.Uut.OutputSpan, 16.0);
}

TEST_F(TestResultsFileTest, ShortTextTakesEveryNonZeroByte) {
  ResultFileDescription desc = DefaultResultFileDescription();
  desc.form = ResultFileForm::Trailer;
  // Units 0x4142 and 'C': both bytes of the first are characters, low byte first.
  const std::string id = std::string("\xFF\xFE\xFF\x02", 4) + "BA" + std::string("C\0", 2);
  const std::string password = std::string("\xFF\xFE\xFF\x00", 4);
  TestResults results;
  Read(BuildResultFile(desc) + id + password, results);
  EXPECT_EQ(results.Op.ID, "BAC");
  EXPECT_EQ(results.Op.Password, "");
}

// The sections are placed by a count that assumes the calibrator's 388-byte header; a
// narrower header makes the count pass the file's length right after the trailer, and
// what follows is taken as the module date section.
TEST_F(TestResultsFileTest, NarrowHeaderGoesStraightToModuleDate) {
  ResultFileDescription desc = DefaultResultFileDescription();
  desc.form = ResultFileForm::Trailer;
  std::string bytes = BuildResultFile(desc);
  ByteWriter narrow_id;
  WriteFixedString(narrow_id, "5pointtest", 20);
  bytes.replace(0, 4 + 2 * test::kResultProfileIdWidth, narrow_id.bytes());
  ByteWriter module;
  module.I32(0);
  module.F64(45000.5);
  module.Bytes(test::BuildShortText("X"));

  TestResults results = EarlierResult();
  Read(bytes + module.bytes(), results);
  EXPECT_EQ(results.Profile.ID, "5pointtest");
  EXPECT_EQ(results.ModuleCalDate.Value(), 45000.5);
  EXPECT_EQ(results.SpareText, "X");
  EXPECT_EQ(results.Op.ID, "OLDOP");
}

// --- Point rows.

TEST_F(TestResultsFileTest, WorkedExampleRows) {
  TestResults results;
  Read(WorkedExample(), results);
  ASSERT_EQ(results.RowCount(), 3u);
  // number, target pressure, target output, actual pressure, actual output, verdict, error
  EXPECT_EQ(Row(results, 0), (std::vector<std::string>{"1", "-0.2500", "4.0032", "-0.2499", "4.0100", "P", "0.0425"}));
  EXPECT_EQ(Row(results, 1), (std::vector<std::string>{"2", "0.0000", "12.0320", "0.0010", "12.2000", "F", "1.0500"}));
  EXPECT_EQ(Row(results, 2), (std::vector<std::string>{"3", "0.2500", "20.0000", "0.2500", "19.9000", "P", "-0.6250"}));
  EXPECT_EQ(results.ActualPressure, (std::vector<double>{-0.2499, 0.0010, 0.2500}));
  EXPECT_EQ(results.ActualOutput, (std::vector<double>{4.0100, 12.2000, 19.9000}));
  EXPECT_NEAR(results.ErrorFS[1], 1.05, 1e-9);
  EXPECT_FALSE(OverallPass(results));
}

struct UnitCase {
  const char* code;
  double factor;
  const char* actual_pressure;  // -0.2499 x factor
  const char* target_pressure;  // -0.25 x factor
};

class ResultUnitFactor : public TestResultsFileTest, public ::testing::WithParamInterface<UnitCase> {};

TEST_P(ResultUnitFactor, ScalesShownPressures) {
  ResultFileDescription desc = WorkedExample();
  desc.uut.InputUnits = GetParam().code;
  TestResults results;
  Read(desc, results);
  EXPECT_EQ(results.UnitFactor, GetParam().factor);
  EXPECT_EQ(table_.UnitFactor(), GetParam().factor);
  EXPECT_EQ(results.ActualPressureText[0], GetParam().actual_pressure);
  EXPECT_EQ(results.TargetPressureText[0], GetParam().target_pressure);
  EXPECT_EQ(results.TargetOutputText[0], "4.0032");  // from the pressure as stored
  EXPECT_EQ(results.ActualPressure[0], -0.2499);
}

INSTANTIATE_TEST_SUITE_P(Units, ResultUnitFactor,
                         ::testing::Values(UnitCase{"Pa", 1.0, "-0.2499", "-0.2500"},
                                           UnitCase{"kPa", 1000.0, "-249.9000", "-250.0000"},
                                           UnitCase{"INWC", 248.642103, "-62.1357", "-62.1605"},
                                           UnitCase{"MPa", -1.0, "0.2499", "0.2500"}));

TEST_F(TestResultsFileTest, CustomPointsReplaceTheProfilesList) {
  ResultFileDescription desc = WorkedExample();
  desc.profile_id = "mycustom";
  desc.profile_type = "Custom";
  desc.points = {{-0.25, 4.0, 0.0}, {-0.09, 9.2, 0.3}, {0.25, 20.4, 1.0}};
  const std::string bytes = BuildResultFile(desc);
  ASSERT_EQ(bytes.size(), 388u + 3 * 24 + 28);

  TestResults results = EarlierResult();
  Read(bytes, results);
  EXPECT_EQ(results.Profile.CustomPoints, (std::vector<double>{0.0, 0.3, 1.0}));
  EXPECT_EQ(results.Profile.NumberOfPoints, 3);
  ASSERT_EQ(results.RowCount(), 3u);
  // Both targets from the fraction, (0.3 x 0.5 - 0.25) and 0.3 x 16 + 4, not from the
  // applied -0.09 (whose ideal output 9.12 gives the error 0.5).
  EXPECT_EQ(Row(results, 1), (std::vector<std::string>{"2", "-0.1000", "8.8000", "-0.0900", "9.2000", "P", "0.5000"}));
  EXPECT_EQ(Row(results, 2), (std::vector<std::string>{"3", "0.2500", "20.0000", "0.2500", "20.4000", "F", "2.5000"}));
  // The trailer follows the 24-byte points.
  EXPECT_EQ(results.DateTimeTested.Value(), desc.date_tested.Value());
}

// --- Zero spans give a non-finite error that fails, never a pass.

struct ZeroSpanCase {
  const char* type;
  double input_span;
  double output_span;
};

class ZeroSpanResult : public TestResultsFileTest, public ::testing::WithParamInterface<ZeroSpanCase> {};

TEST_P(ZeroSpanResult, EveryPointFails) {
  ResultFileDescription desc = WorkedExample();
  desc.uut.SetOutputType(GetParam().type);
  desc.uut.InputSpan = GetParam().input_span;
  desc.uut.OutputSpan = GetParam().output_span;
  desc.points = {{-0.25, 4.0}, {0.0, 12.5}, {0.25, 20.0}};  // includes 0/0 cases
  TestResults results;
  Read(desc, results);
  ASSERT_EQ(results.RowCount(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_FALSE(std::isfinite(results.ErrorFS[i])) << i;
    EXPECT_NE(results.ErrorText[i].find_first_of("naif"), std::string::npos) << results.ErrorText[i];
    EXPECT_EQ(results.PassFailText[i], "F") << i;
  }
  EXPECT_FALSE(OverallPass(results));
}

INSTANTIATE_TEST_SUITE_P(Spans, ZeroSpanResult,
                         ::testing::Values(ZeroSpanCase{"CSIM", 0.5, 0.0}, ZeroSpanCase{"CSIM", 0.0, 16.0},
                                           ZeroSpanCase{"DIALGAGE", 0.0, 16.0}));

// --- Overall verdict.

struct LeakCase {
  bool leak_test;
  double leak_value;
  bool passes;
};

class LeakVerdict : public ::testing::TestWithParam<LeakCase> {};

TEST_P(LeakVerdict, ComparesLeakValueWithMaxLeakRate) {
  TestResults results;
  results.Uut.MaxLeakRate = 0.0003;
  results.PassFailText = {"P", "P", "P"};
  results.Profile.LeakTest = GetParam().leak_test;
  results.LeakValue = GetParam().leak_value;
  EXPECT_EQ(OverallPass(results), GetParam().passes);
  results.PassFailText[1] = "F";
  EXPECT_FALSE(OverallPass(results));
}

INSTANTIATE_TEST_SUITE_P(Leak, LeakVerdict,
                         ::testing::Values(LeakCase{true, 0.0003, true}, LeakCase{true, 0.00029, false},
                                           LeakCase{true, 0.00031, true},
                                           LeakCase{true, std::numeric_limits<double>::quiet_NaN(), false},
                                           LeakCase{false, 0.0, true}, LeakCase{false, 1.0e9, true}));

// --- Missing, tiny, truncated and hostile files.

class TinyResultFile : public TestResultsFileTest, public ::testing::WithParamInterface<int> {};

TEST_P(TinyResultFile, ChangesNothingButTheColumns) {
  TestResults results = EarlierResult();
  if (GetParam() < 0) {
    table_.ReadFile(results, Path());  // never written
  } else {
    Read(BuildResultFile(DefaultResultFileDescription()).substr(0, static_cast<size_t>(GetParam())), results);
  }
  EXPECT_EQ(results.RowCount(), 0u);
  EXPECT_TRUE(results.PointNumberText.empty());
  EXPECT_EQ(results.Uut.ID, "OLD-UUT");
  EXPECT_EQ(results.Op.ID, "OLDOP");
}

INSTANTIATE_TEST_SUITE_P(Sizes, TinyResultFile, ::testing::Values(-1, 0, 1, 3));

// Cutting a file anywhere reads cleanly only where a form of the file ends; elsewhere
// the read ends with an end-of-file error and the record's fields stay as they were.
class TruncatedResultFile : public TestResultsFileTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(TruncatedResultFile, ReadsOnlyWhereAFormEnds) {
  ResultFileDescription desc = DefaultResultFileDescription();
  desc.profile_type = GetParam();
  std::vector<size_t> form_ends;
  for (ResultFileForm form : {ResultFileForm::Trailer, ResultFileForm::Operator, ResultFileForm::Instrument,
                              ResultFileForm::UutExtension, ResultFileForm::ModuleDate}) {
    desc.form = form;
    form_ends.push_back(BuildResultFile(desc).size());
  }
  const std::string full = BuildResultFile(desc);
  for (size_t length = 4; length <= full.size(); ++length) {
    const bool clean = std::find(form_ends.begin(), form_ends.end(), length) != form_ends.end();
    TestResults results = EarlierResult();
    try {
      Read(full.substr(0, length), results);
      EXPECT_TRUE(clean) << "read a file cut at " << length;
      EXPECT_EQ(results.Uut.ID, "PT-1001");
      EXPECT_EQ(results.RowCount(), 5u);
    } catch (const FileError& error) {
      EXPECT_FALSE(clean) << "failed at a form end " << length;
      EXPECT_EQ(error.cause(), FileError::Cause::EndOfFile) << length;
      EXPECT_EQ(results.Uut.ID, "OLD-UUT") << length;
      EXPECT_EQ(results.Profile.CustomPoints.size(), 5u) << length;
      EXPECT_EQ(results.RowCount(), 0u) << length;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Profiles, TruncatedResultFile, ::testing::Values("Ascending", "Custom"));

// A point count beyond the file ends the read before anything is sized by it.
struct CountCase {
  const char* type;
  uint32_t count;
};

class HostilePointCount : public TestResultsFileTest, public ::testing::WithParamInterface<CountCase> {};

TEST_P(HostilePointCount, EndsWithEndOfFile) {
  ResultFileDescription desc = DefaultResultFileDescription();
  desc.profile_type = GetParam().type;
  desc.point_count = GetParam().count;
  TestResults results = EarlierResult();
  try {
    Read(desc, results);
    FAIL() << "no error";
  } catch (const FileError& error) {
    EXPECT_EQ(error.cause(), FileError::Cause::EndOfFile);
  }
  EXPECT_EQ(results.Profile.CustomPoints.size(), 5u);
}

INSTANTIATE_TEST_SUITE_P(Counts, HostilePointCount,
                         ::testing::Values(CountCase{"Ascending", 0xFFFFFFFFu}, CountCase{"Custom", 0xFFFFFFFFu},
                                           CountCase{"Ascending", 0x7FFFFFFFu}, CountCase{"Custom", 0x7FFFFFFFu},
                                           CountCase{"Custom", 0x80000000u}, CountCase{"Ascending", 0x10000000u},
                                           CountCase{"Custom", 0x0AAAAAABu}, CountCase{"Ascending", 96},
                                           CountCase{"Ascending", 31}));  // points fit, trailer does not

// Length prefixes that claim more than the file holds, in every prefix form.
class HostileText : public TestResultsFileTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(HostileText, EndsWithEndOfFile) {
  ResultFileDescription desc = DefaultResultFileDescription();
  desc.form = ResultFileForm::Trailer;
  const std::string trailer_form = BuildResultFile(desc);
  for (const std::string& bytes : {GetParam() + trailer_form, trailer_form + GetParam()}) {
    TestResults results = EarlierResult();
    try {
      Read(bytes, results);
      FAIL() << "no error";
    } catch (const FileError& error) {
      EXPECT_EQ(error.cause(), FileError::Cause::EndOfFile);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Prefixes, HostileText,
    ::testing::Values(std::string("\xFE\x00\x00\x00", 4),                                    // 8-bit count
                      std::string("\xFF\xFE\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 10) +          // 16-bit units,
                          std::string("\x00\x00\x00\x00\x00\x00\x00\x80", 8),                // 2^63 of them
                      std::string("\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 7) + std::string(8, '\xFF'),  // 64-bit count
                      std::string("\xFF\xFE\xFF\xFF", 4)));  // a short text of 255 units, none present

}  // namespace
}  // namespace veld
