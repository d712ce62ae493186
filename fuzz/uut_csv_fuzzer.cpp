// The UUT CSV import over arbitrary text, checked against a table of two UUTs: a refused
// file changes nothing, every problem names a line of the file, and what an accepted file
// stores exports and reads back unchanged.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "records/uut_limits.h"
#include "reports/uut_csv.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace veld;
  using namespace veld::fuzz;
  const std::string text(AsBytes(data, size));
  static const std::vector<UUT> table = [] {
    UUT kpa;
    kpa.ID = "PT-1";
    kpa.InputUnits = "kPa";
    kpa.Accuracy = 20000;  // beyond the bound: acceptable only while unchanged
    UUT plain;
    plain.ID = "TX";
    return std::vector<UUT>{kpa, plain};
  }();

  const UUTImportPlan plan = PlanUUTImport(text, table);
  const size_t lines = static_cast<size_t>(std::count(text.begin(), text.end(), '\n') +
                                           std::count(text.begin(), text.end(), '\r')) + 1;
  for (const UUTImportProblem& problem : plan.problems) {
    Require(problem.line >= 1 && problem.line <= lines, "a problem names a line of the file");
    Require(!problem.reason.empty(), "a problem says why");
  }
  if (!plan.Acceptable()) {
    Require(plan.changes.empty() && plan.unchanged == 0, "a refused file changes nothing");
    return 0;
  }
  Require(plan.changes.size() == plan.created.size() + plan.updated.size(), "each change is a creation or an update");
  for (const UUT& uut : plan.changes) {
    Require(!uut.ID.empty() && uut.ID.size() <= kUUTIdWidth, "a stored ID fits its field");
  }
  if (!plan.changes.empty()) {
    const UUTImportPlan again = PlanUUTImport(BuildUUTCsv(plan.changes), plan.changes);
    Require(again.Acceptable() && again.unchanged == plan.changes.size(),
            "what an import stores exports and reads back unchanged");
  }
  return 0;
}
