#pragma once
// The "Test Profile Setup" and "Custom Profile Entry" dialogs: humble views of TPSetupDlg
// and CCustomProfileEntry_Dlg. Only what the user does reaches the forms (textEdited,
// choices, clicks, the count edit losing the focus); what the dialogs write themselves
// does not come back.

#include <QDialog>
#include <QPointer>

#include "app/tp_setup_dlg.h"
#include "app/window_services.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTreeWidget;

namespace veld {

class TPSetupWidget : public QDialog {
  Q_OBJECT
 public:
  explicit TPSetupWidget(TPSetupDlg& form, QWidget* parent = nullptr);

  void accept() override;
  void done(int result) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowForm();
  void FocusRequested();

  TPSetupDlg& form_;
  QLineEdit* id_ = nullptr;
  QLineEdit* points_ = nullptr;
  QComboBox* type_box_ = nullptr;
  QCheckBox* leak_test_ = nullptr;
  QTreeWidget* point_list_ = nullptr;
  bool showing_ = false;
  bool closing_ = false;
};

class CustomProfileEntryWidget : public QDialog {
  Q_OBJECT
 public:
  explicit CustomProfileEntryWidget(CCustomProfileEntry_Dlg& form, QWidget* parent = nullptr);

  void accept() override;

 private:
  using Field = CCustomProfileEntry_Dlg::Field;
  void ShowForm();

  CCustomProfileEntry_Dlg& form_;
  QLineEdit* edits_[3] = {};
};

// The window's test profile editor: a setup dialog per run, and the entry dialog above it
// for each custom point.
class QtProfileEditor : public ProfileEditor, public CustomPointEntry {
 public:
  QtProfileEditor(QWidget* parent, Prompter& prompter) : parent_(parent), prompter_(prompter) {}
  bool Edit(TestProfile& profile, const UUT& uut, CDataBaseX& database, bool id_locked) override;
  bool Run(CCustomProfileEntry_Dlg& form) override;

 private:
  QPointer<QWidget> parent_;
  Prompter& prompter_;
};

}  // namespace veld
