#include "reports/uut_csv.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "platform/format.h"
#include "platform/text_encoding.h"
#include "records/uut_limits.h"
#include "reports/csv_export.h"
#include "units/pressure_units.h"

namespace veld {
namespace {

// How a column is read, checked and written.
enum class Kind {
  Id,
  Text,        // any 8-bit text up to its width
  AsciiText,   // read back only up to the first character beyond ASCII, so only ASCII
  OutputType,  // a type code, or "CURR"
  Excitation,  // a value of the excitation list, or its text
  Number,
  Pressure,    // in the row's input unit
  SettlingTime,
};

struct Column {
  const char* heading;
  Kind kind;
  std::string UUT::*text = nullptr;
  double UUT::*number = nullptr;
  size_t width = 0;
  const NumberLimit* limit = nullptr;
};

// The export's order, which is also the order in which a row's problems are named.
const Column kColumns[] = {
    {"ID", Kind::Id, &UUT::ID, nullptr, kUUTIdWidth},
    {"SerialNumber", Kind::Text, &UUT::SerialNumber, nullptr, kSerialNumberWidth},
    {"PartNumber", Kind::Text, &UUT::PartNumber, nullptr, kPartNumberWidth},
    {"Model", Kind::Text, &UUT::Model, nullptr, kModelWidth},
    {"Manufacturer", Kind::Text, &UUT::Manufacturer, nullptr, kManufacturerWidth},
    {"OutputType", Kind::OutputType, &UUT::OutputType, nullptr, kOutputTypeWidth},
    {"Excitation", Kind::Excitation, nullptr, &UUT::Excitation},
    {"InputUnits", Kind::AsciiText, &UUT::InputUnits, nullptr, kUnitsWidth},
    {"InputOffset (in InputUnits)", Kind::Pressure, nullptr, &UUT::InputOffset},
    {"InputSpan (in InputUnits)", Kind::Pressure, nullptr, &UUT::InputSpan},
    {"OutputUnits", Kind::AsciiText, &UUT::OutputUnits, nullptr, kUnitsWidth},
    {"OutputOffset", Kind::Number, nullptr, &UUT::OutputOffset},
    {"OutputSpan", Kind::Number, nullptr, &UUT::OutputSpan},
    {"Accuracy", Kind::Number, nullptr, &UUT::Accuracy, 0, &kAccuracyLimit},
    {"ReCalAccuracy", Kind::Number, nullptr, &UUT::ReCalAccuracy},
    {"SettlingTime", Kind::SettlingTime, nullptr, nullptr, 0, &kSettlingTimeLimit},
    {"SystemVolume", Kind::Number, nullptr, &UUT::SystemVolume},
    {"ControlStability (in InputUnits)", Kind::Pressure, nullptr, &UUT::ControlStability, 0, &kControlStabilityLimit},
    {"MaxLeakRate (in InputUnits/s)", Kind::Pressure, nullptr, &UUT::MaxLeakRate, 0, &kMaxLeakRateLimit},
    {"DefaultTestProfile", Kind::AsciiText, &UUT::DefaultTestProfile, nullptr, kDefaultTestProfileWidth},
};
constexpr size_t kColumnCount = std::size(kColumns);
constexpr size_t kIdColumn = 0;
constexpr size_t kOutputTypeColumn = 5;
constexpr size_t kExcitationColumn = 6;
constexpr size_t kOutputUnitsColumn = 10;

constexpr const char* kNewline = "\r\n";

// The shortest text that reads back as the same double.
std::string NumberText(double value) {
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

std::string CellOf(const UUT& uut, const Column& column) {
  switch (column.kind) {
    case Kind::Id:
    case Kind::Text:
    case Kind::AsciiText:
    case Kind::OutputType: return uut.*column.text;
    case Kind::Excitation:
    case Kind::Number: return NumberText(uut.*column.number);
    case Kind::Pressure: return NumberText(RangeInUnit(uut.*column.number, uut.InputUnits));
    case Kind::SettlingTime: return std::to_string(uut.SettlingTime);
  }
  return {};
}

// ---- Reading RFC 4180 ------------------------------------------------------------------

struct CsvRecord {
  size_t line = 0;
  std::vector<std::string> cells;
  std::string error;  // a syntax fault of the record
};

bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }

// Consumes one line end (CR LF, LF or a lone CR) at pos.
void SkipLineEnd(std::string_view text, size_t& pos) {
  if (pos < text.size() && text[pos] == '\r') ++pos;
  if (pos < text.size() && text[pos] == '\n') ++pos;
}

// Line ends of any kind (CR LF, LF, a lone CR), inside quoted fields as well.
size_t CountLineEnds(std::string_view text) {
  size_t count = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) ++count;
  }
  return count;
}

