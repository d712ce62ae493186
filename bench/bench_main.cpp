// The benchmarks of the results index, the device synchronisation, the UUT table, the
// reports and the lenient parsers, each registered beside its floor: the same bytes read,
// listed or copied by the system's own tools (cat, ls, cp) or by one plain read of the
// table file per operation; the UUT import from CSV beside the transfer command writing
// the same records; texts of a million characters beside one pass over them.
//
//   veld_bench --workdir=DIR [--counts=1000,10000,50000] [--records=5000] [--history=10000] [benchmark flags]
//       writes the data under DIR (kept for the next run), runs every benchmark and prints
//       one line per workload on stdout: name count seconds floor_seconds ratio
//       (the best repetition of each); the benchmark library's own table goes to stderr.
//   veld_bench --workdir=DIR --probe=NAME --count=N
//       runs one workload once on the data already written and prints its peak resident
//       set size: "NAME N peak_rss_kib".

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <set>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_data.h"
#include "database/database.h"
#include "app/profile_commands.h"
#include "database/results_index.h"
#include "device/corvane_rapi.h"
#include "platform/binary_file.h"
#include "platform/host_path.h"
#include "reports/csv_export.h"
#include "reports/drift_history.h"
#include "reports/uut_csv.h"
#include "units/type_converter.h"

#ifdef VELD_BENCH_WINDOW
#include <QApplication>

#include "window_bench.h"
#endif
#ifdef VELD_BENCH_PDF
#include <QGuiApplication>

#include "ui/certificate_printing.h"
#endif

