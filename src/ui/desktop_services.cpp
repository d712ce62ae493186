#include "ui/desktop_services.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QSettings>

#include "app/main_window_texts.h"
#include "ui/certificate_printing.h"
#include "ui/lab_header_dialog.h"
#include "ui/latin1.h"
#include "ui/operator_dialogs.h"

namespace veld {
namespace {

constexpr const char* kCalibratorFolderKey = "CalibratorFolder";

QSettings DesktopSettings() { return QSettings(QStringLiteral("Veldane"), QStringLiteral("Veldane Manager")); }

}  // namespace

void QtPrompter::Message(const std::string& text, MessageIcon icon) {
  QMessageBox box(icon == MessageIcon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon,
                  QString::fromLatin1(kProgramName), Latin1Lines(text), QMessageBox::Ok, parent_);
  box.setObjectName(QStringLiteral("messageBox"));
  box.exec();
}

bool QtPrompter::AskYesNo(const std::string& question) {
  QMessageBox box(QMessageBox::Question, QString::fromLatin1(kProgramName), Latin1Lines(question),
                  QMessageBox::Yes | QMessageBox::No, parent_);
  box.setObjectName(QStringLiteral("questionBox"));
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

bool QtPasswordEntry::Run(const std::string& prompt, Operator& op) {
  PasswordEntryForm form(prompt);
  PasswordEntryDialog dialog(form, parent_);
  if (dialog.exec() != QDialog::Accepted) return false;
  form.Accept(op);
  return true;
}

void QtAdministratorDialog::Run(PasswordConfigureForm& form) {
  AdministratorSettingsDialog dialog(form, parent_);
  dialog.exec();
}

void QtCertificatePrinter::PrintCertificate(const TestResults& as_found, const TestResults& as_left,
                                            double pressure_factor) {
  PrintCertificateWithDialog(parent_, as_found, as_left, pressure_factor, prompter_);
}

std::optional<std::string> QtSaveAsQuestion::AskSaveAs(const std::string& proposed_path,
                                                        const std::string& default_extension) {
  QFileDialog dialog(parent_);
  dialog.setObjectName(QStringLiteral("saveAsDialog"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(QString::fromLatin1(default_extension.c_str()));
  dialog.selectFile(HostPathText(proposed_path));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return HostPathOf(dialog.selectedFiles().front());
}

std::optional<std::string> QtOpenFileQuestion::AskOpen(const std::string& caption, const std::string& start_folder,
                                                       const std::string& extension) {
  QFileDialog dialog(parent_, Latin1(caption), HostPathText(start_folder));
  dialog.setObjectName(QStringLiteral("openDialog"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  const QString suffix = QString::fromLatin1(extension.c_str());
  dialog.setNameFilters({suffix.toUpper() + QStringLiteral(" files (*.") + suffix + QStringLiteral(")"),
                         QStringLiteral("All files (*)")});
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return HostPathOf(dialog.selectedFiles().front());
}

bool QtCertificateHeaderDialog::Run(LabHeaderForm& form) {
  LabHeaderDialog dialog(form, prompter_, parent_);
  return dialog.exec() == QDialog::Accepted;
}

std::string QtCalibratorFolderStore::Load() {
  return HostPathOf(DesktopSettings().value(QString::fromLatin1(kCalibratorFolderKey)).toString());
}

void QtCalibratorFolderStore::Save(const std::string& folder) {
  DesktopSettings().setValue(QString::fromLatin1(kCalibratorFolderKey), HostPathText(folder));
}

}  // namespace veld
