#pragma once
// The main window's widgets: a humble view of CRapiTestDlg. It shows what the window's
// state tells it and hands every click, selection and key to the matching command.

#include <QDialog>
#include <QElapsedTimer>
#include <QListView>
#include <array>

#include "app/main_view.h"

class QComboBox;
class QLabel;
class QMenuBar;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTreeView;

namespace veld {

class CRapiTestDlg;
class IdListModel;
class ResultRowModel;

// A profile list that reports mouse clicks anywhere on it, an empty part included: only a
// click, not a selection made with the keyboard, decides which database a command uses.
class ProfileListView : public QListView {
  Q_OBJECT
 public:
  using QListView::QListView;
  std::vector<int> SelectedRows() const;

 signals:
  void mouseClicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

class MainWindowWidget : public QDialog, public MainView {
  Q_OBJECT
 public:
  explicit MainWindowWidget(QWidget* parent = nullptr);
  ~MainWindowWidget() override;

  // Connects the controls to the window's commands; called once, before the window shows.
  void Attach(CRapiTestDlg& window);

  // The "Calibrator folder..." menu command, when the program remembers a choice.
  void SetCalibratorFolderCommand(std::function<void()> command) { choose_calibrator_ = std::move(command); }

  // MainView
  void ShowList(WindowList list, const std::vector<std::string>& ids) override;
  void ShowUUTPanel(const std::string& text) override;
  void ShowProfilePanel(const std::string& text) override;
  void ShowStatusText(const std::string& text) override;
  void ShowResultCombo(const std::vector<std::string>& items, int selected) override;
  void ShowResultRows(const std::vector<ResultRow>& rows) override;
  void ShowProgress(const std::string& text, size_t done, size_t total) override;
  void SetBusy(bool busy) override;
  void FocusList(WindowList list) override;
  void CloseWindow() override;

  // Controls, for the About command and the tests.
  QPushButton* connectButton() const { return connect_; }
  ProfileListView* listView(WindowList list) const { return lists_[static_cast<size_t>(list)]; }
  QTreeView* resultsView() const { return results_; }
  QComboBox* resultCombo() const { return result_combo_; }

 signals:
  void aboutRequested();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  QWidget* BuildProfileGroup(bool uuts);
  QWidget* BuildResultsArea();
  QWidget* BuildStatusArea();
  void BuildMenus(QMenuBar* menu_bar);
  void KeepPainted();

  CRapiTestDlg* window_ = nullptr;
  std::array<ProfileListView*, 4> lists_{};
  std::array<IdListModel*, 4> list_models_{};
  QPlainTextEdit* uut_panel_ = nullptr;
  QPlainTextEdit* profile_panel_ = nullptr;
  QPlainTextEdit* status_box_ = nullptr;
  QLabel* progress_label_ = nullptr;
  QProgressBar* progress_bar_ = nullptr;
  QComboBox* result_combo_ = nullptr;
  QTreeView* results_ = nullptr;
  ResultRowModel* result_model_ = nullptr;
  QPushButton* connect_ = nullptr;
  QPushButton* refresh_ = nullptr;
  QPushButton* print_ = nullptr;
  QPushButton* export_ = nullptr;
  QPushButton* chart_ = nullptr;
  QPushButton* history_ = nullptr;
  QPushButton* due_dates_ = nullptr;
  // The ten profile buttons: EDIT, NEW, DELETE, <-- Transfer, Transfer --> of each group.
  std::array<QPushButton*, 5> uut_buttons_{};
  std::array<QPushButton*, 5> profile_buttons_{};
  std::function<void()> choose_calibrator_;
  bool busy_ = false;
  bool filling_combo_ = false;
  QElapsedTimer since_painted_;
};

}  // namespace veld