namespace veld::bench {
namespace {
namespace fs = std::filesystem;

// Collects every message, so that a benchmark can check that nothing was reported.
class CountingPrompter : public Prompter {
 public:
  void Message(const std::string& text, MessageIcon) override { messages.push_back(text); }
  bool AskYesNo(const std::string& question) override {
    messages.push_back(question);
    return true;
  }
  std::vector<std::string> messages;
};

class NoHooks : public ProfileCommandHooks {
 public:
  void RefillUUTList(DatabaseSide) override {}
  void RefillProfileList(DatabaseSide) override {}
  void DownloadUUTTable() override {}
  void DownloadTestProfileTable() override {}
};

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

void Shell(benchmark::State& state, const std::string& command) {
  if (std::system(command.c_str()) != 0) state.SkipWithError(("failed: " + command).c_str());
}

size_t CountFiles(const std::string& folder) {
  size_t count = 0;
  for (const auto& entry : fs::directory_iterator(folder)) count += entry.is_regular_file() ? 1 : 0;
  return count;
}

struct Settings {
  std::string workdir;
  std::vector<int> counts = {1000, 10000, 50000};
  int records = 5000;
  int transferred = 500;
  int history = 10000;
  std::string probe;
  int probe_count = 0;
};

// ---- 1. Results index -------------------------------------------------------------------

void FillCombo(benchmark::State& state, const WorkFolder& work, int count) {
  UseRoots(work.FullRoot(count), work.DeviceRoot(count));
  CountingPrompter prompter;
  CDataBaseX pc(prompter);
  pc.SetDevice(DatabaseSide::PC);
  for (auto _ : state) {
    VectorListTarget combo;
    pc.FillResultUUTCombo(combo);
    if (combo.items.size() != static_cast<size_t>(std::min(count, kUutIdCount))) {
      state.SkipWithError("wrong number of UUT IDs");
    }
  }
}

void CatAll(benchmark::State& state, const WorkFolder& work, int count) {
  const std::string command = "find " + Quote(work.FullResults(count)) +
                              " -maxdepth 1 -type f -iname '*.DAT' -print0 | xargs -0 cat > /dev/null";
  for (auto _ : state) Shell(state, command);
}

void ListOneUut(benchmark::State& state, const WorkFolder& work, int count) {
  UseRoots(work.FullRoot(count), work.DeviceRoot(count));
  CountingPrompter prompter;
  CDataBaseX pc(prompter);
  pc.SetDevice(DatabaseSide::PC);
  const std::string id = UutId(kListedUut);
  const size_t expected = static_cast<size_t>((count - kListedUut + kUutIdCount - 1) / kUutIdCount);
  for (auto _ : state) {
    VectorResultList list;
    TestResults work_record;
    pc.ListTestResults(list, id, work_record);
    if (list.rows.size() != expected) state.SkipWithError("wrong number of rows");
  }
}

void CatOneUut(benchmark::State& state, const WorkFolder& work, int count) {
  const std::string command = "find " + Quote(work.FullResults(count)) + " -maxdepth 1 -type f -name " +
                              Quote(ResultFilePrefix(UutId(kListedUut)) + "*.DAT") +
                              " -print0 | xargs -0 cat > /dev/null";
  for (auto _ : state) Shell(state, command);
}

// What `veldane-cli history` does: the history read, its table rows and its chart's data.
void DriftHistoryOfOneUut(benchmark::State& state, const WorkFolder& work, int count) {
  UseRoots(work.HistoryRoot(count), work.HistoryRoot(count));
  for (auto _ : state) {
    const DriftHistory history = ReadDriftHistory(kHistoryUut);
    benchmark::DoNotOptimize(BuildHistoryRows(history));
    benchmark::DoNotOptimize(BuildHistoryChart(history));
    if (history.entries.size() != static_cast<size_t>(count)) state.SkipWithError("wrong number of results");
  }
}

void CatHistory(benchmark::State& state, const WorkFolder& work, int count) {
  const std::string command = "find " + Quote(work.HistoryResults(count)) +
                              " -maxdepth 1 -type f -iname '*.DAT' -print0 | xargs -0 cat > /dev/null";
  for (auto _ : state) Shell(state, command);
}

// ---- 2. and 3. Device synchronisation ----------------------------------------------------

// Moves a folder into the work folder's trash (removed at the end of the run).
void SetAside(const WorkFolder& work, const std::string& folder) {
  static int next = 0;
  fs::create_directories(work.Trash());
  if (fs::exists(folder)) fs::rename(folder, work.Trash() + "/" + std::to_string(++next));
}

void RefreshNothingNew(benchmark::State& state, const WorkFolder& work, int count) {
  UseRoots(work.FullRoot(count), work.DeviceRoot(count));
  CountingPrompter prompter;
  CCorvaneRAPI link(prompter);
  if (!link.Connect()) {
    state.SkipWithError("the stand-in remote API library did not connect");
    return;
  }
  for (auto _ : state) link.UploadTestResults();
  if (!prompter.messages.empty()) state.SkipWithError(prompter.messages.front().c_str());
  if (CountFiles(work.FullResults(count)) != static_cast<size_t>(count)) state.SkipWithError("files changed");
}

void ListBothFolders(benchmark::State& state, const WorkFolder& work, int count) {
  const std::string command = "ls " + Quote(work.DeviceResults(count)) + " " + Quote(work.FullResults(count)) +
                              " > /dev/null";
  for (auto _ : state) Shell(state, command);
}

// Each copy goes into a fresh empty folder; the full ones are set aside and removed after
// the run, since removing tens of thousands of files loads the disk for a while after.
void ConnectAllNew(benchmark::State& state, const WorkFolder& work, int count) {
  UseRoots(work.ConnectRoot(count), work.DeviceRoot(count));
  CountingPrompter prompter;
  CCorvaneRAPI link(prompter);
  for (auto _ : state) {
    state.PauseTiming();
    SetAside(work, work.ConnectResults(count));
    fs::create_directories(work.ConnectResults(count));
    state.ResumeTiming();
    if (!link.Connect()) {
      state.SkipWithError("the stand-in remote API library did not connect");
      break;
    }
    link.UploadTestResults();
  }
  if (!prompter.messages.empty()) state.SkipWithError(prompter.messages.front().c_str());
  if (CountFiles(work.ConnectResults(count)) != static_cast<size_t>(count)) state.SkipWithError("files missing");
}

void CopyAll(benchmark::State& state, const WorkFolder& work, int count) {
  const std::string command = "cp -R " + Quote(work.DeviceResults(count) + "/.") + " " + Quote(work.CopyTarget(count));
  for (auto _ : state) {
    state.PauseTiming();
    SetAside(work, work.CopyTarget(count));
    fs::create_directories(work.CopyTarget(count));
    state.ResumeTiming();
    Shell(state, command);
  }
}

// ---- 4. UUT tables ------------------------------------------------------------------------

void FillUutList(benchmark::State& state, const WorkFolder& work, int records) {
  UseRoots(work.TableRoot(), work.TableRoot());
  CountingPrompter prompter;
  CDataBaseX pc(prompter);
  pc.SetDevice(DatabaseSide::PC);
  for (auto _ : state) {
    VectorListTarget list;
    pc.FillList(list, "UUT");
    if (list.items.size() != static_cast<size_t>(records)) state.SkipWithError("wrong number of items");
  }
}

void TransferUuts(benchmark::State& state, const WorkFolder& work, int records, int transferred) {
  UseRoots(work.TableRoot(), work.TableRoot());
  CountingPrompter prompter;
  CDataBaseX pc(prompter);
  CDataBaseX veld(prompter);
  veld.SetDevice(DatabaseSide::VELD);
  pc.SetDevice(DatabaseSide::PC);
  // Every tenth record of the VELD table, none of which the PC table holds yet.
  std::vector<std::string> ids;
  for (int i = 0; i < transferred; ++i) ids.push_back(VeldTableId((i * records / transferred + 9) % records));
  NoHooks hooks;
  UUT current;
  for (auto _ : state) {
    state.PauseTiming();
    RestoreTables(work);
    state.ResumeTiming();
    TransferUUTs(veld, pc, DatabaseSide::PC, ids, current, hooks);
  }
  const uint64_t expected = static_cast<uint64_t>(records + transferred) * CUUTTable::kRecordSize;
  if (fs::file_size(PcTablePath(work)) != expected) state.SkipWithError("wrong table length after the transfer");
  if (!prompter.messages.empty()) state.SkipWithError(prompter.messages.front().c_str());
  RestoreTables(work);
}

void LoadLastUut(benchmark::State& state, const WorkFolder& work, int records) {
  UseRoots(work.TableRoot(), work.TableRoot());
  CountingPrompter prompter;
  CDataBaseX pc(prompter);
  pc.SetDevice(DatabaseSide::PC);
  for (auto _ : state) {
    UUT uut;
    uut.ID = PcTableId(records - 1);
    uut.SerialNumber = "unchanged";
    pc.LoadUUT(uut);
    if (uut.SerialNumber == "unchanged") state.SkipWithError("the last record was not found");
  }
}

// ---- 4b. UUT profiles from CSV -----------------------------------------------------------

std::string ImportCsvPath(const WorkFolder& work) { return work.path() + "/veld-uuts.csv"; }

// The VELD table's records as an export writes them, for the import to create in the PC table.
void PrepareImportCsv(const WorkFolder& work) {
  UseRoots(work.TableRoot(), work.TableRoot());
  CountingPrompter prompter;
  CDataBaseX veld(prompter);
  veld.SetDevice(DatabaseSide::VELD);
  BinaryFile file(ImportCsvPath(work), BinaryFile::Mode::Create);
  file.Write(BuildUUTCsv(veld.ReadAllUUTs()));
}

// Imports every row of the file: read, parse, check against the PC table, one write.
void ImportUuts(benchmark::State& state, const WorkFolder& work, int records) {
  UseRoots(work.TableRoot(), work.TableRoot());
  CountingPrompter prompter;
  CDataBaseX pc(prompter);
  pc.SetDevice(DatabaseSide::PC);
  for (auto _ : state) {
    state.PauseTiming();
    RestoreTables(work);
    state.ResumeTiming();
    const UUTImportPlan plan = PlanUUTImportFromFile(pc, ImportCsvPath(work));
    if (!plan.Acceptable() || plan.created.size() != static_cast<size_t>(records) || !ApplyUUTImport(pc, plan)) {
      state.SkipWithError("the import did not create every record");
    }
  }
  if (fs::file_size(PcTablePath(work)) != static_cast<uint64_t>(2 * records) * CUUTTable::kRecordSize) {
    state.SkipWithError("wrong table length after the import");
  }
  if (!prompter.messages.empty()) state.SkipWithError(prompter.messages.front().c_str());
  RestoreTables(work);
}

// The same records written into the PC table by the transfer command.
void TransferAllUuts(benchmark::State& state, const WorkFolder& work, int records) {
  TransferUuts(state, work, records, records);
}

// One sequential read of each table file per operation.
void ReadTables(benchmark::State& state, const std::vector<std::string>& paths) {
  for (auto _ : state) {
    for (const std::string& path : paths) benchmark::DoNotOptimize(ReadFileOnce(path));
  }
}

// ---- 5. Reports ---------------------------------------------------------------------------

std::string ReportSource(const WorkFolder& work, int which) {
  return work.ReportFolder() + "/" + ResultFileName(kListedUut + which * kUutIdCount);
}

void PrepareReports(const WorkFolder& work) {
  fs::create_directories(work.ReportFolder());
  for (int which : {0, 1}) {
    BinaryFile file(ReportSource(work, which), BinaryFile::Mode::Create);
    file.Write(ResultFileBytes(kListedUut + which * kUutIdCount));
  }
}

void ExportCsv(benchmark::State& state, const WorkFolder& work) {
  CountingPrompter prompter;
  CDataBaseX pc(prompter);
  const std::string target = work.ReportFolder() + "/export.csv";
  for (auto _ : state) {
    TestResults result;
    pc.ReadTestResults(result, ReportSource(work, 0));
    WriteCsvExport(result, target);
  }
}

// Reading the source files and writing an output of the same length as the report.
void ReadAndWrite(benchmark::State& state, const std::vector<std::string>& sources, const std::string& output,
                  const std::string& copy) {
  const std::string bytes(BinaryFile::ReadWholeFile(output).view());
  for (auto _ : state) {
    for (const std::string& source : sources) benchmark::DoNotOptimize(ReadFileOnce(source));
    BinaryFile file(copy, BinaryFile::Mode::Create);
    file.Write(bytes);
  }
}

#ifdef VELD_BENCH_PDF
void CertificatePdf(benchmark::State& state, const WorkFolder& work) {
  CountingPrompter prompter;
  CDataBaseX pc(prompter);
  const std::string target = work.ReportFolder() + "/certificate.pdf";
  for (auto _ : state) {
    TestResults as_found, as_left;
    pc.ReadTestResults(as_found, ReportSource(work, 0));
    pc.ReadTestResults(as_left, ReportSource(work, 1));
    WriteCertificatePdf(target, as_found, as_left, pc.GetUnitFactor(as_found.Uut.InputUnits), prompter);
  }
  if (!prompter.messages.empty()) state.SkipWithError(prompter.messages.front().c_str());
}
#endif

// ---- 6. Lenient number and date parsing ----------------------------------------------------

// Texts of a million characters, as a pasted or damaged field may hold them: the parsers
// must take time in proportion to the text, never a loop per digit and place.
struct HugeTexts {
  std::vector<std::string> numbers = {"1" + std::string(1000000, '0') + ".5", std::string(1000000, '0') + "1.5",
                                      "0." + std::string(1000000, '3'), std::string(1000000, '9')};
  std::string date = std::string(1000000, '/') + std::string(1000000, ':');
};

void ParseHugeTexts(benchmark::State& state, const HugeTexts& texts) {
  const TypeConverter converter;
  for (auto _ : state) {
    for (const std::string& number : texts.numbers) benchmark::DoNotOptimize(converter.AsDouble(number));
    benchmark::DoNotOptimize(converter.AsInteger(texts.numbers.back()));
    OleDateTime date;
    benchmark::DoNotOptimize(converter.ParseDateTime(texts.date, date, true));
  }
  if (converter.AsDouble(texts.numbers[1]) != 1.5) state.SkipWithError("leading zeros changed the number");
}

// One pass over the same characters.
void ScanHugeTexts(benchmark::State& state, const HugeTexts& texts) {
  for (auto _ : state) {
    for (const std::string& number : texts.numbers) benchmark::DoNotOptimize(std::count(number.begin(), number.end(), '>'));
    benchmark::DoNotOptimize(std::count(texts.date.begin(), texts.date.end(), '>'));
  }
}

// ---- Registration and the summary ----------------------------------------------------------

struct Workload {
  std::string name;
  int count;
};

// The console table goes to stderr; the best repetition of every benchmark is kept for
// the summary lines.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const std::string name = run.run_name.function_name;
      ran_.insert(name);
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      const double seconds = run.GetAdjustedRealTime() / 1000.0;  // every benchmark is in ms
      auto [it, added] = best_.try_emplace(name, seconds);
      if (!added) it->second = std::min(it->second, seconds);
    }
  }

  void PrintSummary(const std::vector<Workload>& workloads) const {
    for (const Workload& workload : workloads) {
      const std::string name = workload.name + "/" + std::to_string(workload.count);
      if (!ran_.contains(name) && !ran_.contains(name + "/floor")) continue;  // left out by the filter
      const auto seconds = best_.find(name);
      const auto floor = best_.find(name + "/floor");
      std::ostringstream line;
      line << workload.name << ' ' << workload.count << ' ';
      if (seconds == best_.end() || floor == best_.end()) {
        line << "failed";
      } else {
        line.setf(std::ios::fixed);
        line.precision(6);
        line << seconds->second << ' ' << floor->second << ' ';
        line.precision(2);
        line << seconds->second / floor->second;
      }
      std::cout << line.str() << std::endl;
    }
  }

 private:
  std::map<std::string, double> best_;
  std::set<std::string> ran_;
};

