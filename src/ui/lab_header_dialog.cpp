#include "ui/lab_header_dialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/latin1.h"
#include "ui/widget_parts.h"

namespace veld {
namespace {

constexpr int kPreviewSize = 64;

QPlainTextEdit* MakeLinesEdit(const char* object_name, const char* label, size_t lines) {
  auto* edit = new QPlainTextEdit;
  edit->setObjectName(QString::fromLatin1(object_name));
  edit->setAccessibleName(QString::fromLatin1(label).remove(QLatin1Char('&')).remove(QLatin1Char(':')));
  edit->setTabChangesFocus(true);
  edit->setLineWrapMode(QPlainTextEdit::NoWrap);
  const QFontMetrics metrics = edit->fontMetrics();
  edit->setFixedHeight(metrics.lineSpacing() * static_cast<int>(lines) + 2 * edit->frameWidth() + 8);
  edit->setMinimumWidth(metrics.horizontalAdvance(QLatin1Char('x')) * static_cast<int>(LabHeader::kMaxLineLength) / 2);
  return edit;
}

bool IsLatin1(const QString& text) {
  for (const QChar c : text) {
    if (c.unicode() > 0xFF) return false;
  }
  return true;
}

}  // namespace

LabHeaderDialog::LabHeaderDialog(LabHeaderForm& form, Prompter& prompter, QWidget* parent)
    : QDialog(parent), form_(form), prompter_(prompter) {
  setObjectName(QStringLiteral("labHeaderDialog"));
  setWindowTitle(QString::fromLatin1(kCertificateHeaderCaption));
  auto* layout = new QVBoxLayout(this);
  auto* explanation = new QLabel(QString::fromLatin1(kLabHeaderExplanation));
  explanation->setWordWrap(true);
  layout->addWidget(explanation);

  auto* fields = new QFormLayout;
  name_ = new QLineEdit(Latin1(form_.name));
  name_->setObjectName(QStringLiteral("labNameEdit"));
  name_->setAccessibleName(QStringLiteral("Laboratory name"));
  name_->setMaxLength(static_cast<int>(LabHeader::kMaxNameLength));
  address_ = MakeLinesEdit("labAddressEdit", kLabAddressLabel, LabHeader::kMaxAddressLines);
  address_->setPlainText(Latin1(form_.address));
  accreditation_ = MakeLinesEdit("labAccreditationEdit", kLabAccreditationLabel, LabHeader::kMaxAccreditationLines);
  accreditation_->setPlainText(Latin1(form_.accreditation));
  fields->addRow(QString::fromLatin1(kLabNameLabel), name_);
  fields->addRow(QString::fromLatin1(kLabAddressLabel), address_);
  fields->addRow(QString::fromLatin1(kLabAccreditationLabel), accreditation_);

  auto* logo_row = new QHBoxLayout;
  logo_preview_ = new QLabel;
  logo_preview_->setObjectName(QStringLiteral("labLogoPreview"));
  logo_preview_->setFixedSize(kPreviewSize, kPreviewSize);
  logo_preview_->setAlignment(Qt::AlignCenter);
  logo_path_ = new QLabel;
  logo_path_->setObjectName(QStringLiteral("labLogoPath"));
  logo_path_->setAccessibleName(QStringLiteral("Logo file"));
  logo_path_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* choose = new QPushButton(QString::fromLatin1(kChooseLogoLabel));
  choose->setObjectName(QStringLiteral("chooseLogoButton"));
  choose->setAccessibleName(QStringLiteral("Choose logo"));
  choose->setAutoDefault(false);
  remove_logo_ = new QPushButton(QString::fromLatin1(kRemoveLogoLabel));
  remove_logo_->setObjectName(QStringLiteral("removeLogoButton"));
  remove_logo_->setAccessibleName(QStringLiteral("Remove logo"));
  remove_logo_->setAutoDefault(false);
  logo_row->addWidget(logo_preview_);
  logo_row->addWidget(logo_path_, 1);
  logo_row->addWidget(choose);
  logo_row->addWidget(remove_logo_);
  fields->addRow(QString::fromLatin1(kLabLogoLabel), logo_row);
  layout->addLayout(fields);

  connect(choose, &QPushButton::clicked, this, [this] {
    const QString path = QFileDialog::getOpenFileName(this, QString::fromLatin1(kChooseLogoCaption), QString(),
                                                      QStringLiteral("Images (*.png *.jpg *.jpeg)"));
    if (!path.isEmpty()) ChooseLogo(path);
  });
  connect(remove_logo_, &QPushButton::clicked, this, [this] {
    form_.RemoveLogo();
    ShowLogo();
  });

  layout->addWidget(OkCancelButtons(this));
  ShowLogo();
  name_->setFocus();
}

void LabHeaderDialog::ChooseLogo(const QString& path) {
  if (!form_.ChooseLogo(HostPathOf(path))) {
    prompter_.Message(form_.LastLogoProblem());
    return;
  }
  ShowLogo();
}

void LabHeaderDialog::ShowLogo() {
  const std::string& path = form_.LogoPath();
  // The file's name; its folder in the tool tip.
  logo_path_->setText(path.empty() ? QString::fromLatin1(kLabNoLogoText) : QFileInfo(HostPathText(path)).fileName());
  logo_path_->setToolTip(path.empty() ? QString() : HostPathText(path));
  remove_logo_->setEnabled(!path.empty());
  QImageReader reader(HostPathText(path));
  reader.setAutoTransform(true);
  const QImage image = path.empty() ? QImage() : reader.read();
  logo_preview_->setPixmap(image.isNull() ? QPixmap()
                                          : QPixmap::fromImage(image.scaled(kPreviewSize, kPreviewSize, Qt::KeepAspectRatio,
                                                                            Qt::SmoothTransformation)));
}

void LabHeaderDialog::accept() {
  const QString texts[] = {name_->text(), address_->toPlainText(), accreditation_->toPlainText()};
  for (const QString& text : texts) {
    if (!IsLatin1(text)) {
      prompter_.Message(kLabTextNotLatin1Message);
      return;
    }
  }
  form_.name = ToLatin1(texts[0]);
  form_.address = ToLatin1(texts[1]);
  form_.accreditation = ToLatin1(texts[2]);
  const std::string problems = form_.Problems();
  if (!problems.empty()) {
    prompter_.Message(problems);
    return;
  }
  QDialog::accept();
}

}  // namespace veld
