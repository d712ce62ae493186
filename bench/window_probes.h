#pragma once
// Shared by the two start-up probes: shows a window and returns once the platform has
// exposed it and it has painted itself, the moment a user would see it. That moment is
// told on standard output, so that the benchmark stops its clock there and not after the
// program has torn its window down.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <QWindow>
#include <cstdio>

namespace veld::bench {

inline int ShowAndQuit(QWidget& window) {
  window.show();
  QElapsedTimer waited;
  waited.start();
  while (window.windowHandle() == nullptr || !window.windowHandle()->isExposed()) {
    if (waited.elapsed() > 10000) return 1;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  QCoreApplication::processEvents();  // the first paint
  std::fputs("shown\n", stdout);
  std::fflush(stdout);
  return 0;
}

}  // namespace veld::bench
