#include "ui/main_window_widget.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <iterator>

#include "app/about_box.h"
#include "app/main_window.h"
#include "app/main_window_texts.h"
#include "app/report_texts.h"
#include "app/panels.h"
#include "ui/latin1.h"
#include "ui/widget_parts.h"
#include "ui/list_models.h"

namespace veld {
namespace {

// How long a long command may keep the window from painting itself.
constexpr int kPaintIntervalMs = 50;

QPlainTextEdit* MakeTextBox(const char* object_name, const char* accessible_name) {
  auto* box = new QPlainTextEdit;
  box->setObjectName(QString::fromLatin1(object_name));
  box->setAccessibleName(QString::fromLatin1(accessible_name));
  box->setReadOnly(true);
  box->setLineWrapMode(QPlainTextEdit::NoWrap);
  box->setTabChangesFocus(true);
  // The panel texts line up their values with tabs, as an edit box's tab stops place them.
  box->setTabStopDistance(box->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 8);
  return box;
}

QPushButton* MakeButton(const char* label, const char* object_name, const QString& accessible_name = {}) {
  auto* button = new QPushButton(QString::fromLatin1(label));
  button->setObjectName(QString::fromLatin1(object_name));
  button->setAccessibleName(accessible_name.isEmpty() ? QString::fromLatin1(label) : accessible_name);
  button->setAutoDefault(false);
  return button;
}

QLabel* MakeLabel(const char* text) {
  auto* label = new QLabel(QString::fromLatin1(text));
  label->setAlignment(Qt::AlignCenter);
  return label;
}

// A panel lines its values up with one or two tabs after each label, as an edit box does
// with its tab stops. The tab distance is chosen so that both kinds land in one column in
// the font the box uses: past the longest label that takes two tabs.
void AlignTabStops(QPlainTextEdit* box, const QString& text) {
  const QFontMetrics metrics = box->fontMetrics();
  const int pad = metrics.horizontalAdvance(QLatin1Char(' '));
  int distance = metrics.horizontalAdvance(QLatin1Char('x')) * 8;
  int longest_single = 0;
  int longest_double = 0;
  for (const QString& line : text.split(QLatin1Char('\n'))) {
    const qsizetype tab = line.indexOf(QLatin1Char('\t'));
    if (tab < 0) continue;
    const int width = metrics.horizontalAdvance(line.left(tab)) + pad;
    if (line.mid(tab).startsWith(QStringLiteral("\t\t"))) {
      longest_double = std::max(longest_double, width);
    } else {
      longest_single = std::max(longest_single, width);
    }
  }
  if (longest_double > 0) distance = std::max(longest_double, (longest_single + 1) / 2);
  box->setTabStopDistance(distance);
}

void ShowPanelText(QPlainTextEdit* panel, const std::string& text) {
  const QString shown = Latin1Lines(text);
  AlignTabStops(panel, shown);
  panel->setPlainText(shown);
}

bool IsUserInput(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
      return true;
    default:
      return false;
  }
}

}  // namespace

std::vector<int> ProfileListView::SelectedRows() const {
  std::vector<int> rows;
  for (const QModelIndex& index : selectionModel()->selectedRows()) rows.push_back(index.row());
  return rows;
}

void ProfileListView::mouseReleaseEvent(QMouseEvent* event) {
  QListView::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton) emit mouseClicked();
}

MainWindowWidget::MainWindowWidget(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("mainWindow"));
  setWindowTitle(QString::fromLatin1(kMainWindowCaption));
  setWindowFlags(Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
  setSizeGripEnabled(true);

  auto* layout = new QVBoxLayout(this);
  auto* menu_bar = new QMenuBar(this);
  BuildMenus(menu_bar);
  layout->setMenuBar(menu_bar);

  auto* profiles = new QHBoxLayout;
  profiles->addWidget(BuildProfileGroup(true), 1);
  profiles->addWidget(BuildProfileGroup(false), 1);
  layout->addLayout(profiles, 3);

  auto* lower = new QHBoxLayout;
  lower->addWidget(BuildStatusArea(), 2);
  lower->addWidget(BuildResultsArea(), 3);
  layout->addLayout(lower, 2);

  resize(1200, 800);
  qApp->installEventFilter(this);
  since_painted_.start();
}

