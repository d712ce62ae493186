#pragma once
// The About box: name, revision and the revision history.

#include <QDialog>

namespace veld {

class AboutDialog : public QDialog {
  Q_OBJECT
 public:
  explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace veld
