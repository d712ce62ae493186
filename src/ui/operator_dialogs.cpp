#include "ui/operator_dialogs.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/main_window_texts.h"
#include "ui/latin1.h"
#include "ui/widget_parts.h"

namespace veld {
namespace {

QLineEdit* MakeEdit(const char* object_name, const char* label) {
  auto* edit = new QLineEdit;
  edit->setObjectName(QString::fromLatin1(object_name));
  edit->setAccessibleName(QString::fromLatin1(label).remove(QLatin1Char(':')));
  edit->setMinimumWidth(180);
  return edit;
}

}  // namespace

PasswordEntryDialog::PasswordEntryDialog(PasswordEntryForm& form, QWidget* parent) : QDialog(parent), form_(form) {
  setObjectName(QStringLiteral("passwordEntryDialog"));
  setWindowTitle(QString::fromLatin1(kPasswordEntryCaption));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QString::fromLatin1(kPasswordEntryHeading)));

  auto* fields = new QFormLayout;
  name_ = MakeEdit("nameEdit", kPasswordEntryNameLabel);
  id_ = MakeEdit("idEdit", kPasswordEntryIdLabel);
  password_ = MakeEdit("passwordEdit", kPasswordEntryPasswordLabel);
  // Not shown on the screen: the command-line tool does not echo it either.
  password_->setEchoMode(QLineEdit::Password);
  fields->addRow(QString::fromLatin1(kPasswordEntryNameLabel), name_);
  fields->addRow(QString::fromLatin1(kPasswordEntryIdLabel), id_);
  fields->addRow(QString::fromLatin1(kPasswordEntryPasswordLabel), password_);
  layout->addLayout(fields);

  layout->addWidget(OkCancelButtons(this));

  auto* prompt = new QLabel(Latin1Lines(form_.prompt()));
  prompt->setObjectName(QStringLiteral("promptLabel"));
  prompt->setWordWrap(true);
  prompt->setMinimumWidth(260);
  layout->addWidget(prompt);
  name_->setFocus();
}

void PasswordEntryDialog::accept() {
  form_.name = ToLatin1(name_->text());
  form_.id = ToLatin1(id_->text());
  form_.password = ToLatin1(password_->text());
  QDialog::accept();
}

AdministratorSettingsDialog::AdministratorSettingsDialog(PasswordConfigureForm& form, QWidget* parent)
    : QDialog(parent), form_(form) {
  setObjectName(QStringLiteral("administratorDialog"));
  setWindowTitle(QString::fromLatin1(kAdministratorCaption));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(AddBox(PasswordConfigureForm::Box::CfrComp, kCfrCompLabel, "cfrCompBox"));
  layout->addWidget(AddBox(PasswordConfigureForm::Box::PasswordReportGenerator, kPasswordReportGeneratorLabel,
                           "passwordReportGeneratorBox"));
  layout->addWidget(AddBox(PasswordConfigureForm::Box::FailLockDown, kFailLockDownLabel, "failLockDownBox"));
  layout->addSpacing(12);
  // The button has no action of its own.
  auto* entry = new QPushButton(QString::fromLatin1(kPasswordEntryButtonLabel));
  entry->setObjectName(QStringLiteral("passwordEntryButton"));
  entry->setAutoDefault(false);
  layout->addWidget(entry);

  layout->addWidget(OkCancelButtons(this));
}

QCheckBox* AdministratorSettingsDialog::AddBox(PasswordConfigureForm::Box box, const char* label,
                                               const char* object_name) {
  auto* check = new QCheckBox(QString::fromLatin1(label));
  check->setObjectName(QString::fromLatin1(object_name));
  check->setChecked(form_.Checked(box));
  // Each click is kept at once: Cancel does not take it back.
  connect(check, &QCheckBox::clicked, this, [this, box](bool checked) { form_.Click(box, checked); });
  return check;
}

}  // namespace veld
