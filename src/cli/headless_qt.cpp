#include "cli/headless_qt.h"

#include <QApplication>
#include <QGuiApplication>
#include <QtGlobal>

#include <cstdio>

namespace veld::cli {
namespace {

// Qt's own notes about the headless environment (no runtime folder, no display) are
// not the program's messages; only its errors reach stderr.
void QtErrorsOnly(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

}  // namespace

HeadlessQt::HeadlessQt(Kind kind) {
  if (QCoreApplication::instance() != nullptr) return;
  qInstallMessageHandler(QtErrorsOnly);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (kind == Kind::Widgets) {
    application_ = std::make_unique<QApplication>(argc_, argv_);
  } else {
    application_ = std::make_unique<QGuiApplication>(argc_, argv_);
  }
}

HeadlessQt::~HeadlessQt() = default;

}  // namespace veld::cli