MainWindowWidget::~MainWindowWidget() {
  qApp->removeEventFilter(this);
  if (busy_) QApplication::restoreOverrideCursor();
}

void MainWindowWidget::BuildMenus(QMenuBar* menu_bar) {
  QMenu* file = menu_bar->addMenu(QString::fromLatin1(kFileMenuLabel));
  // The UUT profiles of the side clicked last, and the header every certificate prints.
  const std::pair<const char*, void (CRapiTestDlg::*)()> commands[] = {
      {kImportUUTsMenuItem, &CRapiTestDlg::OnImportUUTs},
      {kExportUUTsMenuItem, &CRapiTestDlg::OnExportUUTs},
      {kCertificateHeaderMenuItem, &CRapiTestDlg::OnCertificateHeader}};
  const char* names[] = {"importUutsAction", "exportUutsAction", "certificateHeaderAction"};
  for (size_t i = 0; i < std::size(commands); ++i) {
    QAction* action = file->addAction(QString::fromLatin1(commands[i].first));
    action->setObjectName(QString::fromLatin1(names[i]));
    connect(action, &QAction::triggered, this, [this, command = commands[i].second] {
      if (window_ != nullptr) (window_->*command)();
    });
  }
  file->addSeparator();
  QAction* calibrator = file->addAction(QString::fromLatin1(kCalibratorFolderMenuItem));
  calibrator->setObjectName(QStringLiteral("calibratorFolderAction"));
  connect(calibrator, &QAction::triggered, this, [this] {
    if (choose_calibrator_) choose_calibrator_();
  });
  file->addSeparator();
  QAction* exit = file->addAction(QString::fromLatin1(kExitMenuItem));
  connect(exit, &QAction::triggered, this, &QDialog::reject);

  QMenu* help = menu_bar->addMenu(QString::fromLatin1(kHelpMenuLabel));
  QAction* about = help->addAction(QString::fromLatin1(kAboutMenuItem));
  about->setObjectName(QStringLiteral("aboutAction"));
  about->setShortcut(QKeySequence(Qt::Key_F1));
  about->setShortcutContext(Qt::WindowShortcut);
  addAction(about);  // F1 works with the menu closed
  connect(about, &QAction::triggered, this, &MainWindowWidget::aboutRequested);
}

