#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/file_error.h"
#include "reports/certificate.h"
#include "support/recording_prompter.h"
#include "support/temp_root.h"
#include "ui/certificate_printing.h"
#include "ui/qt_certificate_canvas.h"

namespace veld {
namespace {

bool HavePdfToText() { return std::system("command -v pdftotext >/dev/null 2>&1") == 0; }

// The text of a PDF file as pdftotext reads it, in reading order.
std::string PdfText(const std::string& pdf_path) {
  const std::string text_path = pdf_path + ".txt";
  const std::string command = "pdftotext -enc Latin1 '" + pdf_path + "' '" + text_path + "'";
  if (std::system(command.c_str()) != 0) return "<pdftotext failed>";
  return test::ReadBytes(text_path);
}

TestResults MakeResult(bool as_found, double first_pressure) {
  TestResults result;
  result.AsFound = as_found;
  result.Uut.ID = "PT-1001";
  result.Uut.SerialNumber = "SN-9";
  result.Uut.InputUnits = "psi";
  result.Uut.InputOffset = 0.0;
  result.Uut.InputSpan = 100.0;
  result.Profile.ID = "STD3";
  result.Profile.NumberOfPoints = 3;
  result.DateTimeTested = OleDateTime(2011, 3, 7, 9, 5, 0);
  for (int i = 0; i < 3; ++i) {
    result.ActualPressure.push_back(first_pressure + 10.0 * i);
    result.ActualOutput.push_back(4.0 + i);
    result.ErrorFS.push_back(0.125 * i);
    for (auto* column : {&result.PointNumberText, &result.TargetPressureText, &result.ActualPressureText,
                         &result.TargetOutputText, &result.ActualOutputText, &result.ErrorText}) {
      column->push_back("0");
    }
    result.PassFailText.push_back("P");
  }
  result.ModuleSerialNumber = "ZX-77";
  result.ModuleCalDate = OleDateTime(2010, 11, 2, 0, 0, 0);
  result.CalibratorSerialNumber = "VELD-0042";
  result.CalibratorCalDate = OleDateTime(2011, 3, 7, 0, 0, 0);
  return result;
}

class CertificatePdfTest : public test::TempRootTest {};

TEST_F(CertificatePdfTest, PrintsTheWholePage) {
  if (!HavePdfToText()) GTEST_SKIP() << "pdftotext is not installed";
  const std::string path = temp_.root() + "/certificate.pdf";
  test::RecordingPrompter prompter;

  const std::optional<int> row =
      WriteCertificatePdf(path, MakeResult(true, 0.0), MakeResult(false, 55.0), 2.0, prompter);

  EXPECT_EQ(row, 45);
  EXPECT_TRUE(prompter.entries.empty());
  const std::string text = PdfText(path);
  for (const char* expected :
       {"CALIBRATION CERTIFICATE", "Approved By:", "03/07/2011 09:05", "PT-1001", "SN-9", "0 to 50 psi",
        "CALIBRATION DATA", "AS FOUND", "AS LEFT", "(psi)", "20.0000", "75.0000", "0.250",
        "ZEXO serial number: ZX-77", "ZEXO calibration date: 11/02/2010", "VELD serial number: VELD-0042",
        "VELD calibration date: 03/07/2011"}) {
    EXPECT_NE(text.find(expected), std::string::npos) << "missing: " << expected << "\n" << text;
  }
  EXPECT_NE(text.find("CALIBRATION CERTIFICATE"), std::string::npos);
  // One page only.
  EXPECT_EQ(text.find('\f'), text.size() - 1);
}

TEST_F(CertificatePdfTest, AFolderThatDoesNotExistIsAFileError) {
  test::RecordingPrompter prompter;
  const TestResults result = MakeResult(true, 0.0);
  EXPECT_THROW(WriteCertificatePdf(temp_.root() + "/missing/certificate.pdf", result, result, 1.0, prompter),
               FileError);
}

TEST(QtCertificateCanvas, FontsTakeThePrintersCellHeightAndAverageWidth) {
  QImage page(2000, 2000, QImage::Format_RGB32);
  page.setDotsPerMeterX(23622);  // 600 dpi
  page.setDotsPerMeterY(23622);
  QPainter painter(&page);
  QtCertificateCanvas canvas(painter);
  EXPECT_EQ(canvas.Metrics().log_pixels_y, 600);

  for (const FontRequest& request : {CertificateBodyFont(PageGrid(89, 49)), CertificateTitleFont(PageGrid(89, 49))}) {
    SCOPED_TRACE(request.face);
    const auto font = canvas.MakeFont(request);
    ASSERT_NE(font, nullptr);
    canvas.SelectFont(*font);
    const QFontMetricsF metrics = painter.fontMetrics();
    EXPECT_NEAR(metrics.height(), request.height, 0.05 * request.height);
    EXPECT_NEAR(metrics.averageCharWidth(), request.width, 0.1 * request.width);
    EXPECT_EQ(painter.font().underline(), request.underline);
  }
}

}  // namespace
}  // namespace veld
