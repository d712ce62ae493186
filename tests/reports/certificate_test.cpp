#include "reports/certificate.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/format.h"
#include "support/recording_canvas.h"
#include "support/recording_prompter.h"

namespace veld {
namespace {

using test::RecordingCanvas;

// A page of 100 pixels per row and 10 per column: the cell (x, y) starts at (10x, 100y).
constexpr PageMetrics kRoundPage{700, 254, 1000};

// Every column has an entry per point; point i has pressure first + i, output 4 + i and
// error errors[i] (else 0.01 i); every letter is "P".
TestResults MakeResult(int count, double first = 0.0, std::vector<double> errors = {}) {
  TestResults result;
  result.Uut.ID = "PT-1001";
  result.Profile.NumberOfPoints = count;
  for (auto* column : {&result.PointNumberText, &result.TargetPressureText, &result.ActualPressureText,
                       &result.TargetOutputText, &result.ActualOutputText, &result.ErrorText}) {
    column->assign(count, "0");
  }
  result.PassFailText.assign(count, "P");
  for (int i = 0; i < count; ++i) {
    result.ActualPressure.push_back(first + i);
    result.ActualOutput.push_back(4.0 + i);
    result.ErrorFS.push_back(i < static_cast<int>(errors.size()) ? errors[i] : 0.01 * i);
  }
  return result;
}

class CertificateTest : public ::testing::Test {
 protected:
  std::optional<int> Draw(const TestResults& as_found, const TestResults& as_left, double factor = 1.0,
                          const std::optional<CertificateIssue>& issue = std::nullopt) {
    canvas_.texts.clear();
    canvas_.rules.clear();
    canvas_.images.clear();
    return issue ? DrawCertificate(canvas_, as_found, as_left, factor, prompter_, *issue)
                 : DrawCertificate(canvas_, as_found, as_left, factor, prompter_);
  }
  // The texts whose box starts on row y, by column, as "x:text|..."; with boxes, as
  // "x,w,A|..." with the width in columns and the alignment (L, C or R).
  std::string Row(int y, bool boxes = false) const {
    std::vector<const RecordingCanvas::Text*> row;
    for (const auto& text : canvas_.texts) {
      if (text.rect.top == y * 100) row.push_back(&text);
    }
    std::stable_sort(row.begin(), row.end(), [](auto* a, auto* b) { return a->rect.left < b->rect.left; });
    std::string out;
    for (const RecordingCanvas::Text* text : row) {
      out += Format("%s%d", out.empty() ? "" : "|", text->rect.left / 10);
      out += boxes ? Format(",%d,%c", text->rect.Width() / 10, "LCR"[static_cast<int>(text->align)]) : ":" + text->text;
    }
    return out;
  }
  std::vector<int> RuleRows() const {
    std::vector<int> rows;
    for (const PixelRect& rule : canvas_.rules) rows.push_back(rule.top / 100);
    return rows;
  }