QWidget* MainWindowWidget::BuildProfileGroup(bool uuts) {
  auto* group = new QGroupBox(QString::fromLatin1(uuts ? kUUTProfilesGroupLabel : kTestProfilesGroupLabel));
  group->setObjectName(QString::fromLatin1(uuts ? "uutGroup" : "profileGroup"));
  auto* grid = new QGridLayout(group);

  const WindowList pc_list = uuts ? WindowList::PcUUTs : WindowList::PcProfiles;
  const WindowList veld_list = uuts ? WindowList::VeldUUTs : WindowList::VeldProfiles;
  const char* kind = uuts ? "uut" : "profile";
  const QString group_label = QString::fromLatin1(uuts ? kUUTProfilesGroupLabel : kTestProfilesGroupLabel);

  for (WindowList which : {pc_list, veld_list}) {
    const bool pc = which == pc_list;
    auto* view = new ProfileListView;
    auto* model = new IdListModel(view);
    view->setModel(model);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setUniformItemSizes(true);
    view->setMinimumWidth(kProfileListColumnWidth + 24);
    view->setObjectName(QString::fromLatin1(pc ? "pc" : "veld") + QString::fromLatin1(uuts ? "UutList" : "ProfileList"));
    view->setAccessibleName(QString::fromLatin1(uuts ? (pc ? kPcUUTListName : kVeldUUTListName)
                                                     : (pc ? kPcProfileListName : kVeldProfileListName)));
    view->setToolTip(QString::fromLatin1(uuts ? kUUTListColumn : kProfileListColumn));
    lists_[static_cast<size_t>(which)] = view;
    list_models_[static_cast<size_t>(which)] = model;
    QLabel* label = MakeLabel(pc ? kPcDatabaseLabel : kVeldDatabaseLabel);
    label->setBuddy(view);
    grid->addWidget(label, 0, pc ? 0 : 2);
    grid->addWidget(view, 1, pc ? 0 : 2);
  }

  auto& buttons = uuts ? uut_buttons_ : profile_buttons_;
  const auto name = [&](const char* what) { return QString::fromLatin1(kind) + QString::fromLatin1(what); };
  const auto accessible = [&](const char* label) { return QString::fromLatin1(label) + " (" + group_label + ")"; };
  buttons[3] = MakeButton(kTransferToPcLabel, name("TransferToPcButton").toLatin1().constData(),
                          accessible(kTransferToPcLabel));
  buttons[4] = MakeButton(kTransferToVeldLabel, name("TransferToVeldButton").toLatin1().constData(),
                          accessible(kTransferToVeldLabel));
  auto* transfers = new QVBoxLayout;
  transfers->addStretch();
  transfers->addWidget(buttons[3]);
  transfers->addWidget(buttons[4]);
  transfers->addStretch();
  grid->addLayout(transfers, 1, 1);

  buttons[0] = MakeButton(kEditLabel, name("EditButton").toLatin1().constData(), accessible(kEditLabel));
  buttons[1] = MakeButton(kNewLabel, name("NewButton").toLatin1().constData(), accessible(kNewLabel));
  buttons[2] = MakeButton(kDeleteLabel, name("DeleteButton").toLatin1().constData(), accessible(kDeleteLabel));
  auto* commands = new QHBoxLayout;
  commands->addStretch();
  for (int i = 0; i < 3; ++i) commands->addWidget(buttons[static_cast<size_t>(i)]);
  commands->addStretch();
  grid->addLayout(commands, 2, 0, 1, 3);

  QPlainTextEdit* panel = MakeTextBox(uuts ? "uutPanel" : "profilePanel", uuts ? kUUTPanelName : kProfilePanelName);
  // Room for the whole UUT panel (fifteen lines) without scrolling.
  panel->setMinimumHeight(panel->fontMetrics().lineSpacing() * 15 + 12);
  (uuts ? uut_panel_ : profile_panel_) = panel;
  grid->addWidget(panel, 3, 0, 1, 3);

  grid->setRowStretch(1, 1);
  grid->setColumnStretch(0, 1);
  grid->setColumnStretch(2, 1);

  // Top to bottom, left to right.
  setTabOrder(lists_[static_cast<size_t>(pc_list)], buttons[3]);
  setTabOrder(buttons[3], buttons[4]);
  setTabOrder(buttons[4], lists_[static_cast<size_t>(veld_list)]);
  setTabOrder(lists_[static_cast<size_t>(veld_list)], buttons[0]);
  setTabOrder(buttons[0], buttons[1]);
  setTabOrder(buttons[1], buttons[2]);
  setTabOrder(buttons[2], panel);
  return group;
}

QWidget* MainWindowWidget::BuildStatusArea() {
  auto* area = new QWidget;
  auto* layout = new QVBoxLayout(area);
  layout->setContentsMargins(0, 0, 0, 0);

  auto* buttons = new QHBoxLayout;
  connect_ = MakeButton(kConnectLabel, "connectButton");
  connect_->setDefault(true);
  connect_->setAutoDefault(true);
  refresh_ = MakeButton(kRefreshTestResultsLabel, "refreshButton");
  due_dates_ = MakeButton(kDueDatesLabel, "dueDatesButton");
  buttons->addWidget(connect_);
  buttons->addWidget(refresh_);
  buttons->addWidget(due_dates_);
  buttons->addStretch();
  layout->addLayout(buttons);

  QLabel* status_label = MakeLabel(kStatusLabel);
  status_label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  layout->addWidget(status_label);
  status_box_ = MakeTextBox("statusBox", kStatusLabel);
  status_box_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  status_label->setBuddy(status_box_);
  layout->addWidget(status_box_, 1);

  progress_label_ = new QLabel;
  progress_label_->setObjectName(QStringLiteral("progressLabel"));
  progress_bar_ = new QProgressBar;
  progress_bar_->setObjectName(QStringLiteral("progressBar"));
  progress_bar_->setAccessibleName(QString::fromLatin1(kProgressName));
  progress_bar_->setTextVisible(false);  // the label above says how far
  layout->addWidget(progress_label_);
  layout->addWidget(progress_bar_);
  // Shown only while a long step runs, without moving the rest of the window.
  for (QWidget* widget : {static_cast<QWidget*>(progress_label_), static_cast<QWidget*>(progress_bar_)}) {
    KeepPlaceWhenHidden(widget);
    widget->hide();
  }
  return area;
}