// Every record with the line it starts on. A record with a syntax fault carries it and
// reading goes on at the next line.
std::vector<CsvRecord> ReadCsvRecords(std::string_view text) {
  std::vector<CsvRecord> records;
  size_t pos = 0;
  size_t line = 1;
  while (pos < text.size()) {
    CsvRecord record;
    record.line = line;
    const size_t record_start = pos;
    std::string cell;
    bool done = false;
    while (!done) {
      if (pos < text.size() && text[pos] == '"') {
        ++pos;
        bool closed = false;
        while (pos < text.size()) {
          if (text[pos] == '"') {
            if (pos + 1 < text.size() && text[pos + 1] == '"') {
              cell += '"';
              pos += 2;
              continue;
            }
            ++pos;
            closed = true;
            break;
          }
          cell += text[pos++];
        }
        if (!closed) {
          record.error = "a quoted field is not closed before the end of the file";
          pos = text.size();
          break;
        }
        if (pos < text.size() && text[pos] != ',' && !IsLineEnd(text[pos])) {
          record.error = "characters follow the closing quote of a field";
        }
      }
      while (pos < text.size() && text[pos] != ',' && !IsLineEnd(text[pos])) {
        if (text[pos] == '"' && record.error.empty()) record.error = "a double quote stands in a field that is not quoted";
        cell += text[pos++];
      }
      record.cells.push_back(std::move(cell));
      cell.clear();
      if (pos < text.size() && text[pos] == ',') {
        ++pos;
      } else {
        SkipLineEnd(text, pos);
        done = true;
      }
    }
    line += CountLineEnds(text.substr(record_start, pos - record_start));
    records.push_back(std::move(record));
  }
  return records;
}

bool IsBlank(const CsvRecord& record) {
  if (!record.error.empty()) return false;
  return std::all_of(record.cells.begin(), record.cells.end(), [](const std::string& cell) { return cell.empty(); });
}

// ---- Checking one row --------------------------------------------------------------------

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

bool HasControlCharacter(const std::string& text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    const auto code = static_cast<unsigned char>(c);
    return code < 0x20 || code == 0x7F;
  });
}

std::string Joined(const std::vector<std::string>& parts, const char* separator) {
  std::string text;
  for (const std::string& part : parts) text += (text.empty() ? "" : separator) + part;
  return text;
}

// The row's cells by column (null for a column the file does not have).
using RowCells = std::array<const std::string*, kColumnCount>;

class RowReader {
 public:
  RowReader(const RowCells& cells, const UUT& base, bool is_new) : cells_(cells), base_(base), is_new_(is_new), uut_(base) {}

  // Applies the row onto the base record; returns the record and collects problems.
  UUT Apply() {
    for (size_t i = 0; i < kColumnCount; ++i) {
      const Column& column = kColumns[i];
      const bool text = column.kind == Kind::Id || column.kind == Kind::Text || column.kind == Kind::AsciiText;
      if (text && i != kOutputUnitsColumn) ApplyText(i);
    }
    ApplyExcitation();
    ApplyOutputType();
    // The units given replace those the type derives, as the table reads them back.
    ApplyText(kOutputUnitsColumn);
    for (size_t i = 0; i < kColumnCount; ++i) {
      const Column& column = kColumns[i];
      if (column.kind == Kind::Number) ApplyNumber(column);
      if (column.kind == Kind::Pressure) ApplyPressure(column);
      if (column.kind == Kind::SettlingTime) ApplySettlingTime(column);
    }
    CheckLimits();
    return uut_;
  }

  const std::vector<std::string>& problems() const { return problems_; }

 private:
  // A value is checked when the record is new or the value differs from the stored one.
  template <typename T>
  bool IsNewValue(const T& value, const T& stored) const {
    return is_new_ || !(value == stored);
  }

  void ApplyText(size_t index) {
    const Column& column = kColumns[index];
    const std::string* cell = cells_[index];
    if (cell == nullptr) return;
    uut_.*column.text = *cell;
    if (IsNewValue(*cell, base_.*column.text)) CheckText(column, *cell);
  }

