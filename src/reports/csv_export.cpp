#include "reports/csv_export.h"

#include <algorithm>
#include <cstdint>

#include "platform/binary_file.h"
#include "platform/format.h"
#include "records/test_results_table.h"
#include "reports/chart_data.h"

namespace veld {
namespace {

// Month/day/year hour:minute:second without padding.
std::string DateTime(const OleDateTime& date) {
  return Format("%i/%i/%i %i:%i:%i", date.GetMonth(), date.GetDay(), date.GetYear(), date.GetHour(),
                date.GetMinute(), date.GetSecond());
}

std::string Fixed(double value) { return Format("%8f", value); }

void AppendInstrumentLines(std::string& csv, const TestResults& result) {
  csv += "417 ID, 417 Calibration Due Date ,Reference ID, Reference location\r\n";
  csv += CsvField(result.CalibratorSerialNumber) + "," + CertificateDateText(result.CalibratorCalDate) + "," +
         CsvField(result.ModuleSerialNumber) + "," + Format("%i", result.ReferenceLocation) + "\r\n\r\n";
}

void AppendTestLines(std::string& csv, const TestResults& result) {
  csv += "Unit Under Test ID,Date/Time Tested (mm/dd/yyyy HH:MM:SS),As Found/As Left,Pass/Fail Test\r\n";
  csv += CsvField(result.Uut.ID) + "," + DateTime(result.DateTimeTested) + "," +
         (result.AsFound ? "As Found," : "As Left,") + (OverallPass(result) ? "Passed" : "Failed") + "\r\n\r\n";
}

void AppendRangeLines(std::string& csv, const UUT& uut) {
  csv += "Input Offset,Input Span,Input Units,Output Offset,OutputSpan,Output Units,Accuracy(%FS)\r\n";
  csv += Fixed(uut.InputOffset) + "," + Fixed(uut.InputSpan) + "," + CsvField(uut.InputUnits) + "," +
         Fixed(uut.OutputOffset) + "," + Fixed(uut.OutputSpan) + "," + CsvField(uut.OutputUnits) + "," +
         Fixed(uut.Accuracy) + "\r\n\r\n";
}

void AppendSettingsLines(std::string& csv, const UUT& uut) {
  csv +=
      "UUT Output Type,Test Control Stability (in.WC),Settling Time(ms),Excitation(VDC),"
      "Max. Leak Rate(in.WC/s),Calibration Due Date (mm/dd/yyyy HH:MM:SS)\r\n";
  csv += CsvField(uut.OutputType) + "," + Fixed(uut.ControlStability) + "," + Format("%i", uut.SettlingTime) +
         "," + Fixed(uut.Excitation) + "," + Fixed(uut.MaxLeakRate) + "," + DateTime(uut.CalibrationDueDate) +
         "\r\n\r\n";
}

// The heading and one line per point; a record whose columns hold fewer rows than its
// count (a result file that failed to read) writes only the rows it holds.
void AppendPointLines(std::string& csv, const TestResults& result) {
  const UUT& uut = result.Uut;
  csv += "Test Point Number," + CsvField("Target Pressure (" + uut.InputUnits + ")") + "," +
         CsvField("Target Output (" + uut.OutputUnits + ")") + "," +
         CsvField("Actual Pressure (" + uut.InputUnits + ")") + "," +
         CsvField("Actual Output(" + uut.OutputUnits + ")") + ",Pass/Fail,Error (%FS)\r\n";
  const int64_t count = std::min<int64_t>(std::max<int64_t>(result.Profile.NumberOfPoints, 0),
                                          static_cast<int64_t>(result.RowCount()));
  for (size_t i = 0; i < static_cast<size_t>(count); ++i) {
    csv += CsvField(result.PointNumberText[i]) + "," + CsvField(result.TargetPressureText[i]) + "," +
           CsvField(result.TargetOutputText[i]) + "," + CsvField(result.ActualPressureText[i]) + "," +
           CsvField(result.ActualOutputText[i]) + "," + CsvField(result.PassFailText[i]) + "," +
           CsvField(result.ErrorText[i]) + "\r\n";
  }
}

void AppendProfileLines(std::string& csv, const TestResults& result) {
  const TestProfile& profile = result.Profile;
  if (profile.LeakTest) csv += Format("L,L_%8f,,%8f\r\n", result.Uut.MaxLeakRate, result.LeakValue);
  csv += "\r\n";
  csv += "Profile ID,Profile Type,Number of Test Points\r\n";
  csv += CsvField(profile.ID) + "," + CsvField(profile.ProfileType) + "," + Format("%i", profile.NumberOfPoints) +
         "\r\n";
}

}  // namespace

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

std::string BuildCsvExport(const TestResults& result) {
  std::string csv;
  AppendInstrumentLines(csv, result);
  AppendTestLines(csv, result);
  AppendRangeLines(csv, result.Uut);
  AppendSettingsLines(csv, result.Uut);
  AppendPointLines(csv, result);
  AppendProfileLines(csv, result);
  return csv;
}

void WriteCsvExport(const TestResults& result, const std::string& host_path) {
  const std::string csv = BuildCsvExport(result);
  BinaryFile::ReplaceWholeFile(host_path, csv);
}

std::string ProposedExportName(const std::string& source_path) {
  constexpr size_t kExtensionLength = 4;  // ".DAT"
  if (source_path.size() <= kExtensionLength) return {};
  return source_path.substr(0, source_path.size() - kExtensionLength);
}

}  // namespace veld
