#pragma once
// The Qt side of the window's services: message boxes, the password entry and
// administrator dialogs, the print dialog, the Save As dialog, and the remembered
// calibrator folder.

#include <QPointer>
#include <QWidget>

#include "app/main_window.h"
#include "app/window_services.h"
#include "app/password_check.h"
#include "platform/prompter.h"
#include "reports/collation.h"

namespace veld {

class QtPrompter : public Prompter {
 public:
  explicit QtPrompter(QWidget* parent) : parent_(parent) {}
  void Message(const std::string& text, MessageIcon icon = MessageIcon::None) override;
  bool AskYesNo(const std::string& question) override;

 private:
  QPointer<QWidget> parent_;
};

class QtPasswordEntry : public PasswordEntry {
 public:
  explicit QtPasswordEntry(QWidget* parent) : parent_(parent) {}
  bool Run(const std::string& prompt, Operator& op) override;

 private:
  QPointer<QWidget> parent_;
};

class QtAdministratorDialog : public AdministratorDialog {
 public:
  explicit QtAdministratorDialog(QWidget* parent) : parent_(parent) {}
  void Run(PasswordConfigureForm& form) override;

 private:
  QPointer<QWidget> parent_;
};

// The certificate on the printer chosen in the system print dialog (or a PDF file).
class QtCertificatePrinter : public CertificatePrinter {
 public:
  QtCertificatePrinter(QWidget* parent, Prompter& prompter) : parent_(parent), prompter_(prompter) {}
  void PrintCertificate(const TestResults& as_found, const TestResults& as_left, double pressure_factor) override;

 private:
  QPointer<QWidget> parent_;
  Prompter& prompter_;
};

class QtSaveAsQuestion : public SaveAsQuestion {
 public:
  explicit QtSaveAsQuestion(QWidget* parent) : parent_(parent) {}
  std::optional<std::string> AskSaveAs(const std::string& proposed_path, const std::string& default_extension) override;

 private:
  QPointer<QWidget> parent_;
};

class QtOpenFileQuestion : public OpenFileQuestion {
 public:
  explicit QtOpenFileQuestion(QWidget* parent) : parent_(parent) {}
  std::optional<std::string> AskOpen(const std::string& caption, const std::string& start_folder,
                                     const std::string& extension) override;

 private:
  QPointer<QWidget> parent_;
};

class QtCertificateHeaderDialog : public CertificateHeaderDialog {
 public:
  QtCertificateHeaderDialog(QWidget* parent, Prompter& prompter) : parent_(parent), prompter_(prompter) {}
  bool Run(LabHeaderForm& form) override;

 private:
  QPointer<QWidget> parent_;
  Prompter& prompter_;
};

// The calibrator folder kept in the desktop's own settings (never in the calibrator's tables).
class QtCalibratorFolderStore : public CalibratorFolderStore {
 public:
  std::string Load() override;
  void Save(const std::string& folder) override;
};

}  // namespace veld
