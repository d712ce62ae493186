#include "records/test_results_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <tuple>

#include "platform/file_error.h"
#include "records/raw_fields.h"
#include "support/result_fields.h"
#include "support/result_file_writer.h"
#include "support/temp_root.h"

namespace veld {
namespace {

using test::BuildResultFile;
using test::ResultFileDescription;
using test::ResultFileForm;
using Texts = std::vector<std::string>;

// The worked example: -0.25 to 0.25 "Pa" giving 4 to 20 mA, accuracy 1.0 %FS, 3 points.
ResultFileDescription WorkedExample() {
  ResultFileDescription desc;  // "3pointtest", "Ascending"
  desc.form = ResultFileForm::Trailer;
  desc.uut.InputUnits = "Pa";
  desc.uut.Accuracy = 1.0;
  desc.points = {{-0.2499, 4.0100}, {0.0010, 12.2000}, {0.2500, 19.9000}};
  return desc;
}

Texts Row(const TestResults& r, size_t i) {
  return {r.PointNumberText[i], r.TargetPressureText[i], r.TargetOutputText[i], r.ActualPressureText[i],
          r.ActualOutputText[i], r.PassFailText[i], r.ErrorText[i]};
}

// A result file laid down byte by byte from the format (raw_fields.h), apart from the
// support writer, so that a field read into another's place cannot hide behind a writer
// with the same slip.
class HandLaidFile {
 public:
  HandLaidFile& Put(const std::string& field) {
    bytes += field;
    return *this;
  }
  HandLaidFile& U32(uint32_t value) { return Put(test::LittleEndian<uint32_t>({value})); }
  HandLaidFile& F64(double value) { return Put(test::LittleEndian<double>({value})); }
  HandLaidFile& Date(OleDateTime::Status status, double value) { return U32(status).F64(value); }
  HandLaidFile& Text(const std::string& text, int width) { return Put(test::FixedField(text, width)); }
  // A short text: FF FE FF N, then N 16-bit units.
  HandLaidFile& Short(const std::string& text) { return Text(text, static_cast<int>(text.size())); }
  std::string bytes;
};

// A record that has already held another result: every field of the optional sections
// with a value that no field of the files has, so that kept fields are recognisable.
TestResults Earlier() {
  TestResults r;
  r.Uut.ID = "OLD-UUT";
  r.Uut.SerialNumber = "E-SER";
  r.Uut.PartNumber = "E-PART";
  r.Uut.Model = "E-MODEL";
  r.Uut.Manufacturer = "E-MFR";
  r.Uut.LevelNames = {"E1", "E2", "E3", "E4", "E5"};
  r.Uut.ReCalAccuracy = 9.1;
  r.Uut.SystemVolume = 9.2;
  r.Op.ID = "E-OP";
  r.Op.Password = "E-PW";
  r.ReferenceLocation = 99;
  r.CalibratorSerialNumber = "E-CAL";
  r.ModuleSerialNumber = "E-MOD";
  r.SpareText = "E-SPARE";
  r.CalibratorCalDate = OleDateTime(3.5);
  r.ModuleCalDate = OleDateTime(4.5);
  r.Profile.CustomPoints = {9.0, 9.0, 9.0, 9.0, 9.0};
  r.PointNumberText = {"1"};
  return r;
}

class TestResultsFileTest : public test::TempRootTest {
 protected:
  TestResults Read(const std::string& bytes, TestResults results = TestResults()) {
    test::WriteBytes(temp_.root() + "/PT-1001_0001.DAT", bytes);
    table_.ReadFile(results, temp_.root() + "/PT-1001_0001.DAT");
    return results;
  }
  // Expects the read to end with the end-of-file error, and answers the record as it was left.
  TestResults ReadFails(const std::string& bytes) {
    TestResults results = Earlier();
    test::WriteBytes(temp_.root() + "/R.DAT", bytes);
    EXPECT_THROW(table_.ReadFile(results, temp_.root() + "/R.DAT"), FileError) << bytes.size() << " bytes";
    return results;
  }

