#include "app/tp_setup_dlg.h"

#include "database/database.h"
#include "platform/file_error.h"
#include "records/test_profile_table.h"

namespace veld {
namespace {

constexpr const char* kCustom = "Custom";

}  // namespace

TPSetupDlg::TPSetupDlg(Prompter& prompter, CustomPointEntry& entry) : prompter_(prompter), entry_(entry) {}

void TPSetupDlg::Open(TestProfile& profile, const UUT& uut, CDataBaseX& database, bool lock_id) {
  profile_ = &profile;
  uut_ = &uut;
  database_ = &database;
  lock_id_ = lock_id;
  focus_request_.reset();
  type_box_.Fill({"Ascending", "Descending", "Both", kCustom});
  RefreshFromProfile();
}

void TPSetupDlg::RefreshFromProfile() {
  SetPointsText(profile_->NumberOfPoints);
  id_text_ = profile_->ID;
  leak_test_ = profile_->LeakTest;
  type_box_.SelectText(profile_->ProfileType);
  RebuildRows();
}

void TPSetupDlg::SetPointsText(int count) {
  points_ = count;
  points_text_ = IntegerText(count);
}

void TPSetupDlg::RebuildRows() {
  // The leak row follows the dialog's check box, which may differ from the profile's flag
  // until OK.
  TestProfile shown = *profile_;
  shown.LeakTest = leak_test_;
  rows_ = BuildProfilePointRows(shown, *uut_);
}

void TPSetupDlg::OnIdEdited(const std::string& text) {
  if (!lock_id_) id_text_ = text;
}

std::optional<int> TPSetupDlg::CountOf(const std::string& text) {
  if (text.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
  int count = 0;
  for (char digit : text) {
    count = count * 10 + (digit - '0');
    if (count > TestProfile::kMaxPoints) return TestProfile::kMaxPoints + 1;
  }
  return count;
}

void TPSetupDlg::OnPointsEdited(const std::string& text) {
  points_text_ = text;
  ApplyPointsText();
}

void TPSetupDlg::ApplyPointsText() {
  if (points_text_.empty()) return;
  std::optional<int> count = CountOf(points_text_);
  if (!count) return;
  if (*count > TestProfile::kMaxPoints) {
    prompter_.Message(kTooManyPointsMessage);
    count = TestProfile::kMaxPoints;
    SetPointsText(*count);
  }
  if (*count < TestProfile::kMinPoints) return;
  points_ = *count;
  profile_->NumberOfPoints = *count;
  // A "Custom" profile's points restart evenly spaced.
  profile_->GeneratePoints(*count, true, "Ascending");
  RebuildRows();
}

void TPSetupDlg::OnPointsFocusLost() {
  const std::optional<int> count = CountOf(points_text_);
  if (!count) {
    prompter_.Message(kInvalidPointCountMessage);
    return;
  }
  if (*count > TestProfile::kMaxPoints) {
    prompter_.Message(kTooManyPointsMessage);
    SetPointsText(TestProfile::kMaxPoints);
    ApplyPointsText();
  } else if (*count < TestProfile::kMinPoints) {
    prompter_.Message(kTooFewPointsMessage);
    SetPointsText(TestProfile::kMinPoints);
    ApplyPointsText();
  }
}

void TPSetupDlg::OnTypeChosen(int index) {
  type_box_.selected = index;
  const std::string chosen = type_box_.Value();
  if (chosen == profile_->ProfileType) return;
  if (chosen == kCustom) {
    try {
      if (database_->CustomFileExists(*profile_)) {
        profile_->ProfileType = kCustom;
        database_->LoadCustomPoints(*profile_);
      } else {
        // The custom points start where the previous type placed them.
        profile_->GeneratePoints(profile_->NumberOfPoints, true, profile_->ProfileType);
        profile_->ProfileType = kCustom;
      }
    } catch (const FileError& error) {
      prompter_.Message(error.what());
    }
    profile_->ID = id_text_;
    RefreshFromProfile();
  }
  profile_->ProfileType = chosen;
  profile_->ID = id_text_;
  profile_->LeakTest = leak_test_;
  profile_->NumberOfPoints = points_;
  RefreshFromProfile();
}

void TPSetupDlg::OnPointListClicked(const std::vector<int>& selected_rows) {
  if (type_box_.Value() != kCustom) return;
  if (selected_rows.size() > 1) {
    prompter_.Message(kTooManySelectedMessage);
    return;
  }
  if (selected_rows.empty()) return;
  const int row = selected_rows.front();
  if (row < 0 || static_cast<size_t>(row) >= rows_.size()) return;
  CCustomProfileEntry_Dlg entry(prompter_);
  entry.Open(converter_.AsDouble(rows_[static_cast<size_t>(row)].percent_fs), row + 1, *uut_);
  if (!entry_.Run(entry)) return;
  profile_->SetCustomPoint(row + 1, entry.Fraction());
  RebuildRows();
}

bool TPSetupDlg::OnOk() {
  // Enter presses OK without leaving the count edit: its check runs here as well, so that
  // a count outside 2 to 101 is never stored.
  const std::optional<int> count = CountOf(points_text_);
  if (!count || *count < TestProfile::kMinPoints || *count > TestProfile::kMaxPoints) {
    OnPointsFocusLost();
    focus_request_ = Field::Points;
    return false;
  }
  if (id_text_.empty()) {
    prompter_.Message(kEnterValidIdMessage);
    focus_request_ = Field::Id;
    return false;
  }
  TestProfile accepted = *profile_;
  accepted.NumberOfPoints = *count;
  accepted.ID = id_text_;
  accepted.ProfileType = type_box_.Value();
  accepted.LeakTest = leak_test_;
  // Refused here rather than by the table after the dialog has closed, which would lose
  // the profile (or, for a "Custom" profile, its points).
  if (const char* problem = TestProfileTable::SaveProblem(accepted)) {
    prompter_.Message(problem);
    focus_request_ = Field::Id;
    return false;
  }
  *profile_ = accepted;
  return true;
}

}  // namespace veld