using BenchFunction = std::function<void(benchmark::State&)>;

// repetitions: 0 for the number the command line asks for.
void Register(std::vector<Workload>& workloads, const std::string& name, int count, int iterations,
              int floor_iterations, const BenchFunction& run, const BenchFunction& floor, int repetitions = 0) {
  const std::string base = name + "/" + std::to_string(count);
  for (auto* benchmark : {benchmark::RegisterBenchmark(base.c_str(), run)->Iterations(iterations),
                          benchmark::RegisterBenchmark((base + "/floor").c_str(), floor)->Iterations(floor_iterations)}) {
    benchmark->UseRealTime()->Unit(benchmark::kMillisecond);
    if (repetitions > 0) benchmark->Repetitions(repetitions);
  }
  workloads.push_back({name, count});
}

#ifdef VELD_BENCH_WINDOW
// The window's workloads run at 10,000 result files, or at the largest count asked for below it.
int WindowCount(const Settings& settings) {
  int count = settings.counts.front();
  for (int n : settings.counts) {
    if (n <= 10000) count = std::max(count, n);
  }
  return count;
}
#endif

std::vector<Workload> RegisterAll(const Settings& settings, const WorkFolder& work) {
  std::vector<Workload> workloads;
  for (int n : settings.counts) {
    // Enough iterations for a few hundred milliseconds per repetition at the small counts.
    const int few = n <= 1000 ? 5 : 1;
    const int listings = n <= 1000 ? 20 : n <= 10000 ? 5 : 2;
    Register(workloads, "results_index", n, few, few, [=](auto& s) { FillCombo(s, work, n); },
             [=](auto& s) { CatAll(s, work, n); });
    Register(workloads, "results_list_one_uut", n, listings, listings, [=](auto& s) { ListOneUut(s, work, n); },
             [=](auto& s) { CatOneUut(s, work, n); });
    Register(workloads, "refresh_nothing_new", n, few, few, [=](auto& s) { RefreshNothingNew(s, work, n); },
             [=](auto& s) { ListBothFolders(s, work, n); });
    Register(workloads, "connect_all_new", n, 1, 1, [=](auto& s) { ConnectAllNew(s, work, n); },
             [=](auto& s) { CopyAll(s, work, n); }, n > 10000 ? 2 : 0);
  }
#ifdef VELD_BENCH_WINDOW
  for (const WindowWorkload& window : WindowWorkloads(work, WindowCount(settings))) {
    Register(workloads, window.name, window.count, window.iterations, window.iterations, window.run, window.floor);
  }
#endif
  const int history = settings.history;
  Register(workloads, "drift_history", history, 3, 3, [=](auto& s) { DriftHistoryOfOneUut(s, work, history); },
           [=](auto& s) { CatHistory(s, work, history); });
  const int records = settings.records;
  const std::vector<std::string> pc_table = {PcTablePath(work)};
  // The sub-millisecond workloads take enough iterations for tens of milliseconds per
  // repetition, so that one scheduling hiccup does not decide their ratio.
  Register(workloads, "table_fill_list", records, 200, 200, [=](auto& s) { FillUutList(s, work, records); },
           [=](auto& s) { ReadTables(s, pc_table); });
  std::vector<std::string> transfer_reads;
  for (int i = 0; i < settings.transferred; ++i) {
    transfer_reads.push_back(VeldTablePath(work));  // LoadUUT from the VELD database
    transfer_reads.push_back(PcTablePath(work));    // SaveUUT into the PC database
  }
  Register(workloads, "table_transfer", settings.transferred, 1, 1,
           [=](auto& s) { TransferUuts(s, work, records, settings.transferred); },
           [=](auto& s) { ReadTables(s, transfer_reads); });
  Register(workloads, "table_load_last", records, 200, 200, [=](auto& s) { LoadLastUut(s, work, records); },
           [=](auto& s) { ReadTables(s, pc_table); });
  // Its "floor" is the transfer of the same records, which the import must not take more
  // than twice as long as.
  Register(workloads, "uut_import_vs_transfer", records, 1, 1, [=](auto& s) { ImportUuts(s, work, records); },
           [=](auto& s) { TransferAllUuts(s, work, records); });

  const auto huge = std::make_shared<const HugeTexts>();
  Register(workloads, "huge_text_parse", 1000000, 5, 5, [=](auto& s) { ParseHugeTexts(s, *huge); },
           [=](auto& s) { ScanHugeTexts(s, *huge); });

  const std::string csv = work.ReportFolder() + "/export.csv";
  Register(workloads, "csv_export", 1, 500, 500, [=](auto& s) { ExportCsv(s, work); },
           [=](auto& s) { ReadAndWrite(s, {ReportSource(work, 0)}, csv, csv + ".floor"); });
#ifdef VELD_BENCH_PDF
  const std::string pdf = work.ReportFolder() + "/certificate.pdf";
  Register(workloads, "certificate_pdf", 1, 5, 5, [=](auto& s) { CertificatePdf(s, work); },
           [=](auto& s) { ReadAndWrite(s, {ReportSource(work, 0), ReportSource(work, 1)}, pdf, pdf + ".floor"); });
#endif
  return workloads;
}

