#include "reports/certificate.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <memory>

#include "platform/format.h"
#include "records/test_results_table.h"
#include "records/uut.h"
#include "reports/chart_data.h"

namespace veld {
namespace {

constexpr const char* kBodyFace = "Quarry Slab Font";
constexpr const char* kTitleFace = "Times New Roman";
constexpr const char* kHandwritingLine = "________________";

// Buffer sizes of the printed values; a longer value is cut as the buffer cuts it.
constexpr size_t kValueBuffer = 50;
constexpr size_t kOutputRangeBuffer = 75;
constexpr size_t kPointCountBuffer = 15;
constexpr size_t kDateBuffer = 55;
constexpr size_t kInstrumentBuffer = 72;
constexpr size_t kUnitHeadingLength = 15;

// Rows of the calibration data table.
constexpr int kFirstDataRow = 41;
constexpr int kRowsBelowTable = 42;  // first row below the table, counted from N = 0

// The points of a side that the user did not select are set to 0.
bool IsMissing(const TestResults& result) { return result.Profile.NumberOfPoints == 0; }

// The count that sizes the table: the As Found one, or the As Left one when the As Found
// side is missing.
int64_t TablePoints(const TestResults& first, const TestResults& fallback) {
  return IsMissing(first) ? fallback.Profile.NumberOfPoints : first.Profile.NumberOfPoints;
}

int ClampToInt(int64_t value) { return static_cast<int>(std::clamp<int64_t>(value, INT_MIN, INT_MAX)); }

std::string VerdictText(const TestResults& result) {
  if (IsMissing(result)) return "N/A";
  return OverallPass(result) ? "Pass" : "Fail";
}

std::string InstrumentDateText(const char* label, const OleDateTime& date) {
  return CutToBuffer(std::string(label) + " calibration date: " + CertificateDateText(date), kInstrumentBuffer);
}

std::string UnitHeading(const std::string& unit) {
  return Format("(%s)", unit.c_str()).substr(0, kUnitHeadingLength);
}

int Width(const std::string& text, int extra) { return static_cast<int>(text.size()) + extra; }

class CertificatePage {
 public:
  CertificatePage(CertificateCanvas& canvas, const PageGrid& grid, const TestResults& as_found,
                  const TestResults& as_left, double pressure_factor, const CanvasFont& body,
                  const CanvasFont& heading)
      : canvas_(canvas),
        grid_(grid),
        as_found_(as_found),
        as_left_(as_left),
        factor_(pressure_factor),
        body_(body),
        heading_(heading) {}

  void DrawHeaderBlock();
  // Returns the certificate row.
  int DrawCalibrationDataTable();
  void DrawInstrumentBlock(int certificate_row);

 private:
  void Text(double x, double y, double w, const std::string& text, TextAlign align) {
    canvas_.DrawTextInRect(grid_.Rect(x, y, w, 1), text, align);
  }
  void Rule(double x, double y, double w) { canvas_.DrawRule(grid_.Rect(x, y, w, 0)); }
  void Label(double x, double y, double w, const char* label) { Text(x, y, w, label, TextAlign::Right); }
  void Value(double x, double y, double w, const std::string& value, size_t buffer = kValueBuffer) {
    Text(x, y, w, CutToBuffer(value, buffer), TextAlign::Left);
  }

  void DrawResultRows(const TestResults& result, const double (&columns)[4]);

