#pragma once
// The setup dialogs' exchange between edit texts and numbers: numbers are shown with up to
// 15 significant digits, and a text read back must be a whole number within its bounds, or
// the dialog names the bounds and stays open. Locale-free both ways: a decimal point always.

#include <optional>
#include <string>
#include <vector>

#include "records/uut_limits.h"

namespace veld {

inline constexpr const char* kEnterNumberMessage = "Please enter a number.";
inline constexpr const char* kEnterIntegerMessage = "Please enter an integer.";
// OK in either setup dialog with an empty ID.
inline constexpr const char* kEnterValidIdMessage = "Please enter a valid ID for this profile!";

// "%.15g": the general format of a double in an edit.
std::string NumberText(double value);
std::string IntegerText(int value);

// One exchanged number: its text must parse (as an integer for an integer limit), and lie
// within the limit when one is given. The message of the first failed check
// ("Please enter a number.", LimitMessage), or nothing.
std::optional<std::string> CheckNumberText(const std::string& text, const NumberLimit* limit);

// A sorted drop-down combo box: its items in the box's order and the selected one.
struct ComboChoice {
  std::vector<std::string> items;
  int selected = -1;

  // Takes the items and sorts them as the box does (letter case aside); nothing selected.
  void Fill(std::vector<std::string> texts);
  // Selects the item equal to text, letter case aside; the first item when none is (and
  // nothing in an empty box).
  void SelectText(const std::string& text);
  // The text of the selected item; empty when nothing is selected.
  std::string Value() const;
};

}  // namespace veld