// Writes the report outputs once, so that their floors know the lengths to write.
void WriteReportsOnce(const WorkFolder& work) {
  CountingPrompter prompter;
  CDataBaseX pc(prompter);
  TestResults as_found, as_left;
  pc.ReadTestResults(as_found, ReportSource(work, 0));
  pc.ReadTestResults(as_left, ReportSource(work, 1));
  WriteCsvExport(as_found, work.ReportFolder() + "/export.csv");
#ifdef VELD_BENCH_PDF
  WriteCertificatePdf(work.ReportFolder() + "/certificate.pdf", as_found, as_left,
                      pc.GetUnitFactor(as_found.Uut.InputUnits), prompter);
#endif
}

// ---- Memory probes ---------------------------------------------------------------------------

long PeakRssKib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;  // KiB on Linux
}

int Probe(const Settings& settings, const WorkFolder& work) {
  const int n = settings.probe_count;
  const std::map<std::string, std::function<void(benchmark::State&)>> probes = {
      {"baseline", [](benchmark::State& s) { for (auto _ : s) {} }},
      {"results_index", [&](auto& s) { FillCombo(s, work, n); }},
      {"results_list_one_uut", [&](auto& s) { ListOneUut(s, work, n); }},
      {"refresh_nothing_new", [&](auto& s) { RefreshNothingNew(s, work, n); }},
      {"connect_all_new", [&](auto& s) { ConnectAllNew(s, work, n); }},
      {"table_fill_list", [&](auto& s) { FillUutList(s, work, settings.records); }},
      {"table_transfer", [&](auto& s) { TransferUuts(s, work, settings.records, settings.transferred); }},
      {"table_load_last", [&](auto& s) { LoadLastUut(s, work, settings.records); }},
      {"drift_history", [&](auto& s) { DriftHistoryOfOneUut(s, work, settings.history); }},
  };
  const auto probe = probes.find(settings.probe);
  if (probe == probes.end()) {
    std::cerr << "unknown probe " << settings.probe << "\n";
    return 2;
  }
  benchmark::RegisterBenchmark(settings.probe.c_str(), probe->second)->Iterations(1)->Repetitions(1);
  std::ostringstream discard;
  benchmark::ConsoleReporter quiet;
  quiet.SetOutputStream(&discard);
  quiet.SetErrorStream(&discard);
  benchmark::RunSpecifiedBenchmarks(&quiet);
  fs::remove_all(work.Trash());
  const bool table = settings.probe.rfind("table_", 0) == 0;
  const int shown = table ? settings.records : settings.probe == "drift_history" ? settings.history : n;
  std::cout << settings.probe << ' ' << shown << ' ' << PeakRssKib() << std::endl;
  return 0;
}

