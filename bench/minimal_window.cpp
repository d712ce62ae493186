// The floor of the desktop program's start-up: a minimal Qt Widgets program that shows one
// empty window and ends. With --text the window shows one line of text: that prices the
// font set-up and text drawing that any window with a word on it pays, and the empty one
// does not.

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>
#include <cstring>

#include "window_probes.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QWidget window;
  window.resize(1200, 800);
  if (argc > 1 && std::strcmp(argv[1], "--text") == 0) {
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("Veldane Manager")));
  }
  return veld::bench::ShowAndQuit(window);
}