  void CheckText(const Column& column, const std::string& text) {
    if (column.kind == Kind::Id && text.empty()) {
      problems_.push_back(std::string("the UUT ID is empty (") + kEmptyUUTIdMessage + ")");
      return;
    }
    if (text.size() > column.width) {
      problems_.push_back(Format("%s %s is longer than %zu characters", column.heading, Quoted(text).c_str(),
                                 column.width));
    }
    if (HasControlCharacter(text)) {
      problems_.push_back(Format("%s holds a control character", column.heading));
    } else if (column.kind == Kind::AsciiText && !IsAscii(text)) {
      problems_.push_back(Format("%s %s holds characters beyond ASCII, which the table does not keep", column.heading,
                                 Quoted(text).c_str()));
    }
  }

  void ApplyExcitation() {
    const std::string* cell = cells_[kExcitationColumn];
    if (cell == nullptr) return;
    std::optional<double> volts = ParseNumber(*cell);
    const std::string text(Trimmed(*cell));
    for (const ExcitationChoice& choice : ExcitationChoices()) {
      if (text == choice.text) volts = choice.volts;
    }
    if (volts && !IsNewValue(*volts, base_.Excitation)) return;
    if (!volts || ExcitationText(*volts).empty()) {
      std::vector<std::string> choices;
      for (const ExcitationChoice& choice : ExcitationChoices()) choices.push_back(choice.text);
      problems_.push_back(Format("Excitation %s is not one of %s (or their volts, -1 for EXTERNAL)",
                                 Quoted(*cell).c_str(), Joined(choices, ", ").c_str()));
      return;
    }
    uut_.Excitation = *volts;
  }

  void ApplyOutputType() {
    const std::string* cell = cells_[kOutputTypeColumn];
    if (cell == nullptr) return;
    const std::string type = StoredOutputType(*cell, uut_.Excitation);
    if (!IsNewValue(type, base_.OutputType)) return;
    if (!IsStoredOutputType(type)) {
      problems_.push_back(Format("OutputType %s is not one of %s, CSOU, CSIM", Quoted(*cell).c_str(),
                                 Joined(UUTTypeChoices(), ", ").c_str()));
      return;
    }
    uut_.SetOutputType(type);
  }

  // The number in a column's cell; nothing when the file has no such column, or when the
  // cell holds no number, which is a problem of the row.
  std::optional<double> NumberIn(const Column& column) {
    const std::string* cell = cells_[IndexOf(column)];
    if (cell == nullptr) return std::nullopt;
    const std::optional<double> value = ParseNumber(*cell);
    if (!value) problems_.push_back(Format("%s %s is not a number", column.heading, Quoted(*cell).c_str()));
    return value;
  }

  void ApplyNumber(const Column& column) {
    if (const std::optional<double> value = NumberIn(column)) uut_.*column.number = *value;
  }

  // A pressure that shows as the stored one in an unchanged unit keeps the stored bits: a
  // conversion there and back need not give the same double.
  void ApplyPressure(const Column& column) {
    const std::optional<double> shown = NumberIn(column);
    if (!shown) return;
    const double stored = base_.*column.number;
    if (!is_new_ && uut_.InputUnits == base_.InputUnits && *shown == RangeInUnit(stored, base_.InputUnits)) {
      uut_.*column.number = stored;
      return;
    }
    const double converted = RangeFromUnit(*shown, uut_.InputUnits);
    // A value beyond what a double holds once converted could not be shown again.
    if (!std::isfinite(converted) || !std::isfinite(RangeInUnit(converted, uut_.InputUnits))) {
      problems_.push_back(Format("%s %s is too large", column.heading, Quoted(*cells_[IndexOf(column)]).c_str()));
      return;
    }
    uut_.*column.number = converted;
  }

  void ApplySettlingTime(const Column& column) {
    const std::string* cell = cells_[IndexOf(column)];
    if (cell == nullptr) return;
    const std::optional<int32_t> value = ParseInteger(*cell);
    if (!value) {
      problems_.push_back(Format("SettlingTime %s is not an integer. %s", Quoted(*cell).c_str(),
                                 LimitMessage(kSettlingTimeLimit).c_str()));
      return;
    }
    uut_.SettlingTime = *value;
  }

