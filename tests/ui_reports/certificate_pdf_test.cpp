#include <gtest/gtest.h>

#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <cstdio>

#include "platform/file_error.h"
#include "reports/page_grid.h"
#include "support/recording_prompter.h"
#include "support/temp_root.h"
#include "ui/certificate_printing.h"
#include "ui/qt_certificate_canvas.h"

namespace veld {
namespace {

// Three points from first_pressure in steps of 10 psi; point i reads 4 + i mA, off by 0.125 i %FS.
TestResults MakeResult(bool as_found, double first_pressure) {
  TestResults result;
  result.AsFound = as_found;
  result.Uut.ID = "PT-1001";
  result.Uut.InputUnits = "psi";
  result.Profile.NumberOfPoints = 3;
  result.DateTimeTested = OleDateTime(2011, 3, 7, 9, 5, 0);
  for (auto* column : {&result.PointNumberText, &result.TargetPressureText, &result.ActualPressureText,
                       &result.TargetOutputText, &result.ActualOutputText, &result.ErrorText, &result.PassFailText}) {
    column->assign(3, "P");
  }
  result.ActualPressure = {first_pressure, first_pressure + 10, first_pressure + 20};
  result.ActualOutput = {4.0, 5.0, 6.0};
  result.ErrorFS = {0.0, 0.125, 0.25};
  result.ModuleSerialNumber = "ZX-77";
  result.CalibratorCalDate = OleDateTime(2011, 3, 7, 0, 0, 0);
  return result;
}

using CertificatePdfTest = test::TempRootTest;

// The output of a command, stdout and stderr together.
std::string Output(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen((command + " 2>&1").c_str(), "r")) {
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

// An archived certificate: PDF/A-1b identified in its XMP packet, the same information in
// the document information dictionary, one page. (What the page says, and on which paper,
// is the command-line tests', against a layout kept word for word.)
TEST_F(CertificatePdfTest, IsPdfA1bWithItsInformationInBothPlaces) {
  test::RecordingPrompter prompter;
  CertificateIssue issue;
  issue.number = 1234;
  const std::string path = temp_.root() + "/c.pdf";
  ASSERT_EQ(WriteCertificatePdf(path, MakeResult(true, 0.0), MakeResult(false, 55.0), 2.0, prompter, Paper::A4, issue),
            45);
  const std::string info = Output("pdfinfo '" + path + "'");
  for (const char* expected : {"Title:           Cal Sheet\n", "Subject:         UUT PT-1001, Certificate No. 001234\n",
                               "Author:          Veldane Manager 3.04\n", "Creator:         Veldane Manager 3.04\n",
                               "CreationDate:    ", "Pages:           1\n"}) {
    EXPECT_NE(info.find(expected), std::string::npos) << expected << "\n" << info;
  }
  EXPECT_EQ(info.find("Error"), std::string::npos) << info;  // the rewritten cross-references hold
  const std::string meta = Output("pdfinfo -meta '" + path + "'");
  for (const char* expected :
       {"<pdfaid:part>1</pdfaid:part>", "<pdfaid:conformance>B</pdfaid:conformance>",
        "<rdf:li xml:lang=\"x-default\">Cal Sheet</rdf:li>", "<rdf:li>Veldane Manager 3.04</rdf:li>",
        "<rdf:li xml:lang=\"x-default\">UUT PT-1001, Certificate No. 001234</rdf:li>", "<xmp:CreateDate>"}) {
    EXPECT_NE(meta.find(expected), std::string::npos) << expected << "\n" << meta;
  }
  EXPECT_THROW(WriteCertificatePdf(temp_.root() + "/missing/c.pdf", MakeResult(true, 0), MakeResult(true, 0), 1.0,
                                   prompter),
               FileError);
}

// Printing to a PDF file from the print dialog gives the same archive file, on the page
// the dialog chose.
TEST_F(CertificatePdfTest, APdfFileChosenInThePrintDialogIsPdfA) {
  test::RecordingPrompter prompter;
  const std::string path = temp_.root() + "/dialog.pdf";
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(path));
  printer.setPageSize(QPageSize(QPageSize::A4));
  CertificateIssue issue;
  issue.number = 7;
  ASSERT_EQ(PrintOnChosenPrinter(printer, MakeResult(true, 0.0), MakeResult(false, 55.0), 2.0, prompter, issue), 45);
  EXPECT_NE(Output("pdfinfo -meta '" + path + "'").find("<pdfaid:part>1</pdfaid:part>"), std::string::npos);
  const std::string info = Output("pdfinfo '" + path + "'");
  EXPECT_NE(info.find("(A4)"), std::string::npos) << info;
  EXPECT_NE(info.find("Subject:         UUT PT-1001, Certificate No. 000007"), std::string::npos) << info;
}

// The title's font is half a row taller than a row. Drawn on pages of every size and
// resolution, its ink stays clear of its box's top and bottom (nothing is clipped) and
// its underline is there.
TEST(CertificateTitle, FitsItsBoxOnEveryPaperAndResolution) {
  test::RecordingPrompter prompter;
  for (const auto& [width_mm, height_mm] : {std::pair{203.2, 266.7}, {197.3, 284.3}}) {  // Letter and A4 less margins
    for (const int dpi : {72, 150, 300, 600}) {
      SCOPED_TRACE(::testing::Message() << width_mm << " mm at " << dpi << " dpi");
      QImage page(static_cast<int>(width_mm / 25.4 * dpi), static_cast<int>(height_mm / 25.4 * dpi),
                  QImage::Format_Grayscale8);
      page.setDotsPerMeterX(static_cast<int>(dpi / 0.0254 + 0.5));
      page.setDotsPerMeterY(static_cast<int>(dpi / 0.0254 + 0.5));
      page.fill(Qt::white);
      QPainter painter(&page);
      QtCertificateCanvas canvas(painter);
      const PageGrid grid(canvas.Metrics());
      ASSERT_EQ(DrawCertificate(canvas, MakeResult(true, 0.0), MakeResult(false, 5.0), 1.0, prompter), 45);
      painter.end();
      const PixelRect box = grid.Rect(kTitleBox.x, kTitleBox.y, kTitleBox.w, kTitleBox.h);
      int first = -1, last = -1, widest = 0, widest_row = -1;
      for (int y = box.top; y <= box.bottom; ++y) {
        int ink = 0;
        for (int x = box.left; x < box.right; ++x) ink += qGray(page.pixel(x, y)) < 128 ? 1 : 0;
        if (ink == 0) continue;
        if (first < 0) first = y;
        last = y;
        if (ink > widest) widest = ink, widest_row = y;
      }
      ASSERT_GE(first, 0) << "no title";
      EXPECT_GT(first, box.top) << "the capitals touch the top of the box";
      EXPECT_LT(last, box.bottom) << "the underline is cut at the bottom of the box";
      EXPECT_GT(widest_row, (first + last) / 2) << "no underline below the letters";
    }
  }
}

}  // namespace
}  // namespace veld
