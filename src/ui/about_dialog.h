#pragma once
// The About box: name, revision and the revision history.

#include <QDialog>

#include "app/about_box.h"

namespace veld {

class AboutDialog : public QDialog {
  Q_OBJECT
 public:
  explicit AboutDialog(QWidget* parent = nullptr);
  const AboutBoxForm& form() const { return form_; }

 private:
  AboutBoxForm form_;
};

}  // namespace veld
