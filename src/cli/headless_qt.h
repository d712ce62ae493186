#pragma once
// Qt for the commands of veldane-cli that draw: a headless application object, made only
// by the command that draws, so that the other commands never start Qt.

#include <memory>

class QGuiApplication;

namespace veld::cli {

class HeadlessQt {
 public:
  // What the drawing needs: text needs a GUI application, Qt Charts a widgets one.
  enum class Kind { Gui, Widgets };

  // Makes the application on the offscreen platform (unless QT_QPA_PLATFORM names
  // another), with only Qt's errors reaching stderr; nothing when one exists already.
  explicit HeadlessQt(Kind kind);
  ~HeadlessQt();
  HeadlessQt(const HeadlessQt&) = delete;
  HeadlessQt& operator=(const HeadlessQt&) = delete;

 private:
  // Qt keeps argc and argv for the life of the application.
  int argc_ = 1;
  char name_[12] = "veldane-cli";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QGuiApplication> application_;
};

}  // namespace veld::cli