  TestResultsTable table_;
};

// Each form is the file cut where its last section ends; the fields of the sections it
// lacks keep their earlier values. All values differ, so a swap of any two shows. Header
// texts end at the first character above 127, the UUT extension's only at a NUL.
TEST_F(TestResultsFileTest, HandLaidFilesFillEveryFieldOfEveryFormInItsOwnPlace) {
  HandLaidFile file;
  file.Text("HL-PROFILE", 20).U32(2).U32(1).Text("Ascending", 28);  // widths summing to 48
  file.F64(12.0).Text("3WIR", 8).U32(2500).F64(0.0007).F64(0.75).F64(0.0009);
  file.Text("DEF-PROF", 32).Text("HL-UUT\xE9X", 32).Date(OleDateTime::null, 45000.5);
  file.Text("mA", 8).Text("kPa", 8).F64(10.0).F64(0.5).F64(2.0).F64(-1.0);
  ASSERT_EQ(file.bytes.size(), 388u);
  file.F64(-1.0).F64(0.5).F64(1.0).F64(10.5);                     // two points, both exact
  file.Date(OleDateTime::valid, 45001.25).U32(7).U32(1).F64(0.0011);  // trailer
  std::vector<size_t> ends{file.bytes.size()};
  file.Short("OPX").Short("PWY");
  ends.push_back(file.bytes.size());
  file.Date(OleDateTime::valid, 44900.0).U32(3).Short("MOD-9").Short("CAL-8");
  ends.push_back(file.bytes.size());
  file.F64(0.35).F64(80.0).Text("SER-1", 32).Text("PART-2", 16).Text("MDL-3", 8).Text("MFR-4\xE9", 24);
  for (const char* level : {"L1", "L2", "L3", "L4", "L5"}) file.Text(level, 8);
  ends.push_back(file.bytes.size());
  file.Date(OleDateTime::invalid, 44800.0).Short("SPARE");
  ends.push_back(file.bytes.size());
  ASSERT_EQ(ends, (std::vector<size_t>{448, 468, 512, 804, 830}));

  for (size_t form = 0; form < ends.size(); ++form) {
    TestResults expected = Earlier();
    UUT& uut = expected.Uut;
    expected.Profile.ID = "HL-PROFILE";
    expected.Profile.NumberOfPoints = 2;
    expected.Profile.LeakTest = true;
    expected.Profile.ProfileType = "Ascending";
    uut.Excitation = 12.0;
    uut.SetOutputType("3WIR");
    uut.SettlingTime = 2500;
    uut.ControlStability = 0.0007;
    uut.Accuracy = 0.75;
    uut.MaxLeakRate = 0.0009;
    uut.DefaultTestProfile = "DEF-PROF";
    uut.ID = "HL-UUT";
    uut.CalibrationDueDate = OleDateTime(45000.5, OleDateTime::null);
    uut.OutputUnits = "mA";  // as stored, not the "VDC" that the type derives
    uut.InputUnits = "kPa";
    uut.OutputSpan = 10.0;
    uut.OutputOffset = 0.5;
    uut.InputSpan = 2.0;
    uut.InputOffset = -1.0;
    expected.UnitFactor = 1000.0;
    expected.PassFailText = {"P", "P"};
    expected.DateTimeTested = OleDateTime(45001.25);
    expected.AsFound = true;
    expected.LeakValue = 0.0011;
    if (form >= 1) {
      expected.Op.ID = "OPX";
      expected.Op.Password = "PWY";
    }
    if (form >= 2) {
      expected.CalibratorCalDate = OleDateTime(44900.0);
      expected.ReferenceLocation = 3;
      expected.ModuleSerialNumber = "MOD-9";
      expected.CalibratorSerialNumber = "CAL-8";
    }
    if (form >= 3) {
      uut.ReCalAccuracy = 0.35;
      uut.SystemVolume = 80.0;
      uut.SerialNumber = "SER-1";
      uut.PartNumber = "PART-2";
      uut.Model = "MDL-3";
      uut.Manufacturer = "MFR-4\xE9";
      uut.LevelNames = {"L1", "L2", "L3", "L4", "L5"};
    }
    if (form >= 4) {
      expected.ModuleCalDate = OleDateTime(44800.0, OleDateTime::invalid);
      expected.SpareText = "SPARE";
    }
    const TestResults read = Read(file.bytes.substr(0, ends[form]), Earlier());
    EXPECT_EQ(test::DescribeFields(read, false), test::DescribeFields(expected, false)) << "form " << form;
  }
}

TEST_F(TestResultsFileTest, WorkedExampleRows) {
  const TestResults results = Read(BuildResultFile(WorkedExample()));
  ASSERT_EQ(results.RowCount(), 3u);
  // number, target pressure, target output, actual pressure, actual output, verdict, error
  EXPECT_EQ(Row(results, 0), (Texts{"1", "-0.2500", "4.0032", "-0.2499", "4.0100", "P", "0.0425"}));
  EXPECT_EQ(Row(results, 1), (Texts{"2", "0.0000", "12.0320", "0.0010", "12.2000", "F", "1.0500"}));
  EXPECT_EQ(Row(results, 2), (Texts{"3", "0.2500", "20.0000", "0.2500", "19.9000", "P", "-0.6250"}));
  EXPECT_FALSE(OverallPass(results));
}

TEST_F(TestResultsFileTest, UnitFactorScalesShownPressuresOnly) {
  // Actual -0.2499 and target -0.25 as stored; an unknown code gives the factor -1. The
  // error and the verdict agree with the target output, whatever the unit.
  for (const auto& [code, factor, actual, target] :
       std::vector<std::tuple<std::string, double, std::string, std::string>>{
           {"Pa", 1.0, "-0.2499", "-0.2500"}, {"kPa", 1000.0, "-249.9000", "-250.0000"},
           {"INWC", 248.642103, "-62.1357", "-62.1605"}, {"MPa", -1.0, "0.2499", "0.2500"}}) {
    ResultFileDescription desc = WorkedExample();
    desc.uut.InputUnits = code;
    const TestResults results = Read(BuildResultFile(desc));
    EXPECT_EQ(results.UnitFactor, factor) << code;
    // The target output comes from the pressure as stored.
    EXPECT_EQ(results.ActualPressureText[0] + "|" + results.TargetPressureText[0] + "|" + results.TargetOutputText[0] +
                  "|" + results.ErrorText[0] + "|" + results.PassFailText[0],
              actual + "|" + target + "|4.0032|0.0425|P");
  }
}

TEST_F(TestResultsFileTest, CustomPointsReplaceTheProfilesList) {
  ResultFileDescription desc = WorkedExample();
  desc.profile_type = "Custom";
  desc.points = {{-0.25, 4.0, 0.0}, {-0.09, 9.2, 0.3}, {0.25, 20.4, 1.0}};
  const TestResults results = Read(BuildResultFile(desc), Earlier());
  EXPECT_EQ(results.Profile.CustomPoints, (std::vector<double>{0.0, 0.3, 1.0}));
  ASSERT_EQ(results.RowCount(), 3u);
  // Both targets from the fraction, (0.3 x 0.5 - 0.25) and 0.3 x 16 + 4, not from the
  // applied -0.09 (whose ideal output 9.12 gives the error 0.5).
  EXPECT_EQ(Row(results, 1), (Texts{"2", "-0.1000", "8.8000", "-0.0900", "9.2000", "P", "0.5000"}));
  EXPECT_EQ(Row(results, 2), (Texts{"3", "0.2500", "20.0000", "0.2500", "20.4000", "F", "2.5000"}));
}

TEST(OverallPass, ComparesLeakValueWithMaxLeakRateAndNeedsEveryPoint) {
  for (const auto& [leak_test, leak_value, passes] :
       {std::tuple{true, 0.0003, true}, {true, 0.00029, false}, {true, 0.00031, true},
        {true, std::numeric_limits<double>::quiet_NaN(), false}, {false, 1e9, true}}) {
    TestResults results;
    results.Uut.MaxLeakRate = 0.0003;
    results.PassFailText = {"P", "P", "P"};
    results.Profile.LeakTest = leak_test;
    results.LeakValue = leak_value;
    EXPECT_EQ(OverallPass(results), passes) << leak_value;
    results.PassFailText[1] = "F";
    EXPECT_FALSE(OverallPass(results));
  }
}

// Cutting a file anywhere reads cleanly only where a form of the file ends (or below
// the 4 bytes that a file needs to be read at all, which change nothing but the
// columns); elsewhere the read ends with an end-of-file error and changes nothing. So
// does a point count beyond the file, before anything is sized by it.
TEST_F(TestResultsFileTest, EverySectionCutShortAndPointCountsBeyondTheFileEndTheRead) {
  for (const char* type : {"Ascending", "Custom"}) {
    ResultFileDescription desc = test::DefaultResultFileDescription();  // 5 points
    desc.profile_type = type;
    std::vector<size_t> form_ends;
    for (int form = 0; form <= static_cast<int>(ResultFileForm::ModuleDate); ++form) {
      desc.form = static_cast<ResultFileForm>(form);
      form_ends.push_back(BuildResultFile(desc).size());
    }
    const std::string full = BuildResultFile(desc);
    for (size_t length = 0; length <= full.size(); ++length) {
      const bool read = std::find(form_ends.begin(), form_ends.end(), length) != form_ends.end();
      const std::string bytes = full.substr(0, length);
      const TestResults results = read || length < 4 ? Read(bytes, Earlier()) : ReadFails(bytes);
      EXPECT_EQ(results.Uut.ID, read ? "PT-1001" : "OLD-UUT") << length;
      EXPECT_EQ(results.RowCount(), read ? 5u : 0u) << length;
      EXPECT_EQ(results.Profile.CustomPoints.size(), 5u) << length;
    }
    // 31 points fit the file but leave no room for the trailer.
    for (uint32_t count : {0xFFFFFFFFu, 0x7FFFFFFFu, 0x80000000u, 0x0AAAAAABu, 96u, 31u}) {
      desc.point_count = count;
      EXPECT_EQ(ReadFails(BuildResultFile(desc)).Profile.CustomPoints.size(), 5u) << type << count;
    }
  }
}

}  // namespace
}  // namespace veld