  CertificateCanvas& canvas_;
  const PageGrid& grid_;
  const TestResults& as_found_;
  const TestResults& as_left_;
  double factor_;
  const CanvasFont& body_;
  const CanvasFont& heading_;
};

void CertificatePage::DrawHeaderBlock() {
  canvas_.SelectFont(body_);
  const UUT& uut = as_found_.Uut;
  const TestProfile& profile = as_found_.Profile;

  Label(2, 14, 24, "Approved By:");
  Value(28, 14, 30, kHandwritingLine);
  Label(56, 14, 16, "Date:");
  Value(74, 14, 30, kHandwritingLine);

  Label(6, 16, 20, "Operator:");
  Value(28, 16, 30, kHandwritingLine);
  Label(53, 16, 19, "Operator ID No.:");
  Value(74, 16, 30, kHandwritingLine);

  Label(2, 18, 24, "Date Time Tested:");
  Value(28, 18, 30, CertificateDateTimeText(as_found_.DateTimeTested), kDateBuffer);
  // The right half of the row is free: the As Left test's time, when there is one.
  if (!IsMissing(as_left_)) {
    Label(50, 18, 22, "As Left Tested:");
    Value(74, 18, 23, CertificateDateTimeText(as_left_.DateTimeTested), kDateBuffer);
  }

  Label(2, 19, 24, "As Found Pass/Fail:");
  Value(28, 19, 30, VerdictText(as_found_));
  Label(50, 19, 22, "As Left Pass/Fail:");
  Value(74, 19, 13, VerdictText(as_left_));

  Label(2, 21, 24, "Test Profile ID:");
  Value(28, 21, 30, profile.ID);
  Label(56, 21, 16, "Test Type:");
  Value(74, 21, 13, profile.ProfileType);

  Label(2, 22, 24, "Number of Test Points:");
  // A count of 100 or more is clipped to its two-column box.
  Value(28, 22, 2, Format("%d", static_cast<int>(TablePoints(as_found_, as_left_))), kPointCountBuffer);
  Label(50, 22, 22, "Perform Leak Test?:");
  Value(74, 22, 13, profile.LeakTest ? "Yes" : "No");

  Label(6, 24, 20, "UUT ID:");
  Value(28, 24, 30, uut.ID);
  Label(56, 24, 16, "NextCal Due:");
  Value(74, 24, 13, kHandwritingLine);

  Label(6, 25, 20, "UUT SN:");
  Value(28, 25, 30, uut.SerialNumber);
  Label(56, 25, 16, "UUT Type:");
  Value(74, 25, 13, uut.OutputType);

  // The two ranges get boxes just wide enough for their text.
  Label(6, 26, 20, "Input Range:");
  const std::string input_range =
      CutToBuffer(Format("%g to %g %s", uut.InputOffset / factor_, (uut.InputOffset + uut.InputSpan) / factor_,
                         uut.InputUnits.c_str()),
                  kValueBuffer);
  Value(28, 26, Width(input_range, 3), input_range);
  Label(56, 26, 16, "Output Range:");
  const std::string output_range = CutToBuffer(
      Format("%g to %g %s", uut.OutputOffset, uut.OutputOffset + uut.OutputSpan, uut.OutputUnits.c_str()),
      kOutputRangeBuffer);
  Value(74, 26, Width(output_range, 1), output_range, kOutputRangeBuffer);

  Label(6, 27, 20, "Accuracy:");
  Value(28, 27, 20, Format("%g %%FS", uut.Accuracy));
  Label(54, 27, 18, "Max. Leak Rate:");
  if (profile.LeakTest) {
    Value(74, 27, 13, Format("%g %s", uut.MaxLeakRate / factor_, uut.InputUnits.c_str()));
  } else {
    Value(74, 27, 4, "N/A");
  }

  Label(6, 28, 20, "Excitation:");
  Value(28, 28, 20, uut.Excitation < 0 ? std::string("EXTERNAL") : Format("%g VDC", uut.Excitation));
  Label(54, 28, 18, "Req'd Ctrl Stab:");
  const std::string stability =
      CutToBuffer(Format("%g %s", uut.ControlStability / factor_, uut.InputUnits.c_str()), kValueBuffer);
  Value(74, 28, Width(stability, 3), stability);

  Label(6, 29, 20, "Settling Time:");
  Value(28, 29, 30, Format("%i ms", uut.SettlingTime));
}

int CertificatePage::DrawCalibrationDataTable() {
  canvas_.SelectFont(heading_);
  Rule(3, 31, 94);
  Text(40, 32, 20, " CALIBRATION DATA ", TextAlign::Centre);
  Rule(3, static_cast<double>(TablePoints(as_found_, as_left_) + kRowsBelowTable), 94);

  canvas_.SelectFont(body_);
  Text(18, 34, 20, " AS FOUND ", TextAlign::Centre);
  Text(64, 34, 20, " AS LEFT ", TextAlign::Centre);

  // A dial gauge reads pressure, so both sides then show the input unit as the reading.
  const bool reads_pressure = as_found_.Uut.OutputType == "DIALGAGE" || as_left_.Uut.OutputType == "DIALGAGE";
  const std::string found_reading = reads_pressure ? as_found_.Uut.InputUnits : as_found_.Uut.OutputUnits;
  const std::string left_reading = reads_pressure ? as_left_.Uut.InputUnits : as_left_.Uut.OutputUnits;
  const struct {
    double x;
    std::string lines[3];
  } headings[] = {
      {6, {"APPLIED", "PRESSURE", UnitHeading(as_found_.Uut.InputUnits)}},
      {18, {"UUT", "READING", UnitHeading(found_reading)}},
      {28, {"UUT", "ERRORS", "(% FS)"}},
      {36, {"PASS/", "FAIL", "(P/F)"}},
      {52, {"APPLIED", "PRESSURE", UnitHeading(as_left_.Uut.InputUnits)}},
      {64, {"UUT", "READING", UnitHeading(left_reading)}},
      {74, {"UUT", "ERRORS", "(% FS)"}},
      {82, {"PASS/", "FAIL", "(P/F)"}},
  };
  for (int line = 0; line < 3; ++line) {
    for (const auto& heading : headings) Text(heading.x, 36 + line, 15, heading.lines[line], TextAlign::Centre);
  }

  DrawResultRows(as_found_, {3, 18, 28, 36});
  DrawResultRows(as_left_, {49, 64, 74, 82});
  return ClampToInt(TablePoints(as_left_, as_found_) + kRowsBelowTable);
}

// One row per point, but never more rows than the result holds: a record whose columns
// are shorter than its count (a file that failed to read) prints what it has.
void CertificatePage::DrawResultRows(const TestResults& result, const double (&columns)[4]) {
  const int64_t count = std::min<int64_t>(std::max<int64_t>(result.Profile.NumberOfPoints, 0),
                                          static_cast<int64_t>(result.RowCount()));
  for (int64_t i = 0; i < count; ++i) {
    const size_t at = static_cast<size_t>(i);
    const double row = static_cast<double>(kFirstDataRow + i);
    Text(columns[0], row, 15, Format("%11.4f", result.ActualPressure[at]), TextAlign::Centre);
    Text(columns[1], row, 15, Format("%7.4f", result.ActualOutput[at]), TextAlign::Centre);
    Text(columns[2], row, 15, Format("%6.3f", result.ErrorFS[at]), TextAlign::Centre);
    Text(columns[3], row, 15, PointPasses(result.ErrorFS[at], result.Uut.Accuracy) ? "P" : "F",
         TextAlign::Centre);
  }
}

void CertificatePage::DrawInstrumentBlock(int certificate_row) {
  Rule(3, 31, 94);
  canvas_.SelectFont(body_);
  const double k = certificate_row;
  Text(8, k + 1, 94,
       CutToBuffer(Format("ZEXO serial number: %s", as_left_.ModuleSerialNumber.c_str()), kInstrumentBuffer),
       TextAlign::Left);
  Text(8, k + 2, 94, InstrumentDateText("ZEXO", as_left_.ModuleCalDate), TextAlign::Left);
  Text(8, k + 3, 94,
       CutToBuffer(Format("VELD serial number: %s", as_left_.CalibratorSerialNumber.c_str()), kInstrumentBuffer),
       TextAlign::Left);
  Text(8, k + 4, 94, InstrumentDateText("VELD", as_left_.CalibratorCalDate), TextAlign::Left);
}

int Scaled(int value, double scale) { return static_cast<int>(std::trunc(scale * value)); }

// The band above the title: the logo at the left, the laboratory's name, address and
// accreditation centred on the page, from the top down. Boxes are a little taller than
// their fonts so that no descender or accent is cut; positions are binary fractions of a
// row, so that every one lands on the pixel it is meant to.
constexpr GridBox kLogoBox{3, 0.25, 12, 8.75};
constexpr double kHeaderTextX = 17;
constexpr double kHeaderTextWidth = 66;
constexpr GridBox kLabNameBox{kHeaderTextX, 0.25, kHeaderTextWidth, 1.5};
constexpr double kHeaderLinesTop = 2.0;
constexpr double kHeaderLineStep = 1.125;
constexpr double kHeaderGap = 0.25;

void DrawLabHeader(CertificateCanvas& canvas, const PageGrid& grid, const CertificateIssue& issue,
                   const CanvasFont& body, const CanvasFont& heading) {
  const LabHeader& header = issue.header;
  if (!issue.logo_host_path.empty()) {
    canvas.DrawImage(grid.Rect(kLogoBox.x, kLogoBox.y, kLogoBox.w, kLogoBox.h), issue.logo_host_path);
  }
  canvas.SelectFont(heading);
  canvas.DrawTextInRect(grid.Rect(kLabNameBox.x, kLabNameBox.y, kLabNameBox.w, kLabNameBox.h), header.name,
                        TextAlign::Centre);
  canvas.SelectFont(body);
  const auto line = [&](double y, const std::string& text) {
    canvas.DrawTextInRect(grid.Rect(kHeaderTextX, y, kHeaderTextWidth, kHeaderLineStep), text, TextAlign::Centre);
  };
  for (size_t i = 0; i < header.address.size(); ++i) line(kHeaderLinesTop + kHeaderLineStep * i, header.address[i]);
  const double accreditation_top =
      kHeaderLinesTop + kHeaderLineStep * header.address.size() + (header.address.empty() ? 0 : kHeaderGap);
  for (size_t i = 0; i < header.accreditation.size(); ++i) {
    line(accreditation_top + kHeaderLineStep * i, header.accreditation[i]);
  }
}

}  // namespace

FontRequest CertificateBodyFont(const PageGrid& grid) {
  return FontRequest{kBodyFace, grid.RowHeight(), grid.ColumnWidth(), 550, false, FontFamily::Modern, false};
}

FontRequest CertificateHeadingFont(const PageGrid& grid) {
  return FontRequest{kBodyFace, Scaled(grid.RowHeight(), 1.1), Scaled(grid.ColumnWidth(), 1.1), 750, false,
                  FontFamily::Modern, false};
}

FontRequest CertificateTitleFont(const PageGrid& grid) {
  return FontRequest{kTitleFace, Scaled(grid.RowHeight(), 1.5), Scaled(grid.ColumnWidth(), 1.5), 750, true,
                  FontFamily::Roman, true};
}

std::optional<int> DrawCertificate(CertificateCanvas& canvas, const TestResults& as_found,
                                   const TestResults& as_left, double pressure_factor, Prompter& prompter,
                                   const CertificateIssue& issue) {
  const PageGrid grid(canvas.Metrics());
  const std::unique_ptr<CanvasFont> body = canvas.MakeFont(CertificateBodyFont(grid));
  const std::unique_ptr<CanvasFont> heading = canvas.MakeFont(CertificateHeadingFont(grid));
  const std::unique_ptr<CanvasFont> title = canvas.MakeFont(CertificateTitleFont(grid));
  if (!body || !heading || !title) {
    prompter.Message("Can't create fonts");
    return std::nullopt;
  }

  if (issue.header.IsSet()) DrawLabHeader(canvas, grid, issue, *body, *heading);

  // The title's font is half a row taller than a row: its box is taller still, centred
  // where the one-row box was, so that neither the capitals nor the underline are cut.
  canvas.SelectFont(*title);
  canvas.DrawTextInRect(grid.Rect(kTitleBox.x, kTitleBox.y, kTitleBox.w, kTitleBox.h), "CALIBRATION CERTIFICATE",
                        TextAlign::Centre);
  if (issue.number) {
    canvas.SelectFont(*body);
    canvas.DrawTextInRect(grid.Rect(72, kTitleBox.y, 25, kTitleBox.h), CertificateNumberText(*issue.number),
                          TextAlign::Right);
  }

  CertificatePage page(canvas, grid, as_found, as_left, pressure_factor, *body, *heading);
  page.DrawHeaderBlock();
  const int certificate_row = page.DrawCalibrationDataTable();
  page.DrawInstrumentBlock(certificate_row);
  return certificate_row;
}

CertificateIssue IssueCertificate(DesktopSettingsStore& store) {
  CertificateIssue issue;
  issue.header = store.LoadLabHeader();
  issue.logo_host_path = store.LogoHostPath(issue.header);
  issue.number = store.TakeCertificateNumber();
  return issue;
}

std::string CutToBuffer(std::string text, size_t buffer_size) {
  const size_t keep = buffer_size == 0 ? 0 : buffer_size - 1;
  if (text.size() > keep) text.resize(keep);
  return text;
}

}  // namespace veld