  void CheckLimits() {
    for (const Column& column : kColumns) {
      if (column.limit == nullptr) continue;
      const double value = column.kind == Kind::SettlingTime ? uut_.SettlingTime : uut_.*column.number;
      const double stored = column.kind == Kind::SettlingTime ? base_.SettlingTime : base_.*column.number;
      if (!IsNewValue(value, stored) || WithinLimit(*column.limit, value)) continue;
      std::string shown = PlainNumber(value);
      if (column.kind == Kind::Pressure && cells_[IndexOf(column)] != nullptr) {
        shown = std::string(Trimmed(*cells_[IndexOf(column)])) + " " + uut_.InputUnits + (column.limit == &kMaxLeakRateLimit ? "/s" : "");
        if (PressureUnitFactor(uut_.InputUnits) > 0) shown += " = " + PlainNumber(value) + " " + column.limit->unit;
      }
      problems_.push_back(Format("%s %s is out of range. %s (%s)", column.heading, shown.c_str(),
                                 LimitMessage(*column.limit).c_str(), column.limit->unit));
    }
  }

  static size_t IndexOf(const Column& column) { return static_cast<size_t>(&column - kColumns); }

  const RowCells& cells_;
  const UUT& base_;
  bool is_new_;
  UUT uut_;
  std::vector<std::string> problems_;
};

// Every field a row can give, compared exactly.
bool SameFields(const UUT& a, const UUT& b) {
  for (const Column& column : kColumns) {
    if (column.text != nullptr && a.*column.text != b.*column.text) return false;
    if (column.number != nullptr && !(a.*column.number == b.*column.number)) return false;
  }
  return a.SettlingTime == b.SettlingTime && a.OutputUnits == b.OutputUnits;
}

// The heading row: which column each cell is; problems are those of the heading line.
std::vector<std::optional<size_t>> ReadHeading(const CsvRecord& heading, std::vector<UUTImportProblem>& problems) {
  std::vector<std::optional<size_t>> columns;
  std::vector<bool> seen(kColumnCount, false);
  for (const std::string& name : heading.cells) {
    std::optional<size_t> found;
    for (size_t i = 0; i < kColumnCount; ++i) {
      if (name == kColumns[i].heading) found = i;
    }
    if (!found) {
      problems.push_back({heading.line, "unknown column " + Quoted(name)});
    } else if (seen[*found]) {
      problems.push_back({heading.line, "the column " + Quoted(name) + " stands twice"});
    } else {
      seen[*found] = true;
    }
    columns.push_back(found);
  }
  if (!seen[kIdColumn]) problems.push_back({heading.line, "the heading row has no ID column"});
  return columns;
}

// The cells of a row decoded from UTF-8; false when a cell cannot be.
bool DecodeUtf8Cells(CsvRecord& record, std::string& problem) {
  for (std::string& cell : record.cells) {
    std::string latin1;
    switch (Utf8ToLatin1(cell, latin1)) {
      case Utf8ToLatin1Result::Converted: cell = std::move(latin1); break;
      case Utf8ToLatin1Result::NotUtf8: problem = "the row is not UTF-8, as the file's byte order mark says"; return false;
      case Utf8ToLatin1Result::BeyondLatin1:
        problem = "a field holds characters that the calibrator's 8-bit texts cannot hold";
        return false;
    }
  }
  return true;
}

}  // namespace

std::string BuildUUTCsv(const std::vector<UUT>& uuts) {
  std::string csv;
  const auto add = [&](size_t column, const std::string& text) {
    if (column > 0) csv += ',';
    csv += CsvField(text);
  };
  for (size_t i = 0; i < kColumnCount; ++i) add(i, kColumns[i].heading);
  csv += kNewline;
  for (const UUT& uut : uuts) {
    for (size_t i = 0; i < kColumnCount; ++i) add(i, CellOf(uut, kColumns[i]));
    csv += kNewline;
  }
  return csv;
}

std::string ProposedUUTExportPath(DatabaseSide side) {
  return layout::UUTFolder(side) + (side == DatabaseSide::VELD ? "\\VELD UUTs.csv" : "\\PC UUTs.csv");
}

