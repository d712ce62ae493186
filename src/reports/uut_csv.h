#pragma once
// UUT profiles to and from CSV (RFC 4180), for labs that keep their instruments in
// spreadsheets. One row per UUT under a heading row of the record's field names; the
// four pressures in the UUT's own input unit, as the UUT panel shows them (RangeInUnit,
// units/pressure_units.h). The file is 8-bit (Latin-1) text with CR LF line ends, like the
// result export; an import also takes UTF-8 that starts with a byte order mark.
//
// An import creates or updates UUTs by ID (exact, letter case included) and changes
// nothing when any row is bad. A row equal to its stored record leaves the record's bytes
// as they are, so that exporting a table and importing the file changes no byte of it.
// Only new values are checked (bounds, types, excitations, IDs of at most 32
// characters, texts that fit their field): a value a record already holds stays
// acceptable, as the table already holds it. Columns other than the ID may be left out:
// a new UUT then takes the defaults of a new record, an updated one keeps its own values.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "records/database_layout.h"
#include "records/uut.h"

namespace veld {

class CDataBaseX;

// The whole file for these UUTs, in their order.
std::string BuildUUTCsv(const std::vector<UUT>& uuts);
// Writes every UUT of the database, in table order, to a host path, all at once (a file
// already there keeps its content if the new one cannot be written whole). Returns the
// number of rows. Throws FileError.
size_t ExportUUTs(CDataBaseX& database, const std::string& host_path);
// What the Save As dialog proposes for an export of one side's UUTs, and the folder an
// import starts in (logical paths).
std::string ProposedUUTExportPath(DatabaseSide side);

struct UUTImportProblem {
  size_t line;  // the file line on which the row starts (the heading is line 1)
  std::string reason;
};

struct UUTImportPlan {
  std::vector<UUT> changes;           // the created and updated UUTs, in file order
  std::vector<std::string> created;   // their IDs
  std::vector<std::string> updated;
  size_t unchanged = 0;
  std::vector<UUTImportProblem> problems;  // in line order; any problem stops the import

  bool Acceptable() const { return problems.empty(); }
  bool ChangesSomething() const { return !changes.empty(); }
};

// Checks every row of a file against the UUTs of a table (in file order; the first of an
// ID is the one a lookup finds) and works out what an import would do.
UUTImportPlan PlanUUTImport(std::string_view csv, const std::vector<UUT>& table);
// The same for a file at a host path and a database's table. Throws FileError.
UUTImportPlan PlanUUTImportFromFile(CDataBaseX& database, const std::string& host_path);
// Stores what an acceptable plan changes, in one write of the table. False when the table
// refused (it has told the user); nothing is written then.
bool ApplyUUTImport(CDataBaseX& database, const UUTImportPlan& plan);

// Texts of an import, for both front ends ("\r\n" line ends).
// The refusal: a first line, then one line per problem ("Line 12: ..."), at most
// max_listed of them, then how many more there are.
std::string UUTImportProblemsText(const UUTImportPlan& plan, size_t max_listed);
// "3 created, 9 updated, 488 unchanged in the PC database." (dry run: "would be ...").
std::string UUTImportSummary(const UUTImportPlan& plan, DatabaseSide side, bool dry_run);
// One line per created or updated UUT: "created\tID" / "updated\tID" ("create" / "update"
// for a dry run), in file order.
std::vector<std::string> UUTImportChangeLines(const UUTImportPlan& plan, bool dry_run);
// The window's question before it imports.
std::string UUTImportQuestion(const UUTImportPlan& plan, DatabaseSide side, const std::string& file);
std::string UUTExportDoneText(size_t rows, DatabaseSide side, const std::string& file);

}  // namespace veld