std::vector<int> ParseCounts(const std::string& text) {
  std::vector<int> counts;
  std::stringstream in(text);
  for (std::string item; std::getline(in, item, ',');) counts.push_back(std::stoi(item));
  return counts;
}

// Takes this program's own flags out of argv, leaving the benchmark library's.
Settings ParseSettings(int& argc, char** argv) {
  Settings settings;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](const char* flag) -> std::optional<std::string> {
      const std::string prefix = std::string(flag) + "=";
      if (arg.rfind(prefix, 0) == 0) return arg.substr(prefix.size());
      return std::nullopt;
    };
    if (auto v = value("--workdir")) {
      settings.workdir = *v;
    } else if (auto v = value("--counts")) {
      settings.counts = ParseCounts(*v);
    } else if (auto v = value("--records")) {
      settings.records = std::stoi(*v);
    } else if (auto v = value("--history")) {
      settings.history = std::stoi(*v);
    } else if (auto v = value("--probe")) {
      settings.probe = *v;
    } else if (auto v = value("--count")) {
      settings.probe_count = std::stoi(*v);
    } else {
      argv[kept++] = argv[i];
    }
  }
  argc = kept;
  if (settings.workdir.empty()) throw std::invalid_argument("--workdir=DIR is required");
  settings.transferred = std::min(settings.transferred, settings.records);
  return settings;
}

