#include "reports/certificate.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/recording_canvas.h"
#include "support/recording_prompter.h"

namespace veld {
namespace {

using test::RecordingCanvas;

// A page of 100 pixels per row and 10 per column: the cell (x, y) starts at (10x, 100y).
constexpr PageMetrics kRoundPage{700, 254, 1000};

// A result as the reader leaves it, one entry per point in every column; point i has
// pressure first + i, output 4 + i and error errors[i] (else 0.01 i).
TestResults MakeResult(int count, double first = 0.0, std::vector<double> errors = {}, double accuracy = 1.0) {
  TestResults result;
  result.Uut.ID = "PT-1001";
  result.Uut.Accuracy = accuracy;
  result.Profile.NumberOfPoints = count;
  for (int i = 0; i < count; ++i) {
    const double error = i < static_cast<int>(errors.size()) ? errors[i] : 0.01 * i;
    result.ActualPressure.push_back(first + i);
    result.ActualOutput.push_back(4.0 + i);
    result.ErrorFS.push_back(error);
    for (auto* column : {&result.PointNumberText, &result.TargetPressureText, &result.ActualPressureText,
                         &result.TargetOutputText, &result.ActualOutputText, &result.ErrorText}) {
      column->push_back("0");
    }
    result.PassFailText.push_back(PointPasses(error, accuracy) ? "P" : "F");
  }
  return result;
}

class CertificateTest : public ::testing::Test {
 protected:
  std::optional<int> Draw(const TestResults& as_found, const TestResults& as_left, double factor = 1.0) {
    return DrawCertificate(canvas_, as_found, as_left, factor, prompter_);
  }
  // The one text that starts in the cell (x, y), or "<none>" / "<several>".
  std::string At(int x, int y) const {
    const auto found = canvas_.TextsAt(x * 10, y * 100);
    return found.empty() ? "<none>" : found.size() > 1 ? "<several>" : found.front()->text;
  }
  const RecordingCanvas::Text& Only(int x, int y) const { return *canvas_.TextsAt(x * 10, y * 100).at(0); }
  std::vector<int> RuleRows() const {
    std::vector<int> rows;
    for (const PixelRect& rule : canvas_.rules) rows.push_back(rule.top / 100);
    return rows;
  }
  std::vector<int> RowsWithTextAt(int x) const {
    std::vector<int> rows;
    for (const auto& text : canvas_.texts) {
      if (text.rect.left == x * 10) rows.push_back(text.rect.top / 100);
    }
    return rows;
  }

