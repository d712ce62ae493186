#pragma once
// The desktop program's workloads, each beside its floor: start-up until the window shows
// against a minimal Qt Widgets program showing one empty window; choosing a UUT with many
// results until its rows are in the list against the core listing them into a vector; and
// Connect in the window against veldane-cli connect of the same volume. Beside them, the
// minimal window with one line of text against the empty one: the part of start-up that
// any window showing a word pays.

#include <benchmark/benchmark.h>

#include <functional>
#include <string>
#include <vector>

#include "bench_data.h"

namespace veld::bench {

struct WindowWorkload {
  std::string name;
  int count;
  int iterations;
  std::function<void(benchmark::State&)> run;
  std::function<void(benchmark::State&)> floor;
};

// Writes what the workloads need under the work folder, unless present: a desktop holding
// count results of one UUT, and a calibrator volume with tables and the count result files
// of the sequence (which PrepareResultFolders must have written).
void PrepareWindowData(const WorkFolder& work, int count);

std::vector<WindowWorkload> WindowWorkloads(const WorkFolder& work, int count);

}  // namespace veld::bench
