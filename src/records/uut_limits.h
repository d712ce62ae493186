#pragma once
// What a UUT record may hold when the user gives it values: the bounds of the numbers that
// the UUT setup dialog checks, its type and excitation lists, and the widths of the texts
// the UUT table keeps. One set of rules for every way a UUT is entered (the dialog, a CSV
// import), with the messages that name a bound.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records/uut.h"

namespace veld {

// The bounds of one numeric field, inclusive. Pressures are bounded in inches of water
// column, as the record holds them.
struct NumberLimit {
  const char* field;  // the record field's name
  double min;
  double max;
  bool integer;
  const char* unit;   // as the dialog labels it; empty for none
};

inline constexpr NumberLimit kAccuracyLimit{"Accuracy", 0.0, 10000.0, false, "%FS"};
inline constexpr NumberLimit kControlStabilityLimit{"ControlStability", 0.0, 100000.0, false, "inWC"};
inline constexpr NumberLimit kMaxLeakRateLimit{"MaxLeakRate", 0.000001, 1.0, false, "inWC/s"};
inline constexpr NumberLimit kSettlingTimeLimit{"SettlingTime", 0.0, 99999.0, true, "ms"};

bool WithinLimit(const NumberLimit& limit, double value);
// "Please enter a number between 0 and 10000." (an integer for the settling time); the
// bounds written out in full ("0.000001", not "1e-06").
std::string LimitMessage(const NumberLimit& limit);
// A number in plain decimal notation, as few digits as read back to the same value.
std::string PlainNumber(double value);

// A typed number, however it is entered (an edit of the setup dialogs, a cell of a UUT
// import): the whole text, blanks around it allowed, one leading "+" allowed. A finite
// number, or nothing.
std::optional<double> ParseNumber(const std::string& text);
// The same for a 32-bit integer.
std::optional<int> ParseInteger(const std::string& text);
// The text without the blanks (spaces, tabs) around it.
std::string_view Trimmed(std::string_view text);

// The widths, in characters, of the texts of a stored UUT record. The ID is refused when
// longer; the table cuts the other texts to their width.
inline constexpr size_t kUUTIdWidth = 32;
inline constexpr size_t kSerialNumberWidth = 32;
inline constexpr size_t kPartNumberWidth = 16;
inline constexpr size_t kModelWidth = 8;
inline constexpr size_t kManufacturerWidth = 24;
inline constexpr size_t kOutputTypeWidth = 8;
inline constexpr size_t kUnitsWidth = 8;
inline constexpr size_t kDefaultTestProfileWidth = 32;

inline constexpr const char* kEmptyUUTIdMessage = "Please enter a valid ID for this profile!";

// The type list of the setup dialog, in the facade's order ("CURR" stands for both
// current-output codes).
const std::vector<std::string>& UUTTypeChoices();
// The excitation list of the setup dialog with the value of each entry.
struct ExcitationChoice {
  const char* text;
  double volts;
};
const std::vector<ExcitationChoice>& ExcitationChoices();

// The value of an excitation text as the dialog's OK takes it: "EXTERNAL" -1, else the
// first of "24VDC" to "5VDC" that the text contains, else 0.
double ExcitationValue(const std::string& text);
// The entry that a value selects ("24VDC" ... "5VDC", "EXTERNAL" for -1), empty for any
// other value.
std::string ExcitationText(double volts);

// The stored type code for a type chosen from the list: "CURR" becomes "CSIM" with
// external excitation (-1) and "CSOU" otherwise; every other choice stands as it is.
std::string StoredOutputType(const std::string& chosen_type, double excitation);
// True for a type code that a stored UUT may hold: "CSOU", "CSIM", "3WIR", "4WIR",
// "DIALGAGE", "P-SWITCH".
bool IsStoredOutputType(const std::string& type);

}  // namespace veld
