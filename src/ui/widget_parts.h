#pragma once
// Small pieces that several of the program's dialogs are built from.

#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSizePolicy>
#include <string>

#include "ui/latin1.h"

namespace veld {

// OK and Cancel, named for the tests, wired to the dialog's accept and reject.
inline QDialogButtonBox* OkCancelButtons(QDialog* dialog) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

// A hidden control keeps its place, so that showing or hiding it moves nothing else.
inline void KeepPlaceWhenHidden(QWidget* widget) {
  QSizePolicy policy = widget->sizePolicy();
  policy.setRetainSizeWhenHidden(true);
  widget->setSizePolicy(policy);
}

// Only a changed text is written, so that the cursor stays where the user types.
inline void SetTextIfChanged(QLineEdit* edit, const std::string& text) {
  const QString shown = Latin1(text);
  if (edit->text() != shown) edit->setText(shown);
}

}  // namespace veld
