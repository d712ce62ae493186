#include "ui/certificate_printing.h"

#include <QFile>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include "platform/file_error.h"
#include "reports/certificate.h"
#include "ui/qt_certificate_canvas.h"

namespace veld {
namespace {

// The name that a failed job is reported under: the output file, else the printer.
std::string JobTarget(const QPrinter& printer) {
  const QString file = printer.outputFileName();
  return (file.isEmpty() ? printer.printerName() : file).toStdString();
}

}  // namespace

void SetUpCertificatePrintDialog(QPrintDialog& dialog) {
  dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
  dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
  // A desktop without a printer still prints the certificate to a PDF file.
  dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
  dialog.setMinMax(1, 1);
}

std::optional<int> PrintCertificate(QPrinter& printer, const TestResults& as_found, const TestResults& as_left,
                                    double pressure_factor, Prompter& prompter) {
  printer.setDocName(QString::fromLatin1(kCertificateDocumentName));
  QPainter painter;
  if (!painter.begin(&printer)) {
    throw FileError(FileError::Cause::Generic, JobTarget(printer), "the print job could not be started");
  }
  QtCertificateCanvas canvas(painter);
  const std::optional<int> certificate_row = DrawCertificate(canvas, as_found, as_left, pressure_factor, prompter);
  if (!painter.end()) {
    throw FileError(FileError::Cause::Generic, JobTarget(printer), "the print job could not be finished");
  }
  return certificate_row;
}

bool PrintCertificateWithDialog(QWidget* parent, const TestResults& as_found, const TestResults& as_left,
                                double pressure_factor, Prompter& prompter) {
  QPrinter printer(QPrinter::HighResolution);
  QPrintDialog dialog(&printer, parent);
  SetUpCertificatePrintDialog(dialog);
  if (dialog.exec() != QDialog::Accepted) return false;
  PrintCertificate(printer, as_found, as_left, pressure_factor, prompter);
  return true;
}

std::optional<int> WriteCertificatePdf(const std::string& host_path, const TestResults& as_found,
                                       const TestResults& as_left, double pressure_factor, Prompter& prompter) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QFile::decodeName(host_path.c_str()));
  // A quarter inch all round, about what a printer cannot reach.
  printer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                    QMarginsF(6.35, 6.35, 6.35, 6.35), QPageLayout::Millimeter));
  return PrintCertificate(printer, as_found, as_left, pressure_factor, prompter);
}

}  // namespace veld
