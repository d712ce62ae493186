#pragma once
// The rules of the "UUT Setup" dialog without its widgets: what each control shows, the
// layout for the UUT's type, the pressure switch boxes, the smart part number typed as
// the ID, and OK with its checks. A view shows what the form says and reports what the
// user did; after each report it shows the form again and focuses the field the form asks
// for.
//
// The UUT is edited in place: a type change and a decoded part number change it before OK
// (the caller fetches it again after Cancel). The input range is shown and typed in the
// UUT's own pressure unit (RangeInUnit) and held in inches of water column; a number
// whose text was not changed is stored exactly as it was loaded.

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/data_exchange.h"
#include "platform/prompter.h"
#include "records/uut.h"
#include "records/uut_limits.h"
#include "units/smart_part_configurator.h"

namespace veld {

class CDataBaseX;

inline constexpr const char* kUUTSetupCaption = "UUT Setup";
inline constexpr const char* kUUTIdPointerLabel = "/\\ UUT ID";
inline constexpr const char* kProfileIdPointerLabel = "Profile ID \\/";
inline constexpr const char* kSerialNumberLabel = "Serial\nNumber";
inline constexpr const char* kPartNumberLabel = "Part\nNumber";
inline constexpr const char* kModelLabel = "Model";
inline constexpr const char* kManufacturerLabel = "Manufacturer";
inline constexpr const char* kAccuracyLabel = "Accuracy";
inline constexpr const char* kReCalAccuracyLabel = "Re-Cal Accuracy";
inline constexpr const char* kPercentFSUnit = "%FS";
inline constexpr const char* kInputColumnLabel = "Input";
inline constexpr const char* kOutputColumnLabel = "Output";
inline constexpr const char* kManualLabel = "Manual";
inline constexpr const char* kResetLabel = "Reset";
inline constexpr const char* kExcitationLabel = "Excitation";
inline constexpr const char* kUUTTypeLabel = "UUT Type";
inline constexpr const char* kSettlingTimeLabel = "Settling Time";
inline constexpr const char* kSettlingTimeUnit = "ms";
inline constexpr const char* kSystemVolumeLabel = "System Volume";
inline constexpr const char* kSystemVolumeUnit = "cu. in.";
inline constexpr const char* kControlStabilityLabel = "Req'd Control Stability";
inline constexpr const char* kControlStabilityUnit = "inWC";
inline constexpr const char* kMaxLeakRateLabel = "Max.Leak Rate";
inline constexpr const char* kMaxLeakRateUnit = "inWC/s";
inline constexpr const char* kMinusFSRowLabel = "-FS";
inline constexpr const char* kPlusFSRowLabel = "+FS";
inline constexpr const char* kOpenRowLabel = "OPEN";
inline constexpr const char* kCloseRowLabel = "CLOSE";

// ExcitationValue and ExcitationText, the excitation box's texts and their values, are
// the UUT's own rules (records/uut_limits.h), shared with the CSV import.

class UUTSetupDlg {
 public:
  // The edits, in tab order.
  enum class Field {
    Id,
    SerialNumber,
    PartNumber,
    Model,
    Manufacturer,
    Accuracy,
    ReCalAccuracy,
    InputMinusFS,
    OutputMinusFS,
    InputPlusFS,
    OutputPlusFS,
    SettlingTime,
    SystemVolume,
    ControlStability,
    MaxLeakRate,
  };
  static constexpr size_t kFieldCount = 15;

  // The pressure switch boxes: on the -FS row (the switch open) and the +FS row (closed).
  enum class SwitchRow { Open, Close };

  // Which groups of controls the UUT's type shows.
  struct Layout {
    bool output_column = true;   // "Output", its units and both output edits
    bool switch_column = false;  // "Manual", "Reset" and the two switch boxes
    bool excitation = true;      // the excitation box and its label
    const char* minus_row_label = kMinusFSRowLabel;
    const char* plus_row_label = kPlusFSRowLabel;
  };

  explicit UUTSetupDlg(Prompter& prompter);

  // Initialisation for one run: the boxes filled (types and excitations by the facade,
  // the given profile IDs), the controls loaded from the UUT, the switches clear.
  void Open(UUT& uut, const std::vector<std::string>& profile_ids, bool id_locked, CDataBaseX& database);

  // --- What the controls show -----------------------------------------------------------
  const std::string& Text(Field field) const { return texts_[Index(field)]; }
  bool IdEnabled() const { return !id_locked_; }
  const ComboChoice& TypeBox() const { return type_box_; }
  const ComboChoice& ExcitationBox() const { return excitation_box_; }
  const ComboChoice& ProfileBox() const { return profile_box_; }
  // Above the input column: the UUT's pressure unit; above the output column its output unit.
  const std::string& InputUnitsText() const { return input_units_text_; }
  const std::string& OutputUnitsText() const { return output_units_text_; }
  const Layout& layout() const { return layout_; }
  bool SwitchChecked(SwitchRow row) const { return row == SwitchRow::Open ? open_state_ : close_state_; }

  // --- What the user did ----------------------------------------------------------------
  // An edit's text changed by the user (each keystroke). Typing into the ID edit tries the
  // text as a smart part number.
  void OnTextEdited(Field field, const std::string& text);
  void OnTypeChosen(int index);
  void OnExcitationChosen(int index) { excitation_box_.selected = index; }
  void OnProfileChosen(int index) { profile_box_.selected = index; }
  void OnSwitchClicked(SwitchRow row);
  // OK: checks the fields and the ID, then stores the controls into the UUT. False (after
  // a message) leaves the dialog open and the UUT as it was.
  bool OnOk();

  // The field that a failed check asks the view to focus; cleared by taking it.
  std::optional<Field> TakeFocusRequest() { return std::exchange(focus_request_, std::nullopt); }

 private:
  static size_t Index(Field field) { return static_cast<size_t>(field); }

  void SetText(Field field, const std::string& text);
  void LoadFromUUT();
  void LoadRange();
  void LoadDecodedFields();
  void ArrangeForType();
  // The data exchange checks of every numeric field, in tab order; the first failure is
  // shown and asks for the focus.
  bool CheckFields();
  void Refuse(Field field, const std::string& message);
  // A field's number: the loaded value while its text is the one loaded, else the text's.
  double Number(Field field, double loaded) const;
  bool Unchanged(Field field) const { return texts_[Index(field)] == loaded_texts_[Index(field)]; }
  void StoreRanges();
  void TryPartNumber();

  Prompter& prompter_;
  SmartPartConfigurator decoder_;
  UUT* uut_ = nullptr;
  bool id_locked_ = false;
  std::array<std::string, kFieldCount> texts_;
  // The texts as last loaded from the UUT and the UUT as it was then.
  std::array<std::string, kFieldCount> loaded_texts_;
  UUT loaded_;
  ComboChoice type_box_;
  ComboChoice excitation_box_;
  ComboChoice profile_box_;
  std::string input_units_text_;
  std::string output_units_text_;
  Layout layout_;
  bool open_state_ = false;
  bool close_state_ = false;
  std::optional<Field> focus_request_;
};

}  // namespace veld
