// The floor of the desktop program's start-up: a minimal Qt Widgets program that shows one
// empty window and ends.

#include <QApplication>
#include <QWidget>

#include "window_probes.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QWidget window;
  window.resize(1200, 800);
  return veld::bench::ShowAndQuit(window);
}
