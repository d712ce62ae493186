#pragma once
// The "UUT Setup" dialog: a humble view of UUTSetupDlg. Every keystroke, choice and click
// goes to the form; the dialog then shows what the form holds. Texts the dialog writes
// itself (setText) never come back as user input: only textEdited is handled.

#include <QDialog>
#include <QPointer>
#include <array>

#include "app/uut_setup_dlg.h"
#include "app/window_services.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace veld {

class UUTSetupWidget : public QDialog {
  Q_OBJECT
 public:
  explicit UUTSetupWidget(UUTSetupDlg& form, QWidget* parent = nullptr);

  // OK closes the dialog only when the form accepts.
  void accept() override;

  QLineEdit* edit(UUTSetupDlg::Field field) const { return edits_[static_cast<size_t>(field)]; }

 private:
  using Field = UUTSetupDlg::Field;

  QLineEdit* MakeEdit(Field field, const char* object_name, const char* accessible_name, bool centred);
  QWidget* BuildIdentityColumn();
  QWidget* BuildRangeColumn();
  QWidget* BuildTestColumn();
  QComboBox* MakeCombo(const char* object_name, const char* accessible_name);
  // Shows everything the form holds; the boxes' own signals are held back meanwhile.
  void ShowForm();
  void FocusRequested();

  UUTSetupDlg& form_;
  std::array<QLineEdit*, UUTSetupDlg::kFieldCount> edits_{};
  QComboBox* profile_box_ = nullptr;
  QComboBox* type_box_ = nullptr;
  QComboBox* excitation_box_ = nullptr;
  QLabel* excitation_label_ = nullptr;
  QLabel* input_units_ = nullptr;
  QLabel* output_label_ = nullptr;
  QLabel* output_units_ = nullptr;
  QLabel* manual_label_ = nullptr;
  QLabel* reset_label_ = nullptr;
  QLabel* minus_row_label_ = nullptr;
  QLabel* plus_row_label_ = nullptr;
  QCheckBox* open_box_ = nullptr;
  QCheckBox* close_box_ = nullptr;
  bool showing_ = false;
};

// The window's UUT editor: one form, reused for every run, shown in a UUTSetupWidget.
class QtUUTEditor : public UUTEditor {
 public:
  QtUUTEditor(QWidget* parent, Prompter& prompter) : parent_(parent), form_(prompter) {}
  bool Edit(UUT& uut, const std::vector<std::string>& profile_ids, bool id_locked, CDataBaseX& database) override;

 private:
  QPointer<QWidget> parent_;
  UUTSetupDlg form_;
};

}  // namespace veld
