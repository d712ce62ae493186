#include "ui/report_dialogs.h"

#include <QAbstractTableModel>
#include <QChart>
#include <QChartView>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTreeView>
#include <QVBoxLayout>
#include <iterator>

#include "app/report_texts.h"
#include "ui/chart_rendering.h"
#include "ui/latin1.h"

namespace veld {

// Rows of 8-bit texts under fixed headings; marked rows are drawn in red. The texts become
// Qt text only when drawn, so that a history of thousands of results opens at once.
class TextRowsModel : public QAbstractTableModel {
 public:
  TextRowsModel(std::vector<QString> headings, QObject* parent) : QAbstractTableModel(parent), headings_(std::move(headings)) {}

  void SetRows(std::vector<std::vector<std::string>> rows, std::vector<bool> marked) {
    beginResetModel();
    rows_ = std::move(rows);
    marked_ = std::move(marked);
    endResetModel();
  }
  int rowCount(const QModelIndex& parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
  }
  int columnCount(const QModelIndex& parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : static_cast<int>(headings_.size());
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid()) return {};
    const auto row = static_cast<size_t>(index.row());
    const bool marked = row < marked_.size() && marked_[row];
    switch (role) {
      case Qt::DisplayRole: return Latin1(rows_[row][static_cast<size_t>(index.column())]);
      case Qt::ForegroundRole: return marked ? QVariant(QColor(0xa0, 0x10, 0x10)) : QVariant();
      case Qt::BackgroundRole: return marked ? QVariant(QColor(0xfb, 0xdc, 0xdc)) : QVariant();
      default: return {};
    }
  }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return headings_[static_cast<size_t>(section)];
  }

 private:
  std::vector<QString> headings_;
  std::vector<std::vector<std::string>> rows_;
  std::vector<bool> marked_;
};