  RecordingCanvas canvas_{kRoundPage};
  test::RecordingPrompter prompter_;
};

TEST(PageGrid, RowHeightAndColumnWidthAreTruncatedAndSizeTheFonts) {
  // 600 dpi over 266 mm is 6283.46 pixels, 89.76 per row; 4961 pixels give 49 per column.
  const PageGrid grid(PageMetrics{600, 266, 4961});
  EXPECT_EQ(grid.Rect(28, 18, 30, 1), (PixelRect{1372, 1602, 2842, 1690}));
  EXPECT_EQ(grid.Rect(3, 63, 94, 0), (PixelRect{147, 5607, 4753, 5606}));  // a rule
  EXPECT_EQ(CertificateBodyFont(grid), (FontRequest{"Quarry Slab Font", 89, 49, 550, false, FontFamily::Modern}));
  EXPECT_EQ(CertificateHeadingFont(grid), (FontRequest{"Quarry Slab Font", 97, 53, 750, false, FontFamily::Modern}));
  EXPECT_EQ(CertificateTitleFont(grid), (FontRequest{"Times New Roman", 133, 73, 750, true, FontFamily::Roman, true}));
}

TEST_F(CertificateTest, TwentyOnePointsFitThePage) {
  TestResults as_left = MakeResult(21, 100.0);
  as_left.ModuleSerialNumber = "ZX-77";
  as_left.ModuleCalDate = OleDateTime(2010, 11, 2, 0, 0, 0);
  as_left.CalibratorSerialNumber = "VELD-0042";
  as_left.CalibratorCalDate = OleDateTime(2011, 3, 7, 0, 0, 0);
  EXPECT_EQ(Draw(MakeResult(21), as_left), 63);
  EXPECT_EQ(Row(61), "3:    20.0000|18:24.0000|28: 0.200|36:P|49:   120.0000|64:24.0000|74: 0.200|82:P");
  EXPECT_EQ(Row(62), "");
  EXPECT_EQ(RuleRows(), (std::vector<int>{31, 63, 31}));
  EXPECT_EQ(Row(64) + Row(65), "8:ZEXO serial number: ZX-778:ZEXO calibration date: 11/02/2010");
  EXPECT_EQ(Row(66) + Row(67), "8:VELD serial number: VELD-00428:VELD calibration date: 03/07/2011");
  EXPECT_EQ(Row(68), "");
  EXPECT_TRUE(prompter_.entries.empty());
}

TEST_F(CertificateTest, OneSideAloneSizesTheTableByItsOwnPoints) {
  // One selected result is read into both records; the unselected side has 0 points.
  TestResults selected = MakeResult(5), unselected = MakeResult(5);
  unselected.Profile.NumberOfPoints = 0;
  unselected.ModuleSerialNumber = "FROM-AS-LEFT";
  EXPECT_EQ(Draw(selected, unselected), 47);
  EXPECT_EQ(Row(19) + Row(22), "2:As Found Pass/Fail:|28:Pass|50:As Left Pass/Fail:|74:N/A"
                               "2:Number of Test Points:|28:5|50:Perform Leak Test?:|74:No");
  EXPECT_EQ(Row(45), "3:     4.0000|18: 8.0000|28: 0.040|36:P");
  EXPECT_EQ(Row(46), "");
  EXPECT_EQ(RuleRows(), (std::vector<int>{31, 47, 31}));
  EXPECT_EQ(Row(48) + Row(51), "8:ZEXO serial number: FROM-AS-LEFT8:VELD calibration date: 12/30/1899");

  selected.Profile.NumberOfPoints = 3;
  EXPECT_EQ(Draw(unselected, selected), 45);
  EXPECT_EQ(Row(19) + Row(22), "2:As Found Pass/Fail:|28:N/A|50:As Left Pass/Fail:|74:Pass"
                               "2:Number of Test Points:|28:3|50:Perform Leak Test?:|74:No");
  EXPECT_EQ(Row(43), "49:     2.0000|64: 6.0000|74: 0.020|82:P");
  EXPECT_EQ(RuleRows(), (std::vector<int>{31, 45, 31}));
}

TEST_F(CertificateTest, HeaderValuesAndTheirFormsWithoutAValue) {
  // Ranges, leak rate and stability in psi at 2 Pa each: the UUT holds -0.25 to 0.25.
  TestResults result = MakeResult(2);
  result.Uut.SetOutputType("CSOU");
  result.Uut.InputUnits = "psi";
  result.Uut.MaxLeakRate = 0.5;
  result.LeakValue = 0.5;
  result.Profile.LeakTest = true;
  result.DateTimeTested = OleDateTime(2011, 3, 7, 9, 5, 0);
  TestResults as_left = result;
  as_left.DateTimeTested = OleDateTime(2011, 3, 7, 10, 45, 0);
  Draw(result, as_left, 2.0);
  const RecordingCanvas::Text& title = canvas_.texts.front();
  EXPECT_EQ(title.text + title.font.face, "CALIBRATION CERTIFICATETimes New Roman");
  EXPECT_EQ(title.rect, (PixelRect{150, 962, 850, 1136}));  // rows 9.625 to 11.375
  // The As Left test's time beside the As Found one.
  EXPECT_EQ(Row(18), "2:Date Time Tested:|28:03/07/2011 09:05|50:As Left Tested:|74:03/07/2011 10:45");
  EXPECT_EQ(Row(22), "2:Number of Test Points:|28:2|50:Perform Leak Test?:|74:Yes");
  EXPECT_EQ(Row(26), "6:Input Range:|28:-0.125 to 0.125 psi|56:Output Range:|74:4 to 20 mA");
  EXPECT_EQ(Row(27), "6:Accuracy:|28:1 %FS|54:Max. Leak Rate:|74:0.25 psi");
  EXPECT_EQ(Row(28), "6:Excitation:|28:5 VDC|54:Req'd Ctrl Stab:|74:0.00015 psi");
  // Labels right-aligned, values left; the ranges and the stability get their text length
  // + 3 (output range + 1) columns.
  EXPECT_EQ(Row(26, true) + Row(28, true), "6,20,R|28,22,L|56,16,R|74,11,L6,20,R|28,20,L|54,18,R|74,14,L");
  EXPECT_EQ(canvas_.Find(" CALIBRATION DATA ")->font.height, 110);  // the heading font

  result.Uut.Excitation = -1.0;
  result.Profile.LeakTest = false;
  result.DateTimeTested = OleDateTime(0.0, OleDateTime::invalid);
  result.Profile.NumberOfPoints = 0;  // the As Left side missing: no As Left time
  result.ModuleCalDate = OleDateTime(0.0, OleDateTime::null);
  TestResults as_found = result;
  as_found.Profile.NumberOfPoints = 2;
  Draw(as_found, result, 2.0);
  EXPECT_EQ(Row(18), "2:Date Time Tested:|28:-01/-01/-0001 -1:-1");
  EXPECT_EQ(Row(27) + Row(27, true), "6:Accuracy:|28:1 %FS|54:Max. Leak Rate:|74:N/A6,20,R|28,20,L|54,18,R|74,4,L");
  EXPECT_EQ(Row(28), "6:Excitation:|28:EXTERNAL|54:Req'd Ctrl Stab:|74:0.00015 psi");
  EXPECT_EQ(Row(46), "8:ZEXO calibration date: -1/-1/-001");
  result.Uut.Excitation = 0.0;
  Draw(result, result, 2.0);
  EXPECT_EQ(Row(28), "6:Excitation:|28:0 VDC|54:Req'd Ctrl Stab:|74:0.00015 psi");
}

TEST_F(CertificateTest, LongValuesAreCutToTheirBuffersAndBoxes) {
  TestResults result = MakeResult(100);
  result.Uut.InputUnits = std::string(60, 'u');
  Draw(result, result);
  // A buffer of 50 characters keeps 49; a unit heading keeps 15; the count's box two digits.
  EXPECT_EQ(canvas_.TextsAt(280, 2600).at(0)->text, "-0.25 to 0.25 " + std::string(35, 'u'));
  EXPECT_EQ(canvas_.TextsAt(60, 3800).at(0)->text, "(" + std::string(14, 'u'));
  const RecordingCanvas::Text& count = *canvas_.TextsAt(280, 2200).at(0);
  EXPECT_EQ(count.text + " " + RecordingCanvas::Visible(count), "100 10");
}

TEST_F(CertificateTest, DialGaugeOnEitherSideShowsInputUnitsUnderBothReadings) {
  // The As Found UUT reads psi and mA, the As Left one bar and VDC.
  for (const auto& [type, on_as_found, found, left] : {std::tuple{"DIALGAGE", true, "(psi)", "(bar)"},
                                                       {"DIALGAGE", false, "(psi)", "(bar)"},
                                                       {"P-SWITCH", true, "(mA)", "(VDC)"}}) {
    TestResults as_found = MakeResult(2), as_left = MakeResult(2);
    as_found.Uut.InputUnits = "psi";
    as_left.Uut.InputUnits = "bar";
    as_left.Uut.SetOutputType("3WIR");
    (on_as_found ? as_found : as_left).Uut.SetOutputType(type);
    as_found.Uut.OutputUnits = "mA";
    as_left.Uut.OutputUnits = "VDC";
    Draw(as_found, as_left);
    EXPECT_EQ(Row(38), Format("6:(psi)|18:%s|28:(%% FS)|36:(P/F)|52:(bar)|64:%s|74:(%% FS)|82:(P/F)", found, left));
  }
}

TEST_F(CertificateTest, PointLettersCompareTheErrorByItsSizeAndShortColumnsPrintOnlyTheRowsPresent) {
  TestResults as_found = MakeResult(4, 0.0, {0.5, -0.5, -0.5001, 0.5001});
  as_found.Uut.Accuracy = 0.5;
  as_found.Profile.NumberOfPoints = 6;
  TestResults as_left = as_found;
  as_left.Profile.NumberOfPoints = 5;
  as_left.ErrorFS.resize(2);
  EXPECT_EQ(Draw(as_found, as_left), 47);
  EXPECT_EQ(Row(42), "3:     1.0000|18: 5.0000|28:-0.500|36:P|49:     1.0000|64: 5.0000|74:-0.500|82:P");
  EXPECT_EQ(Row(43), "3:     2.0000|18: 6.0000|28:-0.500|36:F");
  EXPECT_EQ(Row(44) + "/" + Row(45), "3:     3.0000|18: 7.0000|28: 0.500|36:F/");
  EXPECT_EQ(RuleRows(), (std::vector<int>{31, 48, 31}));
  EXPECT_EQ(Row(19), "2:As Found Pass/Fail:|28:Pass|50:As Left Pass/Fail:|74:Pass");  // from the result's letters
}

// "text @ left,top,right,bottom font-height alignment", one per text drawn.
std::vector<std::string> Drawn(const std::vector<RecordingCanvas::Text>& texts) {
  std::vector<std::string> drawn;
  for (const auto& t : texts) {
    drawn.push_back(Format("%s @ %d,%d,%d,%d %d%c", t.text.c_str(), t.rect.left, t.rect.top, t.rect.right,
                           t.rect.bottom, t.font.height, "LCR"[static_cast<int>(t.align)]));
  }
  return drawn;
}

TEST_F(CertificateTest, AnIssuedCertificateAddsItsNumberBesideTheTitleAndTheHeaderAboveIt) {
  const TestResults as_found = MakeResult(3), as_left = MakeResult(3, 5.0);
  Draw(as_found, as_left);
  const std::vector<std::string> page = Drawn(canvas_.texts);
  const std::vector<PixelRect> rules = canvas_.rules;

  // Without a header the page is the same but for the number.
  CertificateIssue issue;
  issue.number = 42;
  Draw(as_found, as_left, 1.0, issue);
  std::vector<std::string> expected = page;
  expected.insert(expected.begin() + 1, "Certificate No. 000042 @ 720,962,970,1136 100R");
  EXPECT_EQ(Drawn(canvas_.texts), expected);
  EXPECT_TRUE(canvas_.images.empty());

  issue.header = LabHeader{"Acme Calibration", {"1 Gauge Road", "Springfield"}, {"ISO/IEC 17025"}, "LabLogo.png"};
  issue.logo_host_path = "/root/LabLogo.png";
  Draw(as_found, as_left, 1.0, issue);
  // The name in the heading font, then the lines in the body font, centred on the page.
  expected.insert(expected.begin(), {"Acme Calibration @ 170,25,830,174 110C", "1 Gauge Road @ 170,200,830,311 100C",
                                     "Springfield @ 170,312,830,424 100C", "ISO/IEC 17025 @ 170,450,830,561 100C"});
  EXPECT_EQ(Drawn(canvas_.texts), expected);
  ASSERT_EQ(canvas_.images.size(), 1u);
  EXPECT_EQ(canvas_.images[0], (std::pair{PixelRect{30, 25, 150, 899}, std::string("/root/LabLogo.png")}));
  EXPECT_EQ(canvas_.rules, rules);
}

TEST_F(CertificateTest, FontFailureDrawsNothing) {
  canvas_.refuse_font = 2;
  EXPECT_EQ(Draw(MakeResult(2), MakeResult(2)), std::nullopt);
  EXPECT_EQ(prompter_.Texts(), (std::vector<std::string>{"Can't create fonts"}));
  EXPECT_TRUE(canvas_.texts.empty() && canvas_.rules.empty());
}

}  // namespace
}  // namespace veld
