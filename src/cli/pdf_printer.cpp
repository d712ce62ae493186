#include "cli/pdf_printer.h"

#include <QGuiApplication>
#include <QtGlobal>

#include <cstdio>

#include "database/desktop_settings.h"
#include "ui/certificate_printing.h"

namespace veld::cli {
namespace {

// Qt's own notes about the headless environment (no runtime folder, no display) are
// not the program's messages; only its errors reach stderr.
void QtErrorsOnly(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

}  // namespace

PdfCertificatePrinter::PdfCertificatePrinter(Prompter& prompter) : prompter_(prompter) {}

PdfCertificatePrinter::~PdfCertificatePrinter() = default;

// Qt draws text only with an application object; the tool makes a headless one when it
// prints, so that the other commands never start Qt.
void PdfCertificatePrinter::EnsureGuiApplication() {
  if (QGuiApplication::instance() != nullptr) return;
  qInstallMessageHandler(QtErrorsOnly);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  application_ = std::make_unique<QGuiApplication>(argc_, argv_);
}

void PdfCertificatePrinter::PrintCertificate(const TestResults& as_found, const TestResults& as_left,
                                             double pressure_factor) {
  EnsureGuiApplication();
  DesktopSettingsStore store;
  const CertificateIssue issue = IssueCertificate(store);
  succeeded_ =
      WriteCertificatePdf(host_path_, as_found, as_left, pressure_factor, prompter_, paper_, issue).has_value();
}

}  // namespace veld::cli