namespace {

template <size_t N>
std::vector<QString> Headings(const char* const (&texts)[N]) {
  std::vector<QString> headings;
  for (const char* text : texts) headings.push_back(QString::fromLatin1(text));
  return headings;
}

QChartView* MakeChartView(const ChartData& chart) {
  auto* view = new QChartView(BuildQtChart(chart));
  view->setObjectName(QStringLiteral("chartView"));
  view->setAccessibleName(QString::fromLatin1(kChartViewName));
  view->setAccessibleDescription(Latin1(chart.title));
  view->setRenderHint(QPainter::Antialiasing);
  view->setMinimumSize(640, 400);
  return view;
}

QTreeView* MakeTable(const char* object_name, const char* accessible_name, TextRowsModel* model) {
  auto* table = new QTreeView;
  table->setObjectName(QString::fromLatin1(object_name));
  table->setAccessibleName(QString::fromLatin1(accessible_name));
  table->setModel(model);
  table->setRootIsDecorated(false);
  table->setItemsExpandable(false);
  table->setUniformRowHeights(true);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->header()->setSectionsMovable(false);
  return table;
}

// The Close button row, closing the window; Esc closes it as well.
QDialogButtonBox* CloseButtons(QDialog* window) {
  auto* buttons = new QDialogButtonBox;
  QPushButton* close = buttons->addButton(QString::fromLatin1(kCloseLabel), QDialogButtonBox::RejectRole);
  close->setObjectName(QStringLiteral("closeButton"));
  QObject::connect(buttons, &QDialogButtonBox::rejected, window, &QDialog::reject);
  return buttons;
}

void SetUpWindow(QDialog* window, const char* object_name, const char* caption) {
  window->setObjectName(QString::fromLatin1(object_name));
  window->setWindowTitle(QString::fromLatin1(caption));
  window->setWindowFlags(Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
  window->setSizeGripEnabled(true);
}

// Opens a report window beside the main window, which stays usable; it goes when closed.
void ShowBeside(QDialog* window) {
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->show();
}

}  // namespace

ErrorChartWindow::ErrorChartWindow(const ChartData& chart, QWidget* parent) : QDialog(parent) {
  SetUpWindow(this, "errorChartWindow", kErrorChartCaption);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(MakeChartView(chart), 1);
  layout->addWidget(CloseButtons(this));
  resize(1000, 680);
}

DriftHistoryWindow::DriftHistoryWindow(const ChartData& chart, const std::vector<HistoryRow>& rows, QWidget* parent)
    : QDialog(parent) {
  SetUpWindow(this, "driftHistoryWindow", kDriftHistoryCaption);
  auto* model = new TextRowsModel(Headings(kHistoryColumns), this);
  std::vector<std::vector<std::string>> texts;
  std::vector<bool> failed;
  texts.reserve(rows.size());
  for (const HistoryRow& row : rows) {
    texts.push_back({row.date_tested, row.kind, row.largest_error, row.verdict, row.file_name});
    failed.push_back(row.verdict != "Pass");
  }
  model->SetRows(std::move(texts), std::move(failed));
  QTreeView* table = MakeTable("historyTable", kHistoryTableName, model);
  table->header()->resizeSection(0, 150);
  table->header()->resizeSection(1, 130);
  table->header()->resizeSection(2, 150);

  auto* splitter = new QSplitter(Qt::Vertical);
  splitter->addWidget(MakeChartView(chart));
  splitter->addWidget(table);
  splitter->setStretchFactor(0, 3);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({540, 200});
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(splitter, 1);
  layout->addWidget(CloseButtons(this));
  resize(1000, 820);
}

DueDatesWindow::DueDatesWindow(DueDatesForm form, QWidget* parent) : QDialog(parent), form_(std::move(form)) {
  SetUpWindow(this, "dueDatesWindow", kDueDatesCaption);
  auto* top = new QHBoxLayout;
  auto* today = new QLabel(Latin1(form_.TodayText()));
  today->setObjectName(QStringLiteral("todayLabel"));
  top->addWidget(today);
  top->addStretch();
  auto* within_label = new QLabel(QString::fromLatin1(kDueWithinLabel));
  auto* within = new QSpinBox;
  within->setObjectName(QStringLiteral("dueWithinBox"));
  within->setAccessibleName(QString::fromLatin1(kDueWithinLabel));
  within->setRange(0, 36500);
  within->setValue(form_.within_days());
  within_label->setBuddy(within);
  top->addWidget(within_label);
  top->addWidget(within);

  model_ = new TextRowsModel(Headings(kDueDateColumns), this);
  QTreeView* table = MakeTable("dueDatesTable", kDueDatesTableName, model_);
  table->header()->resizeSection(0, 220);
  table->header()->resizeSection(2, 170);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(table, 1);
  layout->addWidget(CloseButtons(this));
  connect(within, &QSpinBox::valueChanged, this, [this](int days) {
    form_.SetWithinDays(days);
    ShowRows();
  });
  ShowRows();
  resize(760, 520);
}

void DueDatesWindow::ShowRows() {
  std::vector<std::vector<std::string>> texts;
  std::vector<bool> overdue;
  for (const DueDateRow& row : form_.rows()) {
    texts.push_back({row.uut_id, row.database, row.due_date, row.days_text, row.status_text});
    overdue.push_back(row.status == DueStatus::Overdue);
  }
  model_->SetRows(std::move(texts), std::move(overdue));
}

void QtReportWindows::ShowErrorChart(const ChartData& chart) { ShowBeside(new ErrorChartWindow(chart, parent_)); }

void QtReportWindows::ShowDriftHistory(const ChartData& chart, const std::vector<HistoryRow>& rows) {
  ShowBeside(new DriftHistoryWindow(chart, rows, parent_));
}

void QtReportWindows::ShowDueDates(DueDatesForm form) { ShowBeside(new DueDatesWindow(std::move(form), parent_)); }

}  // namespace veld
