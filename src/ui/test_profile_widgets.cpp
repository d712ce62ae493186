#include "ui/test_profile_widgets.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

#include "ui/latin1.h"
#include "ui/widget_parts.h"

namespace veld {
namespace {

// Room for a number of up to 15 significant digits with its sign and point.
constexpr int kNumberEditDigits = 18;

int NumberEditWidth(const QLineEdit* edit) {
  return edit->fontMetrics().horizontalAdvance(QLatin1Char('0')) * kNumberEditDigits + 16;
}

// The point list: a click is reported once the view has finished with it, so that the
// handler may rebuild the list.
class PointListView : public QTreeWidget {
 public:
  std::function<void()> clicked;

  std::vector<int> SelectedRows() const {
    std::vector<int> rows;
    for (QTreeWidgetItem* item : selectedItems()) rows.push_back(indexOfTopLevelItem(item));
    std::sort(rows.begin(), rows.end());
    return rows;
  }

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override {
    const bool on_row = itemAt(event->position().toPoint()) != nullptr;
    QTreeWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && on_row && clicked) clicked();
  }
};

QLabel* MakeLabel(const char* text) { return new QLabel(QString::fromLatin1(text)); }

QLineEdit* MakeEdit(const char* object_name, const char* accessible_name, bool centred) {
  auto* edit = new QLineEdit;
  edit->setObjectName(QString::fromLatin1(object_name));
  edit->setAccessibleName(QString::fromLatin1(accessible_name));
  if (centred) {
    edit->setAlignment(Qt::AlignCenter);
    edit->setFixedWidth(NumberEditWidth(edit));
  }
  return edit;
}

}  // namespace

TPSetupWidget::TPSetupWidget(TPSetupDlg& form, QWidget* parent) : QDialog(parent), form_(form) {
  setObjectName(QStringLiteral("testProfileSetupDialog"));
  setWindowTitle(QString::fromLatin1(kTestProfileSetupCaption));

  id_ = MakeEdit("profileIdEdit", kProfileIdLabel, false);
  points_ = MakeEdit("pointCountEdit", kNumberOfPointsLabel, true);
  points_->setFixedWidth(points_->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 5 + 16);  // up to 101
  type_box_ = new QComboBox;
  type_box_->setObjectName(QStringLiteral("profileTypeCombo"));
  type_box_->setAccessibleName(QString::fromLatin1(kProfileTypeLabel));
  leak_test_ = new QCheckBox(QString::fromLatin1(kLeakTestLabel));
  leak_test_->setObjectName(QStringLiteral("leakTestBox"));

  auto* fields = new QGridLayout;
  const std::pair<const char*, QWidget*> rows[] = {
      {kProfileIdLabel, id_}, {kNumberOfPointsLabel, points_}, {kProfileTypeLabel, type_box_}};
  int row = 0;
  for (const auto& [text, widget] : rows) {
    QLabel* label = MakeLabel(text);
    label->setBuddy(widget);
    fields->addWidget(label, row, 0);
    fields->addWidget(widget, row, 1, widget == id_ ? Qt::Alignment() : Qt::AlignLeft);
    ++row;
  }
  fields->addWidget(leak_test_, row, 0, 1, 2);
  fields->setColumnStretch(1, 1);

  auto* list = new PointListView;
  point_list_ = list;
  point_list_->setObjectName(QStringLiteral("pointList"));
  point_list_->setAccessibleName(QStringLiteral("Test points"));
  point_list_->setRootIsDecorated(false);
  point_list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  point_list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  point_list_->setUniformRowHeights(true);
  point_list_->setColumnCount(static_cast<int>(std::size(kPointColumns)));
  QStringList headings;
  int width = 0;
  for (const PointColumn& column : kPointColumns) {
    headings << QString::fromLatin1(column.heading);
    width += column.width;
  }
  point_list_->setHeaderLabels(headings);
  point_list_->header()->setDefaultAlignment(Qt::AlignCenter);
  point_list_->header()->setStretchLastSection(false);
  point_list_->header()->setSectionsMovable(false);
  for (int column = 0; column < static_cast<int>(std::size(kPointColumns)); ++column) {
    point_list_->header()->resizeSection(column, kPointColumns[column].width);
  }
  point_list_->setMinimumWidth(width + point_list_->frameWidth() * 2 +
                               point_list_->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
  point_list_->setMinimumHeight(220);
  list->clicked = [this, list] {
    form_.OnPointListClicked(list->SelectedRows());
    ShowForm();
  };

  QDialogButtonBox* buttons = OkCancelButtons(this);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addWidget(point_list_, 1);
  layout->addWidget(buttons);

  setTabOrder(id_, points_);
  setTabOrder(points_, type_box_);
  setTabOrder(type_box_, leak_test_);
  setTabOrder(leak_test_, point_list_);
  setTabOrder(point_list_, buttons->button(QDialogButtonBox::Ok));
  setTabOrder(buttons->button(QDialogButtonBox::Ok), buttons->button(QDialogButtonBox::Cancel));

  connect(id_, &QLineEdit::textEdited, this, [this](const QString& text) { form_.OnIdEdited(ToLatin1(text)); });
  connect(points_, &QLineEdit::textEdited, this, [this](const QString& text) {
    form_.OnPointsEdited(ToLatin1(text));
    ShowForm();
  });
  points_->installEventFilter(this);
  connect(type_box_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (showing_) return;
    form_.OnTypeChosen(index);
    ShowForm();
  });
  connect(leak_test_, &QCheckBox::clicked, this, [this](bool checked) { form_.OnLeakTestClicked(checked); });

  ShowForm();
  (form_.IdEnabled() ? id_ : points_)->setFocus();
}

