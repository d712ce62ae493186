#pragma once
// One test result as a comma-separated text file that a spreadsheet opens: instrument
// identities, UUT and test particulars, one line per test point, the test profile.
// 8-bit text, CR LF line ends, no byte order mark.

#include <string>

#include "records/test_results.h"

namespace veld {

// The whole file. Texts are written as they stand, except that a text holding a comma,
// a double quote, CR or LF is quoted (quotes doubled) so that it stays one field.
std::string BuildCsvExport(const TestResults& result);

// Writes the export to the file at a host path, all at once: a file already there keeps
// its old content if the new one cannot be written whole. Throws FileError then.
void WriteCsvExport(const TestResults& result, const std::string& host_path);

// The name that the Save As dialog proposes for the export of a result file: its path
// without the last four characters (the ".DAT" extension); the dialog adds "csv".
std::string ProposedExportName(const std::string& source_path);

// A text as one CSV field: unchanged, or quoted when it holds a comma, a double quote,
// CR or LF.
std::string CsvField(const std::string& text);

}  // namespace veld
