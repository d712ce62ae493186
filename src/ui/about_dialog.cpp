#include "ui/about_dialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/about_box.h"
#include "ui/latin1.h"

namespace veld {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("aboutDialog"));
  setWindowTitle(QString::fromLatin1(kAboutCaption));
  AboutBoxForm form;
  form.Open();

  auto* layout = new QVBoxLayout(this);
  auto* heading = new QHBoxLayout;
  auto* icon = new QLabel;
  icon->setObjectName(QStringLiteral("aboutIcon"));
  icon->setPixmap(QApplication::windowIcon().pixmap(48, 48));
  heading->addWidget(icon, 0, Qt::AlignTop);
  auto* lines = new QVBoxLayout;
  auto* title = new QLabel(QString::fromLatin1(kAboutTitleLine));
  title->setObjectName(QStringLiteral("aboutTitle"));
  lines->addWidget(title);
  lines->addWidget(new QLabel(QString::fromLatin1(kAboutReleaseLine)));
  heading->addLayout(lines, 1);
  layout->addLayout(heading);

  auto* history = new QPlainTextEdit(Latin1Lines(form.revision_text()));
  history->setObjectName(QStringLiteral("revisionText"));
  history->setAccessibleName(QStringLiteral("Revision history"));
  history->setReadOnly(true);
  history->setLineWrapMode(QPlainTextEdit::NoWrap);
  history->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  history->setTabStopDistance(history->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 6);
  history->setMinimumSize(900, 300);
  layout->addWidget(history, 1);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
}

}  // namespace veld