bool TPSetupWidget::eventFilter(QObject* watched, QEvent* event) {
  if (watched == points_ && event->type() == QEvent::FocusOut && !closing_) {
    // Not when the dialog itself loses the focus (to a message box, another window).
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
      form_.OnPointsFocusLost();
      ShowForm();
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TPSetupWidget::ShowForm() {
  showing_ = true;
  SetTextIfChanged(id_, form_.IdText());
  id_->setEnabled(form_.IdEnabled());
  SetTextIfChanged(points_, form_.PointsText());
  const ComboChoice& types = form_.TypeBox();
  if (type_box_->count() != static_cast<int>(types.items.size())) {
    type_box_->clear();
    for (const std::string& item : types.items) type_box_->addItem(Latin1(item));
  }
  type_box_->setCurrentIndex(types.selected);
  leak_test_->setChecked(form_.LeakTestChecked());

  point_list_->clear();
  QList<QTreeWidgetItem*> items;
  for (const ProfilePointRow& point : form_.Rows()) {
    auto* item = new QTreeWidgetItem(
        {Latin1(point.number), Latin1(point.percent_fs), Latin1(point.pressure), Latin1(point.output)});
    for (int column = 0; column < item->columnCount(); ++column) item->setTextAlignment(column, Qt::AlignCenter);
    items << item;
  }
  point_list_->addTopLevelItems(items);
  showing_ = false;
}

void TPSetupWidget::FocusRequested() {
  if (const auto field = form_.TakeFocusRequest()) {
    QLineEdit* edit = *field == TPSetupDlg::Field::Id ? id_ : points_;
    edit->setFocus();
    edit->selectAll();
  }
}

void TPSetupWidget::accept() {
  if (form_.OnOk()) {
    QDialog::accept();
    return;
  }
  ShowForm();
  FocusRequested();
}

void TPSetupWidget::done(int result) {
  // Closing takes the focus from the count edit; that is not the user leaving it.
  closing_ = true;
  QDialog::done(result);
}

CustomProfileEntryWidget::CustomProfileEntryWidget(CCustomProfileEntry_Dlg& form, QWidget* parent)
    : QDialog(parent), form_(form) {
  setObjectName(QStringLiteral("customProfileEntryDialog"));
  setWindowTitle(QString::fromLatin1(kCustomProfileEntryCaption));

  auto* point = new QLabel(Latin1(form_.PointLabel()));
  point->setObjectName(QStringLiteral("pointNumberLabel"));
  point->setAlignment(Qt::AlignCenter);

  auto* grid = new QGridLayout;
  const struct {
    Field field;
    const char* label;
    const char* object_name;
    QString unit;
  } rows[] = {{Field::PercentFS, kPercentFSTargetLabel, "percentFsEdit", QString::fromLatin1(kPercentFSTargetUnit)},
              {Field::Pressure, kTargetPressureLabel, "pressureEdit", Latin1(form_.InputUnitsText())},
              {Field::Output, kTargetOutputLabel, "outputEdit", Latin1(form_.OutputUnitsText())}};
  int row = 0;
  for (const auto& entry : rows) {
    QLabel* label = MakeLabel(entry.label);
    QLineEdit* edit = MakeEdit(entry.object_name, entry.label, true);
    label->setBuddy(edit);
    auto* unit = new QLabel(entry.unit);
    unit->setObjectName(QString::fromLatin1(entry.object_name).replace(QStringLiteral("Edit"), QStringLiteral("Unit")));
    grid->addWidget(label, row, 0);
    grid->addWidget(edit, row, 1);
    grid->addWidget(unit, row, 2);
    edits_[static_cast<size_t>(entry.field)] = edit;
    const Field field = entry.field;
    connect(edit, &QLineEdit::textEdited, this, [this, field](const QString& text) {
      form_.OnTextEdited(field, ToLatin1(text));
      ShowForm();
    });
    ++row;
  }

  QDialogButtonBox* buttons = OkCancelButtons(this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(point);
  layout->addLayout(grid);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  ShowForm();
  edits_[0]->setFocus();
  edits_[0]->selectAll();
}

void CustomProfileEntryWidget::ShowForm() {
  for (const Field field : {Field::PercentFS, Field::Pressure, Field::Output}) {
    SetTextIfChanged(edits_[static_cast<size_t>(field)], form_.Text(field));
  }
}

void CustomProfileEntryWidget::accept() {
  if (form_.OnOk()) {
    QDialog::accept();
    return;
  }
  ShowForm();
  if (const auto field = form_.TakeFocusRequest()) {
    QLineEdit* edit = edits_[static_cast<size_t>(*field)];
    edit->setFocus();
    edit->selectAll();
  }
}

bool QtProfileEditor::Edit(TestProfile& profile, const UUT& uut, CDataBaseX& database, bool id_locked) {
  TPSetupDlg form(prompter_, *this);
  form.Open(profile, uut, database, id_locked);
  TPSetupWidget dialog(form, parent_);
  return dialog.exec() == QDialog::Accepted;
}

bool QtProfileEditor::Run(CCustomProfileEntry_Dlg& form) {
  QWidget* parent = QApplication::activeModalWidget();
  CustomProfileEntryWidget dialog(form, parent != nullptr ? parent : parent_.data());
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace veld
