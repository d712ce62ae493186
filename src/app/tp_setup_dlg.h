#pragma once
// The rules of the "Test Profile Setup" dialog without its widgets: the profile's ID,
// number of points, type and leak test, and its points applied to a UUT. The profile is
// edited in place: the handlers change its points, type and count before OK (the caller
// fetches it again after Cancel). A "Custom" profile's points are entered one at a time in
// the custom point entry dialog, which the form runs through CustomPointEntry.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/custom_profile_entry_dlg.h"
#include "app/data_exchange.h"
#include "platform/prompter.h"
#include "records/test_profile.h"
#include "records/uut.h"
#include "app/panels.h"
#include "units/type_converter.h"

namespace veld {

class CDataBaseX;

inline constexpr const char* kTestProfileSetupCaption = "Test Profile Setup";
inline constexpr const char* kProfileIdLabel = "Profile ID";
inline constexpr const char* kNumberOfPointsLabel = "# of Test Points";
inline constexpr const char* kProfileTypeLabel = "Profile Type";
inline constexpr const char* kLeakTestLabel = "Perform Leak Test";
inline constexpr const char* kInvalidPointCountMessage = "Invalid number of test points.\r\nPlease use numbers only";
inline constexpr const char* kTooManyPointsMessage =
    "Maximum number of test points has been exceeded.\r\nResetting to 101";
inline constexpr const char* kTooFewPointsMessage =
    "Minximum number of test points has not been met.\r\nResetting to 2";
inline constexpr const char* kTooManySelectedMessage = "Too many selected!";

// The point list's columns and their widths.
struct PointColumn {
  const char* heading;
  int width;
};
inline constexpr PointColumn kPointColumns[] = {{"TP #", 40}, {"%FS", 54}, {"Pressure", 68}, {"Output", 68}};

// The custom point entry dialog, run on its opened form; true on OK.
class CustomPointEntry {
 public:
  virtual ~CustomPointEntry() = default;
  virtual bool Run(CCustomProfileEntry_Dlg& form) = 0;
};

class TPSetupDlg {
 public:
  enum class Field { Id, Points };

  TPSetupDlg(Prompter& prompter, CustomPointEntry& entry);

  // Opening: the type box filled, the ID edit locked for an existing profile, the controls
  // and the point list from the profile.
  void Open(TestProfile& profile, const UUT& uut, CDataBaseX& database, bool lock_id);

  // --- What the controls show -----------------------------------------------------------
  const std::string& IdText() const { return id_text_; }
  bool IdEnabled() const { return !lock_id_; }
  const std::string& PointsText() const { return points_text_; }
  const ComboChoice& TypeBox() const { return type_box_; }
  bool LeakTestChecked() const { return leak_test_; }
  const std::vector<ProfilePointRow>& Rows() const { return rows_; }

  // --- What the user did ----------------------------------------------------------------
  void OnIdEdited(const std::string& text);
  // Each keystroke in the number of points edit.
  void OnPointsEdited(const std::string& text);
  // The number of points edit lost the keyboard focus.
  void OnPointsFocusLost();
  void OnTypeChosen(int index);
  void OnLeakTestClicked(bool checked) { leak_test_ = checked; }
  // A click on the point list, with the rows selected after it.
  void OnPointListClicked(const std::vector<int>& selected_rows);
  // OK: a count between 2 and 101, an ID that the table stores; then the profile takes
  // the dialog's values. False (after a message) leaves the dialog open.
  bool OnOk();

  std::optional<Field> TakeFocusRequest() { return std::exchange(focus_request_, std::nullopt); }

 private:
  // The count typed so far: empty when the text is not all digits; any count above 101
  // reads as 102, however many digits it has.
  static std::optional<int> CountOf(const std::string& text);
  void ApplyPointsText();
  void SetPointsText(int count);
  void RefreshFromProfile();
  void RebuildRows();

  Prompter& prompter_;
  CustomPointEntry& entry_;
  TypeConverter converter_;
  TestProfile* profile_ = nullptr;
  const UUT* uut_ = nullptr;
  CDataBaseX* database_ = nullptr;
  bool lock_id_ = false;
  std::string id_text_;
  std::string points_text_;
  int points_ = 0;
  ComboChoice type_box_;
  bool leak_test_ = false;
  std::vector<ProfilePointRow> rows_;
  std::optional<Field> focus_request_;
};

}  // namespace veld