int Main(int argc, char** argv) {
  const Settings settings = ParseSettings(argc, argv);
  // The stand-in library as built beside this program, unless the caller names one.
  setenv("VELD_RAPI_LIBRARY", VELD_BENCH_RAPI_LIBRARY, 0);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
#if defined(VELD_BENCH_WINDOW)
  QApplication application(argc, argv);
#elif defined(VELD_BENCH_PDF)
  QGuiApplication application(argc, argv);
#endif
  benchmark::Initialize(&argc, argv);
  const WorkFolder work(fs::absolute(settings.workdir).string());
  fs::create_directories(work.path());
  if (!settings.probe.empty()) return Probe(settings, work);

  PrepareResultFolders(work, settings.counts);
  PrepareTables(work, settings.records);
  PrepareHistoryFolder(work, settings.history);
  PrepareImportCsv(work);
  PrepareReports(work);
#ifdef VELD_BENCH_WINDOW
  PrepareWindowData(work, WindowCount(settings));
#endif
  WriteReportsOnce(work);
  const std::vector<Workload> workloads = RegisterAll(settings, work);
  SummaryReporter reporter;
  reporter.SetOutputStream(&std::cerr);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintSummary(workloads);
  fs::remove_all(work.Trash());
  return 0;
}

}  // namespace
}  // namespace veld::bench

int main(int argc, char** argv) {
  try {
    return veld::bench::Main(argc, argv);
  } catch (const std::exception& error) {
    std::cerr << "veld_bench: " << error.what() << "\n";
    return 1;
  }
}
