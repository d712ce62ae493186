#include "reports/csv_export.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/file_error.h"
#include "support/temp_root.h"

namespace veld {
namespace {

struct PointRow {
  std::string number, target_pressure, target_output, actual_pressure, actual_output, pass_fail, error;
};

void AddRow(TestResults& result, const PointRow& row) {
  result.PointNumberText.push_back(row.number);
  result.TargetPressureText.push_back(row.target_pressure);
  result.TargetOutputText.push_back(row.target_output);
  result.ActualPressureText.push_back(row.actual_pressure);
  result.ActualOutputText.push_back(row.actual_output);
  result.PassFailText.push_back(row.pass_fail);
  result.ErrorText.push_back(row.error);
  result.ActualPressure.push_back(0.0);
  result.ActualOutput.push_back(0.0);
  result.ErrorFS.push_back(0.0);
}

// A 3-point As Found result of a UUT of -0.25 to 0.25 Pa and 4 to 20 mA, accuracy 1 %FS.
TestResults ThreePointResult() {
  TestResults result;
  result.CalibratorSerialNumber = "VELD-0042";
  result.CalibratorCalDate = OleDateTime(2010, 11, 2, 0, 0, 0);
  result.ModuleSerialNumber = "ZX-77";
  result.ReferenceLocation = 2;
  result.DateTimeTested = OleDateTime(2011, 3, 7, 14, 30, 15);
  result.AsFound = true;
  UUT& uut = result.Uut;
  uut.ID = "PT-1001";
  uut.SetOutputType("CSIM");
  uut.InputUnits = "Pa";
  uut.Excitation = 24.0;
  uut.CalibrationDueDate = OleDateTime(2012, 3, 7, 0, 0, 0);
  result.Profile.ID = "STD3";
  result.Profile.ProfileType = "Ascending";
  result.Profile.NumberOfPoints = 3;
  result.Profile.LeakTest = false;
  AddRow(result, {"1", "-0.2500", "4.0032", "-0.2499", "4.0100", "P", "0.0425"});
  AddRow(result, {"2", "0.0000", "12.0032", "0.0001", "12.0100", "P", "0.0425"});
  AddRow(result, {"3", "0.2500", "20.0000", "0.2500", "20.1000", "P", "0.6250"});
  return result;
}

// The line of the file that starts with the given text, with its CR LF, or "".
std::string LineStartingWith(const std::string& csv, const std::string& start) {
  for (size_t at = 0; at < csv.size();) {
    const size_t end = csv.find("\r\n", at);
    if (end == std::string::npos) break;
    if (csv.compare(at, start.size(), start) == 0) return csv.substr(at, end + 2 - at);
    at = end + 2;
  }
  return "";
}

TEST(CsvExport, WholeFileOfAThreePointResult) {
  const std::string expected =
      "417 ID, 417 Calibration Due Date ,Reference ID, Reference location\r\n"
      "VELD-0042,11/02/2010,ZX-77,2\r\n"
      "\r\n"
      "Unit Under Test ID,Date/Time Tested (mm/dd/yyyy HH:MM:SS),As Found/As Left,Pass/Fail Test\r\n"
      "PT-1001,3/7/2011 14:30:15,As Found,Passed\r\n"
      "\r\n"
      "Input Offset,Input Span,Input Units,Output Offset,OutputSpan,Output Units,Accuracy(%FS)\r\n"
      "-0.250000,0.500000,Pa,4.000000,16.000000,mA,1.000000\r\n"
      "\r\n"
      "UUT Output Type,Test Control Stability (in.WC),Settling Time(ms),Excitation(VDC),"
      "Max. Leak Rate(in.WC/s),Calibration Due Date (mm/dd/yyyy HH:MM:SS)\r\n"
      "CSIM,0.000300,5000,24.000000,0.000300,3/7/2012 0:0:0\r\n"
      "\r\n"
      "Test Point Number,Target Pressure (Pa),Target Output (mA),Actual Pressure (Pa),Actual Output(mA),"
      "Pass/Fail,Error (%FS)\r\n"
      "1,-0.2500,4.0032,-0.2499,4.0100,P,0.0425\r\n"
      "2,0.0000,12.0032,0.0001,12.0100,P,0.0425\r\n"
      "3,0.2500,20.0000,0.2500,20.1000,P,0.6250\r\n"
      "\r\n"
      "Profile ID,Profile Type,Number of Test Points\r\n"
      "STD3,Ascending,3\r\n";
  const std::string csv = BuildCsvExport(ThreePointResult());
  EXPECT_EQ(csv.size(), expected.size());
  EXPECT_EQ(csv, expected);
}

TEST(CsvExport, OldestFormFirstThingAfterStart) {
  // A file without the instrument section leaves the fresh record's values in place.
  TestResults result;
  result.Uut.ID = "PT-1";
  EXPECT_EQ(LineStartingWith(BuildCsvExport(result), ","), ",12/30/1899,,0\r\n");
}

TEST(CsvExport, InvalidDatesGiveMinusOneForEachPart) {
  TestResults result = ThreePointResult();
  result.CalibratorCalDate = OleDateTime(0.0, OleDateTime::invalid);
  result.DateTimeTested = OleDateTime(0.0, OleDateTime::null);
  result.Uut.CalibrationDueDate = OleDateTime(0.0, OleDateTime::invalid);
  const std::string csv = BuildCsvExport(result);
  EXPECT_EQ(LineStartingWith(csv, "VELD-0042,"), "VELD-0042,-1/-1/-001,ZX-77,2\r\n");
  EXPECT_EQ(LineStartingWith(csv, "PT-1001,"), "PT-1001,-1/-1/-1 -1:-1:-1,As Found,Passed\r\n");
  EXPECT_EQ(LineStartingWith(csv, "CSIM,"), "CSIM,0.000300,5000,24.000000,0.000300,-1/-1/-1 -1:-1:-1\r\n");
}

TEST(CsvExport, TimesAreNotPadded) {
  TestResults result = ThreePointResult();
  result.DateTimeTested = OleDateTime(2011, 3, 7, 9, 5, 0);
  EXPECT_EQ(LineStartingWith(BuildCsvExport(result), "PT-1001,"), "PT-1001,3/7/2011 9:5:0,As Found,Passed\r\n");
}

TEST(CsvExport, LeakLineOnlyWithALeakTest) {
  TestResults result = ThreePointResult();
  result.Uut.MaxLeakRate = 0.0003;
  result.LeakValue = 0.0005;
  EXPECT_EQ(BuildCsvExport(result).find("\r\nL,"), std::string::npos);

  result.Profile.LeakTest = true;
  const std::string csv = BuildCsvExport(result);
  EXPECT_NE(csv.find("3,0.2500,20.0000,0.2500,20.1000,P,0.6250\r\n"
                     "L,L_0.000300,,0.000500\r\n"
                     "\r\n"
                     "Profile ID,"),
            std::string::npos);
  EXPECT_EQ(LineStartingWith(csv, "PT-1001,"), "PT-1001,3/7/2011 14:30:15,As Found,Passed\r\n");
}

TEST(CsvExport, AsLeftAndFailed) {
  TestResults result = ThreePointResult();
  result.AsFound = false;
  result.PassFailText[1] = "F";
  const std::string csv = BuildCsvExport(result);
  EXPECT_NE(csv.find("PT-1001,3/7/2011 14:30:15,As Left,Failed\r\n\r\nInput Offset"), std::string::npos);
}

TEST(CsvExport, EndsWithTheProfileLine) {
  TestResults result = ThreePointResult();
  result.Profile.ID = "CUST-7";
  result.Profile.ProfileType = "Custom";
  const std::string csv = BuildCsvExport(result);
  const std::string last = "\r\nCUST-7,Custom,3\r\n";
  ASSERT_GE(csv.size(), last.size());
  EXPECT_EQ(csv.substr(csv.size() - last.size()), last);
  EXPECT_NE(csv.substr(0, 3), "\xEF\xBB\xBF");
}

TEST(CsvExport, PointLinesOnlyForRowsPresent) {
  // A result file that failed to open empties the columns and keeps the old count.
  TestResults result = ThreePointResult();
  result.ClearColumns();
  AddRow(result, {"1", "-0.2500", "4.0032", "-0.2499", "4.0100", "P", "0.0425"});
  const std::string csv = BuildCsvExport(result);
  EXPECT_NE(csv.find("Error (%FS)\r\n1,-0.2500,4.0032,-0.2499,4.0100,P,0.0425\r\n\r\nProfile ID,"),
            std::string::npos);
  EXPECT_EQ(LineStartingWith(csv, "STD3,"), "STD3,Ascending,3\r\n");
}

TEST(CsvExport, TextsThatWouldSplitAFieldAreQuoted) {
  TestResults result = ThreePointResult();
  result.Uut.ID = "PT,1001";
  result.Uut.InputUnits = "in,WC";
  result.CalibratorSerialNumber = "say \"hi\"";
  const std::string csv = BuildCsvExport(result);
  EXPECT_EQ(LineStartingWith(csv, "\"PT,1001\","), "\"PT,1001\",3/7/2011 14:30:15,As Found,Passed\r\n");
  EXPECT_EQ(LineStartingWith(csv, "\"say"), "\"say \"\"hi\"\"\",11/02/2010,ZX-77,2\r\n");
  EXPECT_EQ(LineStartingWith(csv, "Test Point Number,"),
            "Test Point Number,\"Target Pressure (in,WC)\",Target Output (mA),\"Actual Pressure (in,WC)\","
            "Actual Output(mA),Pass/Fail,Error (%FS)\r\n");
  EXPECT_EQ(CsvField("a\r\nb"), "\"a\r\nb\"");
  EXPECT_EQ(CsvField("in. WC"), "in. WC");
}

class CsvFileTest : public test::TempRootTest {};

TEST_F(CsvFileTest, WritesTheExportAndReplacesAnOldFile) {
  const std::string path = temp_.root() + "/ABC_0001.csv";
  test::WriteBytes(path, std::string(5000, 'x'));
  const TestResults result = ThreePointResult();
  WriteCsvExport(result, path);
  EXPECT_EQ(test::ReadBytes(path), BuildCsvExport(result));
}

TEST_F(CsvFileTest, AFileThatCannotBeCreatedIsAFileError) {
  EXPECT_THROW(WriteCsvExport(ThreePointResult(), temp_.root() + "/missing/ABC_0001.csv"), FileError);
}

TEST(ProposedExportName, DropsTheExtension) {
  EXPECT_EQ(ProposedExportName("C:\\VELD\\PC\\TestResults\\ABC_0001.DAT"), "C:\\VELD\\PC\\TestResults\\ABC_0001");
  EXPECT_EQ(ProposedExportName(".DAT"), "");
  EXPECT_EQ(ProposedExportName("ab"), "");
}

}  // namespace
}  // namespace veld
