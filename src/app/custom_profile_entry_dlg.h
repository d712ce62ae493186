#pragma once
// The rules of the "Custom Profile Entry" dialog without its widgets: one point of a
// "Custom" test profile, typed as a percentage of full scale, as a pressure (in the UUT's
// unit) or as an output; the other two follow each keystroke.
//
// What the dialog writes into its edits raises no handling of its own: each handler writes
// the two other edits and leaves the text being typed as it stands. After an entry out of
// range the edit is reset to 0, and the other two follow that 0 when it lies in range
// (0 %FS always does); a pressure or output range without 0 leaves them as they were,
// with one message rather than a second one about the 0.

#include <optional>
#include <string>
#include <utility>

#include "platform/prompter.h"
#include "records/uut.h"
#include "units/type_converter.h"

namespace veld {

inline constexpr const char* kCustomProfileEntryCaption = "Custom Profile Entry";
inline constexpr const char* kPointNumberFormat = "Point Number %i";
inline constexpr const char* kPercentFSTargetLabel = "%FS Target";
inline constexpr const char* kPercentFSTargetUnit = "%FS";
inline constexpr const char* kTargetPressureLabel = "Target Pressure";
inline constexpr const char* kTargetOutputLabel = "Target Output";

// Whether an edit's text is a number to act on. Empty text, a text ending in ".", "-",
// "-0", "-0.", "0." and any character other than a digit, "." or "-" are not: the user is
// still typing.
bool IsNumberText(const std::string& text);

class CCustomProfileEntry_Dlg {
 public:
  enum class Field { PercentFS, Pressure, Output };

  explicit CCustomProfileEntry_Dlg(Prompter& prompter);

  // Opening: the point's %FS, its number and the UUT it is applied to; the pressure and
  // output follow the %FS.
  void Open(double percent_fs, int point_number, const UUT& uut);

  const std::string& PointLabel() const { return point_label_; }
  const std::string& Text(Field field) const { return texts_[Index(field)]; }
  const std::string& InputUnitsText() const { return uut_.InputUnits; }
  const std::string& OutputUnitsText() const { return uut_.OutputUnits; }

  // An edit's text changed by the user (each keystroke).
  void OnTextEdited(Field field, const std::string& text);
  // OK: every edit must hold a number and the %FS lie between 0 and 100; false (after a
  // message) leaves the dialog open.
  bool OnOk();
  // The point's fraction of the range (%FS / 100), once OnOk has accepted.
  double Fraction() const { return fraction_; }

  std::optional<Field> TakeFocusRequest() { return std::exchange(focus_request_, std::nullopt); }

 private:
  static size_t Index(Field field) { return static_cast<size_t>(field); }

  void PercentFSChanged(double percent_fs);
  void PressureChanged(double pressure);
  void OutputChanged(double output);
  // The pressure (in inches of water) and output at a %FS, shown in the other edits.
  void ShowPoint(double percent_fs, std::optional<Field> typed);
  bool InInputRange(double pressure) const;
  bool InOutputRange(double output) const;
  void SetText(Field field, double value) { texts_[Index(field)] = FormatValue(value); }
  static std::string FormatValue(double value);

  Prompter& prompter_;
  TypeConverter converter_;
  UUT uut_;
  double unit_factor_ = 1.0;
  std::string point_label_;
  std::string texts_[3];
  double fraction_ = 0.0;
  std::optional<Field> focus_request_;
};

}  // namespace veld
