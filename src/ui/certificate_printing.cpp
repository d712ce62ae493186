#include "ui/certificate_printing.h"

#include <QBuffer>
#include <QDateTime>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>

#include "database/desktop_settings.h"
#include "platform/binary_file.h"
#include "platform/file_error.h"
#include "reports/pdf_metadata.h"
#include "ui/latin1.h"
#include "ui/qt_certificate_canvas.h"

namespace veld {
namespace {

// The name that a failed job is reported under: the output file, else the printer.
std::string JobTarget(const QPrinter& printer) {
  const QString file = printer.outputFileName();
  return (file.isEmpty() ? printer.printerName() : file).toStdString();
}

// The resolution the PDF is drawn at, as a high-resolution printer would be.
constexpr int kPdfResolution = 1200;

UtcTime NowUtc() {
  const QDateTime now = QDateTime::currentDateTimeUtc();
  return UtcTime{now.date().year(), now.date().month(), now.date().day(),
                 now.time().hour(), now.time().minute(), now.time().second()};
}

QPageLayout LayoutOf(Paper paper) {
  // A quarter inch all round, about what a printer cannot reach.
  return QPageLayout(QPageSize(paper == Paper::A4 ? QPageSize::A4 : QPageSize::Letter), QPageLayout::Portrait,
                     QMarginsF(6.35, 6.35, 6.35, 6.35), QPageLayout::Millimeter);
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
                                    double pressure_factor, Prompter& prompter, const CertificateIssue& issue) {
  printer.setDocName(QString::fromLatin1(kCertificateDocumentName));
  QPainter painter;
  if (!painter.begin(&printer)) {
    throw FileError(FileError::Cause::Generic, JobTarget(printer), "the print job could not be started");
  }
  QtCertificateCanvas canvas(painter);
  const std::optional<int> certificate_row =
      DrawCertificate(canvas, as_found, as_left, pressure_factor, prompter, issue);
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
  DesktopSettingsStore store;
  PrintOnChosenPrinter(printer, as_found, as_left, pressure_factor, prompter, IssueCertificate(store));
  return true;
}

std::optional<int> PrintOnChosenPrinter(QPrinter& printer, const TestResults& as_found, const TestResults& as_left,
                                        double pressure_factor, Prompter& prompter, const CertificateIssue& issue) {
  if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
    return WriteCertificatePdf(HostPathOf(printer.outputFileName()), printer.pageLayout(), as_found, as_left,
                               pressure_factor, prompter, issue);
  }
  return PrintCertificate(printer, as_found, as_left, pressure_factor, prompter, issue);
}

std::optional<int> WriteCertificatePdf(const std::string& host_path, const TestResults& as_found,
                                       const TestResults& as_left, double pressure_factor, Prompter& prompter,
                                       Paper paper, const CertificateIssue& issue) {
  return WriteCertificatePdf(host_path, LayoutOf(paper), as_found, as_left, pressure_factor, prompter, issue);
}

// Qt writes the PDF/A-1b file (the embedded fonts, the colour profile, the XMP packet
// given to it) into memory; its document information dictionary holds only title,
// creator and producer, so it is replaced before the file is written.
std::optional<int> WriteCertificatePdf(const std::string& host_path, const QPageLayout& layout,
                                       const TestResults& as_found, const TestResults& as_left,
                                       double pressure_factor, Prompter& prompter, const CertificateIssue& issue) {
  const PdfDocumentInfo info =
      CertificateDocumentInfo(as_found, issue.number, "Qt " QT_VERSION_STR, NowUtc());
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  std::optional<int> certificate_row;
  {
    QPdfWriter writer(&buffer);
    writer.setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
    writer.setResolution(kPdfResolution);
    writer.setTitle(Latin1(info.title));
    writer.setCreator(Latin1(info.creator));
    const std::string xmp = PdfaXmpPacket(info);
    writer.setDocumentXmpMetadata(QByteArray(xmp.data(), static_cast<qsizetype>(xmp.size())));
    writer.setPageLayout(layout);
    QPainter painter;
    if (!painter.begin(&writer)) {
      throw FileError(FileError::Cause::Generic, host_path, "the PDF could not be started");
    }
    QtCertificateCanvas canvas(painter);
    certificate_row = DrawCertificate(canvas, as_found, as_left, pressure_factor, prompter, issue);
    if (!painter.end()) throw FileError(FileError::Cause::Generic, host_path, "the PDF could not be finished");
  }
  const QByteArray& written = buffer.data();
  const std::optional<std::string> pdf =
      WithDocumentInfo(std::string_view(written.constData(), static_cast<size_t>(written.size())), info);
  if (!pdf) throw FileError(FileError::Cause::Generic, host_path, "the PDF's document information could not be written");
  BinaryFile::ReplaceWholeFile(host_path, *pdf);
  return certificate_row;
}

}  // namespace veld