QWidget* MainWindowWidget::BuildResultsArea() {
  auto* area = new QWidget;
  auto* layout = new QVBoxLayout(area);
  layout->setContentsMargins(0, 0, 0, 0);

  auto* top = new QHBoxLayout;
  QLabel* combo_label = MakeLabel(kUUTIdLabel);
  result_combo_ = new QComboBox;
  result_combo_->setObjectName(QStringLiteral("resultUutCombo"));
  result_combo_->setAccessibleName(QString::fromLatin1(kUUTIdLabel));
  result_combo_->setMinimumContentsLength(24);
  result_combo_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  combo_label->setBuddy(result_combo_);
  top->addWidget(combo_label);
  top->addWidget(result_combo_);
  history_ = MakeButton(kHistoryLabel, "historyButton", QString::fromLatin1(kHistoryAccessibleName));
  top->addWidget(history_);
  top->addStretch();
  layout->addLayout(top);

  results_ = new QTreeView;
  results_->setObjectName(QStringLiteral("resultsList"));
  results_->setAccessibleName(QString::fromLatin1(kResultsListName));
  result_model_ = new ResultRowModel(results_);
  results_->setModel(result_model_);
  results_->setRootIsDecorated(false);
  results_->setItemsExpandable(false);
  results_->setUniformRowHeights(true);
  results_->setSortingEnabled(false);
  results_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  results_->setSelectionBehavior(QAbstractItemView::SelectRows);
  results_->header()->setSectionsClickable(false);
  results_->header()->setSectionsMovable(false);
  results_->header()->setStretchLastSection(false);
  for (int column = 0; column < static_cast<int>(std::size(kResultColumns)); ++column) {
    results_->header()->resizeSection(column, kResultColumns[column].width);
  }
  layout->addWidget(results_, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  print_ = MakeButton(kPrintLabel, "printButton");
  export_ = MakeButton(kExportLabel, "exportButton");
  chart_ = MakeButton(kChartLabel, "chartButton");
  buttons->addWidget(print_);
  buttons->addWidget(export_);
  buttons->addWidget(chart_);
  layout->addLayout(buttons);
  return area;
}

void MainWindowWidget::Attach(CRapiTestDlg& window) {
  window_ = &window;
  connect(connect_, &QPushButton::clicked, this, [this] { window_->OnConnect(); });
  connect(refresh_, &QPushButton::clicked, this, [this] { window_->OnRefreshTestResults(); });
  connect(print_, &QPushButton::clicked, this, [this] { window_->OnPrint(); });
  connect(export_, &QPushButton::clicked, this, [this] { window_->OnExport(); });
  connect(chart_, &QPushButton::clicked, this, [this] { window_->OnChart(); });
  connect(history_, &QPushButton::clicked, this, [this] { window_->OnHistory(); });
  connect(due_dates_, &QPushButton::clicked, this, [this] { window_->OnDueDates(); });

  for (WindowList which : kWindowLists) {
    ProfileListView* view = listView(which);
    connect(view, &ProfileListView::mouseClicked, this,
            [this, which, view] { window_->OnListClicked(which, view->SelectedRows()); });
    connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this, which, view] { window_->OnListSelectionChanged(which, view->SelectedRows()); });
  }
  connect(results_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    std::vector<int> rows;
    for (const QModelIndex& index : results_->selectionModel()->selectedRows()) rows.push_back(index.row());
    window_->OnResultSelectionChanged(rows);
  });
  connect(result_combo_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (!filling_combo_) window_->OnResultUUTChosen(index);
  });

  using Command = bool (CRapiTestDlg::*)();
  const auto wire = [this](std::array<QPushButton*, 5>& buttons, Command edit, Command create, Command remove,
                           Command to_pc, Command to_veld) {
    const std::array<Command, 5> commands = {edit, create, remove, to_pc, to_veld};
    for (size_t i = 0; i < buttons.size(); ++i) {
      connect(buttons[i], &QPushButton::clicked, this, [this, command = commands[i]] { (window_->*command)(); });
    }
  };
  wire(uut_buttons_, &CRapiTestDlg::OnEditUUT, &CRapiTestDlg::OnNewUUT, &CRapiTestDlg::OnDeleteUUTs,
       &CRapiTestDlg::OnTransferUUTsToPC, &CRapiTestDlg::OnTransferUUTsToVELD);
  wire(profile_buttons_, &CRapiTestDlg::OnEditTestProfile, &CRapiTestDlg::OnNewTestProfile,
       &CRapiTestDlg::OnDeleteTestProfiles, &CRapiTestDlg::OnTransferTestProfilesToPC,
       &CRapiTestDlg::OnTransferTestProfilesToVELD);
  // EDIT and NEW need the setup dialogs.
  for (auto* buttons : {&uut_buttons_, &profile_buttons_}) {
    (*buttons)[0]->setEnabled(window.CanEditProfiles());
    (*buttons)[1]->setEnabled(window.CanEditProfiles());
  }
}

