#include "ui/uut_setup_widget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/latin1.h"
#include "ui/widget_parts.h"

namespace veld {
namespace {

// Room for a number of up to 15 significant digits with its sign and point.
constexpr int kNumberEditDigits = 16;

int NumberEditWidth(const QLineEdit* edit) {
  return edit->fontMetrics().horizontalAdvance(QLatin1Char('0')) * kNumberEditDigits + 16;
}
constexpr int kTextEditWidth = 170;

QLabel* MakeLabel(const char* text, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
  auto* label = new QLabel(QString::fromLatin1(text));
  label->setAlignment(alignment);
  return label;
}

void ShowIf(bool shown, std::initializer_list<QWidget*> widgets) {
  for (QWidget* widget : widgets) {
    widget->setVisible(shown);
    widget->setEnabled(shown);
  }
}

void ShowChoice(QComboBox* box, const ComboChoice& choice) {
  QStringList items;
  for (const std::string& item : choice.items) items << Latin1(item);
  QStringList shown;
  for (int i = 0; i < box->count(); ++i) shown << box->itemText(i);
  if (shown != items) {
    box->clear();
    box->addItems(items);
  }
  box->setCurrentIndex(choice.selected);
}

}  // namespace

UUTSetupWidget::UUTSetupWidget(UUTSetupDlg& form, QWidget* parent) : QDialog(parent), form_(form) {
  setObjectName(QStringLiteral("uutSetupDialog"));
  setWindowTitle(QString::fromLatin1(kUUTSetupCaption));

  auto* columns = new QHBoxLayout;
  columns->addWidget(BuildIdentityColumn());
  columns->addSpacing(12);
  columns->addWidget(BuildRangeColumn());
  columns->addSpacing(12);
  columns->addWidget(BuildTestColumn());

  QDialogButtonBox* buttons = OkCancelButtons(this);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  // Top to bottom in each column, the columns left to right, then OK and Cancel.
  const QList<QWidget*> order = {edit(Field::Id),
                                 profile_box_,
                                 edit(Field::SerialNumber),
                                 edit(Field::PartNumber),
                                 edit(Field::Model),
                                 edit(Field::Manufacturer),
                                 edit(Field::Accuracy),
                                 edit(Field::ReCalAccuracy),
                                 edit(Field::InputMinusFS),
                                 edit(Field::OutputMinusFS),
                                 open_box_,
                                 edit(Field::InputPlusFS),
                                 edit(Field::OutputPlusFS),
                                 close_box_,
                                 type_box_,
                                 excitation_box_,
                                 edit(Field::SettlingTime),
                                 edit(Field::SystemVolume),
                                 edit(Field::ControlStability),
                                 edit(Field::MaxLeakRate),
                                 buttons->button(QDialogButtonBox::Ok),
                                 buttons->button(QDialogButtonBox::Cancel)};
  for (qsizetype i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);

  for (size_t i = 0; i < edits_.size(); ++i) {
    const auto field = static_cast<Field>(i);
    connect(edits_[i], &QLineEdit::textEdited, this, [this, field](const QString& text) {
      form_.OnTextEdited(field, ToLatin1(text));
      ShowForm();
      FocusRequested();
    });
  }
  const auto on_choice = [this](QComboBox* box, void (UUTSetupDlg::*handler)(int)) {
    connect(box, &QComboBox::currentIndexChanged, this, [this, handler](int index) {
      if (showing_) return;
      (form_.*handler)(index);
      ShowForm();
    });
  };
  on_choice(type_box_, &UUTSetupDlg::OnTypeChosen);
  on_choice(excitation_box_, &UUTSetupDlg::OnExcitationChosen);
  on_choice(profile_box_, &UUTSetupDlg::OnProfileChosen);
  for (const auto& [box, row] :
       {std::pair{open_box_, UUTSetupDlg::SwitchRow::Open}, std::pair{close_box_, UUTSetupDlg::SwitchRow::Close}}) {
    connect(box, &QCheckBox::clicked, this, [this, row = row] {
      form_.OnSwitchClicked(row);
      ShowForm();
    });
  }

  ShowForm();
  edit(form_.IdEnabled() ? Field::Id : Field::SerialNumber)->setFocus();
}

QLineEdit* UUTSetupWidget::MakeEdit(Field field, const char* object_name, const char* accessible_name, bool centred) {
  auto* line = new QLineEdit;
  line->setObjectName(QString::fromLatin1(object_name));
  line->setAccessibleName(QString::fromLatin1(accessible_name));
  if (centred) {
    line->setAlignment(Qt::AlignCenter);
    line->setFixedWidth(NumberEditWidth(line));
  } else {
    line->setMinimumWidth(kTextEditWidth);
  }
  edits_[static_cast<size_t>(field)] = line;
  return line;
}

QComboBox* UUTSetupWidget::MakeCombo(const char* object_name, const char* accessible_name) {
  auto* box = new QComboBox;
  box->setObjectName(QString::fromLatin1(object_name));
  box->setAccessibleName(QString::fromLatin1(accessible_name));
  return box;
}

QWidget* UUTSetupWidget::BuildIdentityColumn() {
  auto* column = new QWidget;
  auto* grid = new QGridLayout(column);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->addWidget(MakeEdit(Field::Id, "idEdit", "UUT ID", false), 0, 0, 1, 2);
  // One label under the ID edit: its left end points up to the ID, its right end down to
  // the profile box.
  auto* pointers = new QHBoxLayout;
  QLabel* up = MakeLabel(kUUTIdPointerLabel);
  up->setBuddy(edit(Field::Id));
  pointers->addWidget(up);
  pointers->addStretch();
  pointers->addWidget(MakeLabel(kProfileIdPointerLabel, Qt::AlignRight | Qt::AlignVCenter));
  grid->addLayout(pointers, 1, 0, 1, 2);
  profile_box_ = MakeCombo("profileCombo", "Default test profile ID");
  grid->addWidget(profile_box_, 2, 0, 1, 2);

  const struct {
    Field field;
    const char* label;
    const char* object_name;
    const char* accessible_name;
  } rows[] = {{Field::SerialNumber, kSerialNumberLabel, "serialNumberEdit", "Serial Number"},
              {Field::PartNumber, kPartNumberLabel, "partNumberEdit", "Part Number"},
              {Field::Model, kModelLabel, "modelEdit", "Model"},
              {Field::Manufacturer, kManufacturerLabel, "manufacturerEdit", "Manufacturer"}};
  int row = 3;
  for (const auto& entry : rows) {
    QLabel* label = MakeLabel(entry.label);
    QLineEdit* line = MakeEdit(entry.field, entry.object_name, entry.accessible_name, false);
    label->setBuddy(line);
    grid->addWidget(label, row, 0);
    grid->addWidget(line, row, 1);
    ++row;
  }
  grid->setRowStretch(row, 1);
  return column;
}

QWidget* UUTSetupWidget::BuildRangeColumn() {
  auto* column = new QWidget;
  auto* grid = new QGridLayout(column);
  grid->setContentsMargins(0, 0, 0, 0);

  const auto add_number_row = [&](int row, Field field, const char* label_text, const char* object_name,
                                  const char* unit) {
    QLabel* label = MakeLabel(label_text);
    QLineEdit* line = MakeEdit(field, object_name, label_text, true);
    label->setBuddy(line);
    grid->addWidget(label, row, 0);
    grid->addWidget(line, row, 1);
    grid->addWidget(MakeLabel(unit), row, 2);
  };
  add_number_row(0, Field::Accuracy, kAccuracyLabel, "accuracyEdit", kPercentFSUnit);
  add_number_row(1, Field::ReCalAccuracy, kReCalAccuracyLabel, "reCalAccuracyEdit", kPercentFSUnit);

  // The range: an input column and, in the same place, either the output column or (for
  // a pressure switch) the switch column.
  const Qt::Alignment centre = Qt::AlignCenter;
  grid->addWidget(MakeLabel(kInputColumnLabel, centre), 2, 1);
  input_units_ = MakeLabel("", centre);
  input_units_->setObjectName(QStringLiteral("inputUnitsLabel"));
  grid->addWidget(input_units_, 3, 1);
  output_label_ = MakeLabel(kOutputColumnLabel, centre);
  output_units_ = MakeLabel("", centre);
  output_units_->setObjectName(QStringLiteral("outputUnitsLabel"));
  manual_label_ = MakeLabel(kManualLabel, centre);
  reset_label_ = MakeLabel(kResetLabel, centre);
  grid->addWidget(output_label_, 2, 2);
  grid->addWidget(manual_label_, 2, 2);
  grid->addWidget(output_units_, 3, 2);
  grid->addWidget(reset_label_, 3, 2);
  minus_row_label_ = MakeLabel(kMinusFSRowLabel);
  minus_row_label_->setObjectName(QStringLiteral("minusRowLabel"));
  plus_row_label_ = MakeLabel(kPlusFSRowLabel);
  plus_row_label_->setObjectName(QStringLiteral("plusRowLabel"));
  grid->addWidget(minus_row_label_, 4, 0);
  grid->addWidget(plus_row_label_, 5, 0);
  grid->addWidget(MakeEdit(Field::InputMinusFS, "inputMinusFsEdit", "Input at -FS", true), 4, 1);
  grid->addWidget(MakeEdit(Field::InputPlusFS, "inputPlusFsEdit", "Input at +FS", true), 5, 1);
  grid->addWidget(MakeEdit(Field::OutputMinusFS, "outputMinusFsEdit", "Output at -FS", true), 4, 2);
  grid->addWidget(MakeEdit(Field::OutputPlusFS, "outputPlusFsEdit", "Output at +FS", true), 5, 2);
  open_box_ = new QCheckBox;
  open_box_->setObjectName(QStringLiteral("openSwitchBox"));
  open_box_->setAccessibleName(QStringLiteral("Switch output at -FS"));
  close_box_ = new QCheckBox;
  close_box_->setObjectName(QStringLiteral("closeSwitchBox"));
  close_box_->setAccessibleName(QStringLiteral("Switch output at +FS"));
  grid->addWidget(open_box_, 4, 2, centre);
  grid->addWidget(close_box_, 5, 2, centre);
  for (QWidget* widget :
       {static_cast<QWidget*>(output_label_), static_cast<QWidget*>(output_units_),
        static_cast<QWidget*>(manual_label_), static_cast<QWidget*>(reset_label_),
        static_cast<QWidget*>(edit(Field::OutputMinusFS)), static_cast<QWidget*>(edit(Field::OutputPlusFS)),
        static_cast<QWidget*>(open_box_), static_cast<QWidget*>(close_box_)}) {
    KeepPlaceWhenHidden(widget);
  }

  QLabel* type_label = MakeLabel(kUUTTypeLabel);
  type_box_ = MakeCombo("typeCombo", kUUTTypeLabel);
  type_label->setBuddy(type_box_);
  grid->addWidget(type_label, 6, 0);
  grid->addWidget(type_box_, 6, 1);
  excitation_label_ = MakeLabel(kExcitationLabel);
  excitation_box_ = MakeCombo("excitationCombo", kExcitationLabel);
  excitation_label_->setBuddy(excitation_box_);
  KeepPlaceWhenHidden(excitation_label_);
  KeepPlaceWhenHidden(excitation_box_);
  grid->addWidget(excitation_label_, 7, 0);
  grid->addWidget(excitation_box_, 7, 1);
  grid->setRowStretch(8, 1);
  return column;
}

QWidget* UUTSetupWidget::BuildTestColumn() {
  auto* column = new QWidget;
  auto* grid = new QGridLayout(column);
  grid->setContentsMargins(0, 0, 0, 0);
  const struct {
    Field field;
    const char* label;
    const char* object_name;
    const char* unit;
  } rows[] = {{Field::SettlingTime, kSettlingTimeLabel, "settlingTimeEdit", kSettlingTimeUnit},
              {Field::SystemVolume, kSystemVolumeLabel, "systemVolumeEdit", kSystemVolumeUnit},
              {Field::ControlStability, kControlStabilityLabel, "controlStabilityEdit", kControlStabilityUnit},
              {Field::MaxLeakRate, kMaxLeakRateLabel, "maxLeakRateEdit", kMaxLeakRateUnit}};
  int row = 0;
  for (const auto& entry : rows) {
    QLabel* label = MakeLabel(entry.label);
    QLineEdit* line = MakeEdit(entry.field, entry.object_name, entry.label, true);
    label->setBuddy(line);
    grid->addWidget(label, row, 0);
    grid->addWidget(line, row, 1);
    grid->addWidget(MakeLabel(entry.unit), row, 2);
    ++row;
  }
  grid->setRowStretch(row, 1);
  return column;
}

void UUTSetupWidget::ShowForm() {
  showing_ = true;
  for (size_t i = 0; i < edits_.size(); ++i) SetTextIfChanged(edits_[i], form_.Text(static_cast<Field>(i)));
  edit(Field::Id)->setEnabled(form_.IdEnabled());
  ShowChoice(profile_box_, form_.ProfileBox());
  ShowChoice(type_box_, form_.TypeBox());
  ShowChoice(excitation_box_, form_.ExcitationBox());
  input_units_->setText(Latin1(form_.InputUnitsText()));
  output_units_->setText(Latin1(form_.OutputUnitsText()));

  const UUTSetupDlg::Layout& layout = form_.layout();
  ShowIf(layout.output_column, {output_label_, output_units_, edit(Field::OutputMinusFS), edit(Field::OutputPlusFS)});
  ShowIf(layout.switch_column, {manual_label_, reset_label_, open_box_, close_box_});
  ShowIf(layout.excitation, {excitation_label_, excitation_box_});
  minus_row_label_->setText(QString::fromLatin1(layout.minus_row_label));
  plus_row_label_->setText(QString::fromLatin1(layout.plus_row_label));
  open_box_->setChecked(form_.SwitchChecked(UUTSetupDlg::SwitchRow::Open));
  close_box_->setChecked(form_.SwitchChecked(UUTSetupDlg::SwitchRow::Close));
  showing_ = false;
}

void UUTSetupWidget::FocusRequested() {
  if (const std::optional<Field> field = form_.TakeFocusRequest()) {
    QLineEdit* line = edit(*field);
    line->setFocus();
    line->selectAll();
  }
}

void UUTSetupWidget::accept() {
  if (form_.OnOk()) {
    QDialog::accept();
    return;
  }
  ShowForm();
  FocusRequested();
}

bool QtUUTEditor::Edit(UUT& uut, const std::vector<std::string>& profile_ids, bool id_locked, CDataBaseX& database) {
  form_.Open(uut, profile_ids, id_locked, database);
  UUTSetupWidget dialog(form_, parent_);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace veld
