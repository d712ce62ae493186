#pragma once
// The desktop program put together: the main window's widgets, the Qt services and the
// window's state and commands. Tests build it with services of their own.

#include <memory>

#include "app/main_window.h"
#include "ui/desktop_services.h"
#include "ui/main_window_widget.h"
#include "ui/test_profile_widgets.h"
#include "ui/uut_setup_widget.h"
#include "ui/report_dialogs.h"

namespace veld {

// Gives every window of the program the gauge icon.
void UseProgramIcon();

// Services that replace the Qt ones (null: the Qt one).
struct DesktopOverrides {
  Prompter* prompter = nullptr;
  PasswordEntry* password_entry = nullptr;
  CertificatePrinter* printer = nullptr;
  SaveAsQuestion* save_as = nullptr;
  AdministratorDialog* administrator = nullptr;
  CalibratorFolderStore* calibrator_folder = nullptr;
  OpenFileQuestion* open_file = nullptr;
  CertificateHeaderDialog* certificate_header = nullptr;
  UUTEditor* uut_editor = nullptr;
  ProfileEditor* profile_editor = nullptr;
  ReportWindows* report_windows = nullptr;
};

class DesktopProgram {
 public:
  explicit DesktopProgram(const DesktopOverrides& overrides = {});
  ~DesktopProgram();

  // Window initialisation; false when the system is locked out (no window is shown).
  bool StartUp();

  MainWindowWidget& widget() { return *widget_; }
  CRapiTestDlg& window() { return *window_; }

  // The About box, modal.
  void ShowAbout();
  // The "Calibrator folder..." command.
  void ChooseCalibratorFolder();

 private:
  std::unique_ptr<MainWindowWidget> widget_;
  QtPrompter qt_prompter_;
  QtPasswordEntry qt_password_entry_;
  QtSaveAsQuestion qt_save_as_;
  QtAdministratorDialog qt_administrator_;
  QtCalibratorFolderStore qt_calibrator_folder_;
  QtReportWindows qt_report_windows_;
  QtOpenFileQuestion qt_open_file_;
  Prompter& prompter_;
  QtCertificateHeaderDialog qt_certificate_header_;
  QtCertificatePrinter qt_printer_;
  CalibratorFolderStore& calibrator_folder_;
  QtUUTEditor qt_uut_editor_;
  QtProfileEditor qt_profile_editor_;
  std::unique_ptr<CRapiTestDlg> window_;
};

}  // namespace veld