  RecordingCanvas canvas_{kRoundPage};
  test::RecordingPrompter prompter_;
};

TEST(PageGrid, RowHeightAndColumnWidthAreTruncated) {
  // 600 dpi over 266 mm is 6283.46 pixels, 89.76 per row; 4961 pixels give 49 per column.
  const PageGrid grid(PageMetrics{600, 266, 4961});
  EXPECT_EQ(grid.RowHeight(), 89);
  EXPECT_EQ(grid.ColumnWidth(), 49);
  EXPECT_EQ(grid.Rect(28, 18, 30, 1), (PixelRect{1372, 1602, 2842, 1690}));
  EXPECT_EQ(grid.Rect(3, 63, 94, 0), (PixelRect{147, 5607, 4753, 5606}));  // a rule
  EXPECT_EQ(CertificateBodyFont(grid), (FontRequest{"Quarry Slab Font", 89, 49, 550, false, FontFamily::Modern}));
  EXPECT_EQ(CertificateHeadingFont(grid), (FontRequest{"Quarry Slab Font", 97, 53, 750, false, FontFamily::Modern}));
  EXPECT_EQ(CertificateTitleFont(grid), (FontRequest{"Times New Roman", 133, 73, 750, true, FontFamily::Roman, true}));
}

TEST_F(CertificateTest, TwentyOnePointsFitThePage) {
  const TestResults as_found = MakeResult(21);
  TestResults as_left = MakeResult(21, 100.0);
  as_left.ModuleSerialNumber = "ZX-77";
  as_left.ModuleCalDate = OleDateTime(2010, 11, 2, 0, 0, 0);
  as_left.CalibratorSerialNumber = "VELD-0042";
  as_left.CalibratorCalDate = OleDateTime(2011, 3, 7, 0, 0, 0);

  EXPECT_EQ(Draw(as_found, as_left), 63);

  EXPECT_EQ(RowsWithTextAt(3).back(), 61);
  EXPECT_EQ(At(3, 61), "    20.0000");
  EXPECT_EQ(At(18, 61), "24.0000");
  EXPECT_EQ(At(28, 61), " 0.200");
  EXPECT_EQ(At(49, 61), "   120.0000");
  EXPECT_EQ(RuleRows(), (std::vector<int>{31, 63, 31}));
  EXPECT_EQ(At(8, 64), "ZEXO serial number: ZX-77");
  EXPECT_EQ(At(8, 65), "ZEXO calibration date: 11/02/2010");
  EXPECT_EQ(At(8, 66), "VELD serial number: VELD-0042");
  EXPECT_EQ(At(8, 67), "VELD calibration date: 03/07/2011");
  EXPECT_EQ(At(8, 68), "<none>");
  EXPECT_TRUE(prompter_.entries.empty());
}

TEST_F(CertificateTest, AsFoundAloneLeavesTheAsLeftSideEmpty) {
  // One selected result is read into both records; the unselected side has 0 points.
  const TestResults as_found = MakeResult(5);
  TestResults as_left = as_found;
  as_left.Profile.NumberOfPoints = 0;
  as_left.ModuleSerialNumber = "FROM-AS-LEFT";

  EXPECT_EQ(Draw(as_found, as_left), 47);

  EXPECT_EQ(At(28, 19), "Pass");
  EXPECT_EQ(At(74, 19), "N/A");
  EXPECT_EQ(At(28, 22), "5");
  EXPECT_EQ(RowsWithTextAt(3), (std::vector<int>{41, 42, 43, 44, 45}));
  EXPECT_TRUE(RowsWithTextAt(49).empty());
  EXPECT_EQ(RuleRows(), (std::vector<int>{31, 47, 31}));
  EXPECT_EQ(At(8, 48), "ZEXO serial number: FROM-AS-LEFT");
  EXPECT_EQ(At(8, 51), "VELD calibration date: 12/30/1899");
}

TEST_F(CertificateTest, AsLeftAloneSizesTheTableByItsPoints) {
  const TestResults as_left = MakeResult(3);
  TestResults as_found = as_left;
  as_found.Profile.NumberOfPoints = 0;

  EXPECT_EQ(Draw(as_found, as_left), 45);

  EXPECT_EQ(At(28, 19), "N/A");
  EXPECT_EQ(At(74, 19), "Pass");
  EXPECT_EQ(At(28, 22), "3");
  EXPECT_TRUE(RowsWithTextAt(3).empty());
  EXPECT_EQ(RowsWithTextAt(49), (std::vector<int>{41, 42, 43}));
  EXPECT_EQ(RuleRows(), (std::vector<int>{31, 45, 31}));
}

TEST_F(CertificateTest, HeaderLabelsAndValues) {
  TestResults result = MakeResult(2, 0.0, {}, 0.25);
  UUT& uut = result.Uut;
  uut.SerialNumber = "SN-9";
  uut.SetOutputType("CSOU");
  uut.InputUnits = "psi";
  uut.InputOffset = 0.0;
  uut.InputSpan = 100.0;
  uut.ControlStability = 0.02;
  uut.MaxLeakRate = 0.5;
  uut.Excitation = 24.0;
  result.Profile.ID = "STD11";
  result.Profile.ProfileType = "Both";
  result.Profile.LeakTest = true;
  result.LeakValue = 0.5;
  result.DateTimeTested = OleDateTime(2011, 3, 7, 9, 5, 0);

  Draw(result, result, 2.0);

  // Label (right-aligned) and value (left-aligned) with their cells and widths. The
  // ranges and the stability get their text length + 3 (output range + 1) columns.
  const struct {
    int label_x, y, label_w;
    std::string label;
    int value_x, value_w;
    std::string value;
  } rows[] = {
      {2, 14, 24, "Approved By:", 28, 30, "________________"},
      {56, 14, 16, "Date:", 74, 30, "________________"},
      {6, 16, 20, "Operator:", 28, 30, "________________"},
      {53, 16, 19, "Operator ID No.:", 74, 30, "________________"},
      {2, 18, 24, "Date Time Tested:", 28, 30, "03/07/2011 09:05"},
      {2, 19, 24, "As Found Pass/Fail:", 28, 30, "Pass"},
      {50, 19, 22, "As Left Pass/Fail:", 74, 13, "Pass"},
      {2, 21, 24, "Test Profile ID:", 28, 30, "STD11"},
      {56, 21, 16, "Test Type:", 74, 13, "Both"},
      {2, 22, 24, "Number of Test Points:", 28, 2, "2"},
      {50, 22, 22, "Perform Leak Test?:", 74, 13, "Yes"},
      {6, 24, 20, "UUT ID:", 28, 30, "PT-1001"},
      {56, 24, 16, "NextCal Due:", 74, 13, "________________"},
      {6, 25, 20, "UUT SN:", 28, 30, "SN-9"},
      {56, 25, 16, "UUT Type:", 74, 13, "CSOU"},
      {6, 26, 20, "Input Range:", 28, 14, "0 to 50 psi"},
      {56, 26, 16, "Output Range:", 74, 11, "4 to 20 mA"},
      {6, 27, 20, "Accuracy:", 28, 20, "0.25 %FS"},
      {54, 27, 18, "Max. Leak Rate:", 74, 13, "0.25 psi"},
      {6, 28, 20, "Excitation:", 28, 20, "24 VDC"},
      {54, 28, 18, "Req'd Ctrl Stab:", 74, 11, "0.01 psi"},
      {6, 29, 20, "Settling Time:", 28, 30, "5000 ms"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    ASSERT_EQ(At(row.label_x, row.y), row.label);
    EXPECT_EQ(Only(row.label_x, row.y).rect.Width(), row.label_w * 10);
    EXPECT_EQ(Only(row.label_x, row.y).align, TextAlign::Right);
    ASSERT_EQ(At(row.value_x, row.y), row.value);
    EXPECT_EQ(Only(row.value_x, row.y).rect.Width(), row.value_w * 10);
    EXPECT_EQ(Only(row.value_x, row.y).align, TextAlign::Left);
  }
}

TEST_F(CertificateTest, ExcitationLeakAndDatesWithoutValues) {
  TestResults result = MakeResult(2);
  result.Uut.Excitation = -1.0;
  result.DateTimeTested = OleDateTime(0.0, OleDateTime::invalid);
  result.ModuleCalDate = OleDateTime(0.0, OleDateTime::null);
  Draw(result, result);
  EXPECT_EQ(At(28, 28), "EXTERNAL");
  EXPECT_EQ(At(74, 22), "No");
  EXPECT_EQ(At(74, 27), "N/A");
  EXPECT_EQ(Only(74, 27).rect.Width(), 40);
  EXPECT_EQ(At(28, 18), "-01/-01/-0001 -1:-1");
  EXPECT_EQ(At(8, 46), "ZEXO calibration date: -1/-1/-001");

  canvas_.texts.clear();
  result.Uut.Excitation = 0.0;
  Draw(result, result);
  EXPECT_EQ(At(28, 28), "0 VDC");
}

TEST_F(CertificateTest, HundredPointsShowTwoDigitsOfTheCount) {
  const TestResults result = MakeResult(100);
  Draw(result, result);
  ASSERT_EQ(At(28, 22), "100");
  EXPECT_EQ(RecordingCanvas::Visible(Only(28, 22)), "10");
}

TEST_F(CertificateTest, LongValuesAreCutToTheirBuffers) {
  TestResults result = MakeResult(2);
  result.Uut.InputUnits = std::string(60, 'u');
  result.ModuleSerialNumber = std::string(80, 's');
  Draw(result, result);
  // Buffers of 50 and 72 characters keep 49 and 71; a unit heading keeps 15.
  EXPECT_EQ(At(28, 26), "-0.25 to 0.25 " + std::string(35, 'u'));
  EXPECT_EQ(Only(28, 26).rect.Width(), 520);
  EXPECT_EQ(At(8, 45), "ZEXO serial number: " + std::string(51, 's'));
  EXPECT_EQ(At(6, 38), "(" + std::string(14, 'u'));
}

// The reading headings of both sides for an As Found output type; the As Found UUT
// reads psi and mA, the As Left one bar and VDC.
class ReadingHeadingTest
    : public CertificateTest,
      public ::testing::WithParamInterface<std::tuple<std::string, bool, std::string, std::string>> {};

TEST_P(ReadingHeadingTest, DialGaugeOnEitherSideShowsInputUnits) {
  const auto& [type, on_as_found, found_heading, left_heading] = GetParam();
  TestResults as_found = MakeResult(2);
  as_found.Uut.InputUnits = "psi";
  TestResults as_left = as_found;
  as_left.Uut.InputUnits = "bar";
  as_left.Uut.SetOutputType("3WIR");
  (on_as_found ? as_found : as_left).Uut.SetOutputType(type);
  (on_as_found ? as_found : as_left).Uut.OutputUnits = on_as_found ? "mA" : "VDC";
  Draw(as_found, as_left);
  EXPECT_EQ(At(6, 38), "(psi)");
  EXPECT_EQ(At(18, 38), found_heading);
  EXPECT_EQ(At(52, 38), "(bar)");
  EXPECT_EQ(At(64, 38), left_heading);
}

INSTANTIATE_TEST_SUITE_P(Types, ReadingHeadingTest,
                         ::testing::Values(std::make_tuple("DIALGAGE", true, "(psi)", "(bar)"),
                                           std::make_tuple("DIALGAGE", false, "(psi)", "(bar)"),
                                           std::make_tuple("P-SWITCH", true, "(mA)", "(VDC)"),
                                           std::make_tuple("CSOU", true, "(mA)", "(VDC)")));

TEST_F(CertificateTest, PointLettersCompareTheErrorByItsSize) {
  TestResults as_found = MakeResult(4, 0.0, {0.5, -0.5, -0.5001, 0.5001}, 0.5);
  // The header verdict comes from the result's own letters, not from this comparison.
  as_found.PassFailText.assign(4, "P");
  Draw(as_found, as_found);
  EXPECT_EQ(RowsWithTextAt(36), (std::vector<int>{36, 37, 38, 41, 42, 43, 44}));
  EXPECT_EQ(At(36, 41) + At(36, 42) + At(36, 43) + At(82, 44), "PPFF");
  EXPECT_EQ(At(28, 42), "-0.500");
  EXPECT_EQ(At(28, 19), "Pass");
}

TEST_F(CertificateTest, ShortColumnsPrintOnlyTheRowsPresent) {
  TestResults as_found = MakeResult(3);
  as_found.Profile.NumberOfPoints = 5;
  TestResults as_left = MakeResult(4);
  as_left.ErrorFS.resize(2);

  EXPECT_EQ(Draw(as_found, as_left), 46);

  EXPECT_EQ(RowsWithTextAt(3), (std::vector<int>{41, 42, 43}));
  EXPECT_EQ(RowsWithTextAt(49), (std::vector<int>{41, 42}));
  EXPECT_EQ(RuleRows(), (std::vector<int>{31, 47, 31}));
}

TEST_F(CertificateTest, TitleAndFontsInUse) {
  const TestResults result = MakeResult(2);
  Draw(result, result);
  ASSERT_EQ(canvas_.fonts_asked.size(), 3u);
  const RecordingCanvas::Text* title = canvas_.Find("CALIBRATION CERTIFICATE");
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->rect, (PixelRect{150, 1000, 850, 1099}));
  EXPECT_EQ(title->align, TextAlign::Centre);
  EXPECT_EQ(title->font.face, "Times New Roman");
  EXPECT_EQ(canvas_.Find(" CALIBRATION DATA ")->font.height, 110);
  EXPECT_EQ(canvas_.Find(" AS LEFT ")->font.weight, 550);
  EXPECT_EQ(canvas_.Find("Approved By:")->font.weight, 550);
}

TEST_F(CertificateTest, FontFailureDrawsNothing) {
  const TestResults result = MakeResult(2);
  canvas_.refuse_font = 2;
  EXPECT_EQ(Draw(result, result), std::nullopt);
  EXPECT_EQ(prompter_.Texts(), (std::vector<std::string>{"Can't create fonts"}));
  EXPECT_TRUE(canvas_.texts.empty());
  EXPECT_TRUE(canvas_.rules.empty());
}

}  // namespace
}  // namespace veld