// --- MainView ------------------------------------------------------------------------

void MainWindowWidget::ShowList(WindowList which, const std::vector<std::string>& ids) {
  list_models_[static_cast<size_t>(which)]->SetIds(ids);
  KeepPainted();
}

void MainWindowWidget::ShowUUTPanel(const std::string& text) { ShowPanelText(uut_panel_, text); }

void MainWindowWidget::ShowProfilePanel(const std::string& text) { ShowPanelText(profile_panel_, text); }

void MainWindowWidget::ShowStatusText(const std::string& text) {
  status_box_->setPlainText(Latin1Lines(text));
  status_box_->verticalScrollBar()->setValue(status_box_->verticalScrollBar()->maximum());
  KeepPainted();
}

void MainWindowWidget::ShowResultCombo(const std::vector<std::string>& items, int selected) {
  filling_combo_ = true;
  result_combo_->clear();
  QStringList texts;
  texts.reserve(static_cast<qsizetype>(items.size()));
  for (const std::string& item : items) texts.push_back(Latin1(item));
  result_combo_->addItems(texts);
  result_combo_->setCurrentIndex(selected);
  filling_combo_ = false;
}

void MainWindowWidget::ShowResultRows(const std::vector<ResultRow>& rows) { result_model_->SetRows(rows); }

void MainWindowWidget::ShowProgress(const std::string& text, size_t done, size_t total) {
  const bool running = total > 0;
  progress_label_->setVisible(running);
  progress_bar_->setVisible(running);
  if (running) {
    progress_label_->setText(Latin1(text));
    progress_bar_->setRange(0, static_cast<int>(total));
    progress_bar_->setValue(static_cast<int>(done));
  }
  KeepPainted();
}

void MainWindowWidget::SetBusy(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  if (busy) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    since_painted_.restart();
  } else {
    QApplication::restoreOverrideCursor();
  }
}

void MainWindowWidget::FocusList(WindowList which) { listView(which)->setFocus(); }

void MainWindowWidget::CloseWindow() {
  busy_ = false;
  QApplication::restoreOverrideCursor();
  done(QDialog::Accepted);
}

// A long command runs on this thread; now and then it lets the window paint itself and
// show its progress. Input meant for the window is held back meanwhile (eventFilter).
void MainWindowWidget::KeepPainted() {
  if (!busy_ || since_painted_.elapsed() < kPaintIntervalMs) return;
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  since_painted_.restart();
}

bool MainWindowWidget::eventFilter(QObject* watched, QEvent* event) {
  if (busy_ && IsUserInput(event->type()) && watched->isWidgetType()) {
    // Message boxes shown by the running command are windows of their own and keep
    // their input; the main window takes none until the command ends.
    if (static_cast<QWidget*>(watched)->window() == this) return true;
  }
  return QDialog::eventFilter(watched, event);
}

void MainWindowWidget::closeEvent(QCloseEvent* event) {
  if (busy_ || (window_ != nullptr && window_->busy())) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void MainWindowWidget::reject() {
  if (window_ != nullptr && window_->busy()) return;
  QDialog::reject();
}

}  // namespace veld