UUTImportPlan PlanUUTImport(std::string_view csv, const std::vector<UUT>& table) {
  UUTImportPlan plan;
  const bool utf8 = csv.substr(0, 3) == "\xEF\xBB\xBF";
  if (utf8) csv.remove_prefix(3);
  std::vector<CsvRecord> records = ReadCsvRecords(csv);

  std::unordered_map<std::string, size_t> stored_index;
  stored_index.reserve(table.size());
  for (size_t i = 0; i < table.size(); ++i) stored_index.try_emplace(table[i].ID, i);

  auto next = records.begin();
  while (next != records.end() && IsBlank(*next)) ++next;
  if (next == records.end()) {
    plan.problems.push_back({1, "the file has no heading row"});
    return plan;
  }
  CsvRecord& heading = *next++;
  std::string problem;
  if (!heading.error.empty() || (utf8 && !DecodeUtf8Cells(heading, problem))) {
    plan.problems.push_back({heading.line, heading.error.empty() ? problem : heading.error});
    return plan;
  }
  const std::vector<std::optional<size_t>> columns = ReadHeading(heading, plan.problems);
  if (!plan.problems.empty()) return plan;

  std::unordered_map<std::string, size_t> line_of_id;
  for (; next != records.end(); ++next) {
    CsvRecord& record = *next;
    if (IsBlank(record)) continue;
    if (!record.error.empty()) {
      plan.problems.push_back({record.line, record.error});
      continue;
    }
    if (record.cells.size() != columns.size()) {
      plan.problems.push_back({record.line, Format("the row has %zu fields, the heading row %zu", record.cells.size(),
                                                   columns.size())});
      continue;
    }
    if (utf8 && !DecodeUtf8Cells(record, problem)) {
      plan.problems.push_back({record.line, problem});
      continue;
    }
    RowCells cells{};
    for (size_t i = 0; i < columns.size(); ++i) cells[*columns[i]] = &record.cells[i];
    const std::string& id = *cells[kIdColumn];
    const auto [earlier, first_time] = line_of_id.try_emplace(id, record.line);
    if (!first_time) {
      plan.problems.push_back({record.line, Format("the UUT ID %s is also on line %zu", Quoted(id).c_str(),
                                                   earlier->second)});
      continue;
    }
    const auto stored = stored_index.find(id);
    const bool is_new = stored == stored_index.end();
    const UUT base = is_new ? UUT() : table[stored->second];
    RowReader reader(cells, base, is_new);
    UUT uut = reader.Apply();
    if (!reader.problems().empty()) {
      plan.problems.push_back({record.line, Joined(reader.problems(), "; ")});
      continue;
    }
    if (is_new) {
      plan.created.push_back(id);
    } else if (SameFields(uut, base)) {
      ++plan.unchanged;
      continue;
    } else {
      plan.updated.push_back(id);
    }
    plan.changes.push_back(std::move(uut));
  }
  if (!plan.problems.empty()) {
    plan.changes.clear();
    plan.created.clear();
    plan.updated.clear();
    plan.unchanged = 0;
  }
  return plan;
}

std::string UUTImportProblemsText(const UUTImportPlan& plan, size_t max_listed) {
  const size_t count = plan.problems.size();
  std::string text = Format("Nothing was imported: %zu %s cannot be imported.", count,
                            count == 1 ? "line" : "lines") +
                     kNewline;
  for (size_t i = 0; i < count && i < max_listed; ++i) {
    text += Format("Line %zu: %s.", plan.problems[i].line, plan.problems[i].reason.c_str()) + kNewline;
  }
  if (count > max_listed) text += Format("... and %zu more.", count - max_listed) + kNewline;
  return text;
}

std::string UUTImportSummary(const UUTImportPlan& plan, DatabaseSide side, bool dry_run) {
  return Format(dry_run ? "%zu would be created, %zu updated, %zu unchanged in the %s database (dry run: nothing written)."
                        : "%zu created, %zu updated, %zu unchanged in the %s database.",
                plan.created.size(), plan.updated.size(), plan.unchanged, SideName(side));
}

std::vector<std::string> UUTImportChangeLines(const UUTImportPlan& plan, bool dry_run) {
  const std::unordered_set<std::string> created(plan.created.begin(), plan.created.end());
  std::vector<std::string> lines;
  for (const UUT& uut : plan.changes) {
    const bool is_new = created.count(uut.ID) > 0;
    lines.push_back((is_new ? (dry_run ? "create\t" : "created\t") : (dry_run ? "update\t" : "updated\t")) + uut.ID);
  }
  return lines;
}

std::string UUTImportQuestion(const UUTImportPlan& plan, DatabaseSide side, const std::string& file) {
  return Format("Import the UUT profiles of %s into the %s database?", file.c_str(), SideName(side)) + kNewline +
         kNewline +
         Format("%zu will be created and %zu updated; %zu are unchanged.", plan.created.size(), plan.updated.size(),
                plan.unchanged);
}

std::string UUTExportDoneText(size_t rows, DatabaseSide side, const std::string& file) {
  return Format("%zu UUT profiles of the %s database written to %s.", rows, SideName(side), file.c_str());
}

}  // namespace veld
