#include "ui/desktop_program.h"

#include <QApplication>
#include <QFileDialog>
#include <QIcon>

#include "app/main_window_texts.h"
#include "ui/about_dialog.h"
#include "ui/latin1.h"

// The icon is compiled into this library; a static library's resources are registered by
// hand. Outside any namespace, as the registration requires.
static void RegisterDesktopResources() { Q_INIT_RESOURCE(resources); }

namespace veld {

void UseProgramIcon() {
  RegisterDesktopResources();
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/veldane-manager.svg")));
}

DesktopProgram::DesktopProgram(const DesktopOverrides& overrides)
    : widget_(std::make_unique<MainWindowWidget>()),
      qt_prompter_(widget_.get()),
      qt_password_entry_(widget_.get()),
      qt_save_as_(widget_.get()),
      qt_administrator_(widget_.get()),
      qt_report_windows_(widget_.get()),
      qt_open_file_(widget_.get()),
      prompter_(overrides.prompter ? *overrides.prompter : qt_prompter_),
      qt_certificate_header_(widget_.get(), prompter_),
      qt_printer_(widget_.get(), prompter_),
      calibrator_folder_(overrides.calibrator_folder ? *overrides.calibrator_folder : qt_calibrator_folder_),
      qt_uut_editor_(widget_.get(), prompter_),
      qt_profile_editor_(widget_.get(), prompter_) {
  WindowServices services{
      prompter_,
      overrides.password_entry ? *overrides.password_entry : qt_password_entry_,
      overrides.printer ? *overrides.printer : qt_printer_,
      overrides.save_as ? overrides.save_as : &qt_save_as_,
      overrides.administrator ? overrides.administrator : &qt_administrator_,
      overrides.uut_editor ? overrides.uut_editor : &qt_uut_editor_,
      overrides.profile_editor ? overrides.profile_editor : &qt_profile_editor_,
  };
  services.report_windows = overrides.report_windows ? overrides.report_windows : &qt_report_windows_;
  services.open_file = overrides.open_file ? overrides.open_file : &qt_open_file_;
  services.certificate_header =
      overrides.certificate_header ? overrides.certificate_header : &qt_certificate_header_;
  window_ = std::make_unique<CRapiTestDlg>(*widget_, services);
  widget_->Attach(*window_);
  QObject::connect(widget_.get(), &MainWindowWidget::aboutRequested, widget_.get(), [this] { ShowAbout(); });
  widget_->SetCalibratorFolderCommand([this] { ChooseCalibratorFolder(); });
}

DesktopProgram::~DesktopProgram() = default;

bool DesktopProgram::StartUp() {
  CalibratorSearch search = window_->calibrator_search();
  search.remembered_folder = calibrator_folder_.Load();
  window_->SetCalibratorSearch(std::move(search));
  return window_->StartUp();
}

void DesktopProgram::ShowAbout() {
  AboutDialog about(widget_.get());
  about.exec();
}

void DesktopProgram::ChooseCalibratorFolder() {
  const QString folder = QFileDialog::getExistingDirectory(
      widget_.get(), QString::fromLatin1(kCalibratorFolderDialogCaption),
      HostPathText(window_->calibrator_search().remembered_folder));
  if (folder.isEmpty()) return;
  window_->OnCalibratorFolderChosen(HostPathOf(folder), calibrator_folder_);
}

}  // namespace veld
