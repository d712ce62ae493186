#pragma once
// The password entry dialog and the administrator settings dialog, bound to their forms.

#include <QDialog>

#include "app/password_dialogs.h"

class QCheckBox;
class QLineEdit;

namespace veld {

class PasswordEntryDialog : public QDialog {
  Q_OBJECT
 public:
  PasswordEntryDialog(PasswordEntryForm& form, QWidget* parent = nullptr);
  void accept() override;

 private:
  PasswordEntryForm& form_;
  QLineEdit* name_ = nullptr;
  QLineEdit* id_ = nullptr;
  QLineEdit* password_ = nullptr;
};

class AdministratorSettingsDialog : public QDialog {
  Q_OBJECT
 public:
  AdministratorSettingsDialog(PasswordConfigureForm& form, QWidget* parent = nullptr);

 private:
  QCheckBox* AddBox(PasswordConfigureForm::Box box, const char* label, const char* object_name);
  PasswordConfigureForm& form_;
};

}  // namespace veld
