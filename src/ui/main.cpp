// veldane-manager: the desktop program.

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

#include "app/main_window.h"
#include "app/main_window_texts.h"
#include "platform/file_error.h"
#include "ui/desktop_program.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Veldane Manager"));
  QApplication::setOrganizationName(QStringLiteral("Veldane"));
  veld::UseProgramIcon();
  QGuiApplication::setDesktopFileName(QStringLiteral("veldane-manager"));
  try {
    veld::DesktopProgram program;
    if (!program.StartUp()) {
      // A launcher shows nothing of a program that ends at once; the terminal says why.
      std::fprintf(stderr, "%s\n", veld::kLockedOutNotice);
      return 3;
    }
    program.widget().show();
    program.widget().exec();
    return 0;
  } catch (const veld::FileError& error) {
    // The data folders could not be opened or created: nothing to show a window on.
    std::fprintf(stderr, "%s\n", error.what());
    QMessageBox::critical(nullptr, QString::fromLatin1(veld::kProgramName), QString::fromLocal8Bit(error.what()));
    return 1;
  }
}
