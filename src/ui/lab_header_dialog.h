#pragma once
// The "Certificate header" dialog, bound to its form: the laboratory's name, address,
// accreditation and logo that certificates print above their title.

#include <QDialog>

#include "app/lab_header_form.h"
#include "platform/prompter.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace veld {

class LabHeaderDialog : public QDialog {
  Q_OBJECT
 public:
  LabHeaderDialog(LabHeaderForm& form, Prompter& prompter, QWidget* parent = nullptr);
  // OK: the texts into the form and its checks; the dialog stays open on a problem.
  void accept() override;
  // A logo file chosen (the Choose... button asks with a file dialog first).
  void ChooseLogo(const QString& path);

 private:
  void ShowLogo();

  LabHeaderForm& form_;
  Prompter& prompter_;
  QLineEdit* name_ = nullptr;
  QPlainTextEdit* address_ = nullptr;
  QPlainTextEdit* accreditation_ = nullptr;
  QLabel* logo_preview_ = nullptr;
  QLabel* logo_path_ = nullptr;
  QPushButton* remove_logo_ = nullptr;
};

}  // namespace veld
