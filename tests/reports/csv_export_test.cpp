#include "reports/csv_export.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/file_error.h"
#include "platform/format.h"
#include "records/test_results_table.h"
#include "reports/certificate.h"
#include "support/german_locale.h"
#include "support/recording_canvas.h"
#include "support/recording_prompter.h"
#include "support/result_file_writer.h"
#include "support/temp_root.h"
#include "units/type_converter.h"

namespace veld {
namespace {

// The point texts as the reader computes them: number, target pressure, target output,
// actual pressure, actual output, pass/fail, error.
void AddRow(TestResults& result, const std::vector<std::string>& texts) {
  std::vector<std::string>* const columns[] = {&result.PointNumberText,    &result.TargetPressureText,
                                               &result.TargetOutputText,   &result.ActualPressureText,
                                               &result.ActualOutputText,   &result.PassFailText,
                                               &result.ErrorText};
  for (size_t i = 0; i < texts.size(); ++i) columns[i]->push_back(texts[i]);
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
  result.Uut.ID = "PT-1001";
  result.Uut.SetOutputType("CSIM");
  result.Uut.InputUnits = "Pa";
  result.Uut.Excitation = 24.0;
  result.Uut.CalibrationDueDate = OleDateTime(2012, 3, 7, 0, 0, 0);
  result.Profile.ID = "STD3";
  result.Profile.ProfileType = "Ascending";
  result.Profile.NumberOfPoints = 3;
  AddRow(result, {"1", "-0.2500", "4.0032", "-0.2499", "4.0100", "P", "0.0425"});
  AddRow(result, {"2", "0.0000", "12.0032", "0.0001", "12.0100", "P", "0.0425"});
  AddRow(result, {"3", "0.2500", "20.0000", "0.2500", "20.1000", "P", "0.6250"});
  return result;
}

// The line of the file that starts with the given text, with its CR LF, or "".
std::string LineStartingWith(const std::string& csv, const std::string& start) {
  for (size_t at = 0, end; (end = csv.find("\r\n", at)) != std::string::npos; at = end + 2) {
    if (csv.compare(at, start.size(), start) == 0) return csv.substr(at, end + 2 - at);
  }
  return "";
}

TEST(CsvExport, WholeFileOfAThreePointResult) {
  // No byte order mark, and no empty line after the profile line.
  EXPECT_EQ(BuildCsvExport(ThreePointResult()),
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
            "STD3,Ascending,3\r\n");
}

TEST(CsvExport, DatesVerdictsAndTheOldestFormFirstThingAfterStart) {
  TestResults result = ThreePointResult();
  result.CalibratorCalDate = OleDateTime(0.0, OleDateTime::invalid);
  result.Uut.CalibrationDueDate = OleDateTime(0.0, OleDateTime::null);
  result.DateTimeTested = OleDateTime(0.0, OleDateTime::invalid);
  std::string csv = BuildCsvExport(result);
  EXPECT_EQ(LineStartingWith(csv, "VELD-0042,"), "VELD-0042,-1/-1/-001,ZX-77,2\r\n");
  EXPECT_EQ(LineStartingWith(csv, "PT-1001,"), "PT-1001,-1/-1/-1 -1:-1:-1,As Found,Passed\r\n");
  EXPECT_EQ(LineStartingWith(csv, "CSIM,"), "CSIM,0.000300,5000,24.000000,0.000300,-1/-1/-1 -1:-1:-1\r\n");
  result.AsFound = false;
  result.PassFailText[1] = "F";
  result.DateTimeTested = OleDateTime(2011, 3, 7, 9, 5, 0);
  EXPECT_EQ(LineStartingWith(BuildCsvExport(result), "PT-1001,"), "PT-1001,3/7/2011 9:5:0,As Left,Failed\r\n");
  // A file without the instrument section leaves the fresh record's values in place.
  EXPECT_EQ(LineStartingWith(BuildCsvExport(TestResults()), ","), ",12/30/1899,,0\r\n");
}

// A result file that failed to open empties the columns and keeps the old count.
TEST(CsvExport, PointLinesOnlyForRowsPresentAndTheLeakLineOnlyWithALeakTest) {
  TestResults result = ThreePointResult();
  result.Uut.MaxLeakRate = 0.0003;
  result.LeakValue = 0.0005;
  EXPECT_EQ(BuildCsvExport(result).find("\r\nL,"), std::string::npos);
  result.Profile.LeakTest = true;
  result.ClearColumns();
  AddRow(result, {"1", "-0.2500", "4.0032", "-0.2499", "4.0100", "P", "0.0425"});
  EXPECT_NE(BuildCsvExport(result).find("Error (%FS)\r\n1,-0.2500,4.0032,-0.2499,4.0100,P,0.0425\r\n"
                                        "L,L_0.000300,,0.000500\r\n\r\nProfile ID,Profile Type,Number of Test "
                                        "Points\r\nSTD3,Ascending,3\r\n"),
            std::string::npos);
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
}

using CsvFileTest = test::TempRootTest;

// Writing beside the result and replacing a file show in the command-line tests.
TEST_F(CsvFileTest, AFileThatCannotBeCreatedIsAFileError) {
  EXPECT_THROW(WriteCsvExport(ThreePointResult(), temp_.root() + "/missing/ABC_0001.csv"), FileError);
  EXPECT_EQ(ProposedExportName("ab"), "");  // shorter than the extension: nothing is left
}

// Every text that the reports write or parse, as it comes out: a result file read and
// exported, its certificate, and typed numbers and dates (the window's panels format
// through the same Format).
std::string EveryText(const std::string& result_file) {
  TestResults result;
  TestResultsTable().ReadFile(result, result_file);
  std::string texts = BuildCsvExport(result);
  test::RecordingCanvas canvas(PageMetrics{700, 254, 1000});
  test::RecordingPrompter prompter;
  DrawCertificate(canvas, result, result, 1000.0, prompter);
  for (const test::RecordingCanvas::Text& text : canvas.texts) texts += text.text + "\n";
  const TypeConverter converter;
  OleDateTime date;
  converter.ParseDateTime("3/7/2012 9:05:30", date, true);
  return texts + Format("%.17g|%.17g|%.17g", converter.AsDouble("-0.25"), converter.AsDouble("1.5e3"), date.Value());
}

// A Qt program sets the C library's locale from the environment; under one that writes
// decimal commas, every text must still be what it is under the "C" locale.
TEST_F(CsvFileTest, EveryTextIsTheSameUnderALocaleWithDecimalCommas) {
  const test::LocaleAvailability german = test::MakeGermanLocaleAvailable();
  if (!german.available) GTEST_SKIP() << "SKIPPED: no " << test::kGermanLocale << " locale: " << german.why_not;
  const std::string file = temp_.root() + "/PT-1001_0001.DAT";
  test::WriteResultFile(file, test::DefaultResultFileDescription());
  const std::string under_c = EveryText(file);
  ASSERT_NE(under_c.find("\r\n1,-250.0000,"), std::string::npos) << under_c;
  ASSERT_NE(under_c.find("0.25 %FS"), std::string::npos) << under_c;

  const test::ProcessLocale locale(test::kGermanLocale);
  ASSERT_TRUE(locale.ok());
  char probe[8];
  std::snprintf(probe, sizeof probe, "%.2f", 0.25);
  ASSERT_STREQ(probe, "0,25") << "the locale must really write decimal commas";
  EXPECT_EQ(EveryText(file), under_c);
}

}  // namespace
}  // namespace veld
