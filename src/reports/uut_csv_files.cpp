// The UUT CSV exchange with a database's table and files; the format itself is in
// uut_csv.cpp, which needs no database (the fuzz target builds it alone).

#include "database/database.h"
#include "platform/binary_file.h"
#include "reports/uut_csv.h"

namespace veld {

size_t ExportUUTs(CDataBaseX& database, const std::string& host_path) {
  const std::vector<UUT> uuts = database.ReadAllUUTs();
  const std::string csv = BuildUUTCsv(uuts);
  BinaryFile::ReplaceWholeFile(host_path, csv);
  return uuts.size();
}

UUTImportPlan PlanUUTImportFromFile(CDataBaseX& database, const std::string& host_path) {
  const FileBytes csv = BinaryFile::ReadWholeFile(host_path);
  return PlanUUTImport(csv.view(), database.ReadAllUUTs());
}

bool ApplyUUTImport(CDataBaseX& database, const UUTImportPlan& plan) {
  if (!plan.Acceptable() || !plan.ChangesSomething()) return plan.Acceptable();
  return database.SaveUUTs(plan.changes);
}

}  // namespace veld
