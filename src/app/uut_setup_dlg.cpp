#include "app/uut_setup_dlg.h"

#include "app/panels.h"
#include "database/database.h"
#include "records/list_target.h"
#include "records/uut_table.h"
#include "units/pressure_units.h"

namespace veld {
namespace {

using Field = UUTSetupDlg::Field;

// The data exchange check of each numeric field, in tab order (no limit: any number).
struct FieldCheck {
  Field field;
  const NumberLimit* limit;
};
constexpr FieldCheck kFieldChecks[] = {
    {Field::Accuracy, &kAccuracyLimit},
    {Field::ReCalAccuracy, nullptr},
    {Field::InputMinusFS, nullptr},
    {Field::OutputMinusFS, nullptr},
    {Field::InputPlusFS, nullptr},
    {Field::OutputPlusFS, nullptr},
    {Field::SettlingTime, &kSettlingTimeLimit},
    {Field::SystemVolume, nullptr},
    {Field::ControlStability, &kControlStabilityLimit},
    {Field::MaxLeakRate, &kMaxLeakRateLimit},
};

std::vector<std::string> FacadeList(CDataBaseX& database, const char* list_name) {
  VectorListTarget combo;
  database.FillCombo(combo, list_name);
  return combo.items;
}

}  // namespace

UUTSetupDlg::UUTSetupDlg(Prompter& prompter) : prompter_(prompter) {}

void UUTSetupDlg::Open(UUT& uut, const std::vector<std::string>& profile_ids, bool id_locked, CDataBaseX& database) {
  uut_ = &uut;
  id_locked_ = id_locked;
  focus_request_.reset();
  type_box_.Fill(FacadeList(database, "UUT_Types"));
  excitation_box_.Fill(FacadeList(database, "EXC"));
  profile_box_.Fill(profile_ids);
  LoadFromUUT();
  open_state_ = false;
  close_state_ = false;
}

void UUTSetupDlg::SetText(Field field, const std::string& text) {
  texts_[Index(field)] = text;
  loaded_texts_[Index(field)] = text;
}

void UUTSetupDlg::LoadFromUUT() {
  const UUT& uut = *uut_;
  SetText(Field::SerialNumber, uut.SerialNumber);
  SetText(Field::ReCalAccuracy, NumberText(uut.ReCalAccuracy));
  SetText(Field::SystemVolume, NumberText(uut.SystemVolume));
  SetText(Field::PartNumber, uut.PartNumber);
  SetText(Field::Manufacturer, uut.Manufacturer);
  SetText(Field::Model, uut.Model);
  LoadDecodedFields();
}

// Everything a smart part number sets. A decoded ID reloads only these, so that what the
// user typed into the other fields stays.
void UUTSetupDlg::LoadDecodedFields() {
  const UUT& uut = *uut_;
  loaded_ = uut;
  SetText(Field::Id, uut.ID);
  SetText(Field::Accuracy, NumberText(uut.Accuracy));
  SetText(Field::ControlStability, NumberText(uut.ControlStability));
  SetText(Field::MaxLeakRate, NumberText(uut.MaxLeakRate));
  SetText(Field::SettlingTime, IntegerText(uut.SettlingTime));
  LoadRange();
  output_units_text_ = uut.OutputUnits;
  input_units_text_ = uut.InputUnits;
  type_box_.SelectText(ShownOutputType(uut));
  excitation_box_.SelectText(ExcitationText(uut.Excitation));
  profile_box_.SelectText(uut.DefaultTestProfile);
  ArrangeForType();
}

void UUTSetupDlg::LoadRange() {
  const UUT& uut = *uut_;
  SetText(Field::InputMinusFS, NumberText(RangeInUnit(uut.InputOffset, uut.InputUnits)));
  SetText(Field::InputPlusFS, NumberText(RangeInUnit(uut.InputOffset + uut.InputSpan, uut.InputUnits)));
  SetText(Field::OutputMinusFS, NumberText(uut.OutputOffset));
  SetText(Field::OutputPlusFS, NumberText(uut.OutputOffset + uut.OutputSpan));
}

void UUTSetupDlg::ArrangeForType() {
  layout_ = Layout();
  if (uut_->OutputType == "P-SWITCH") {
    layout_.output_column = false;
    layout_.switch_column = true;
    layout_.excitation = false;
    layout_.minus_row_label = kOpenRowLabel;
    layout_.plus_row_label = kCloseRowLabel;
  } else if (uut_->OutputType == "DIALGAGE") {
    layout_.output_column = false;
    layout_.excitation = false;
  }
}

void UUTSetupDlg::OnTextEdited(Field field, const std::string& text) {
  if (field == Field::Id && id_locked_) return;
  texts_[Index(field)] = text;
  if (field == Field::Id) TryPartNumber();
}

// A valid smart part number typed as the ID fills the UUT at once. It is decoded before
// anything is applied, so that a text that is not one leaves the UUT as it was.
void UUTSetupDlg::TryPartNumber() {
  if (!CheckFields()) return;
  std::string part_number = Text(Field::Id);
  const SmartPartSettings settings = decoder_.Decode(part_number);
  if (!settings.complete()) return;
  ApplySmartPartSettings(settings, *uut_);
  LoadDecodedFields();
}

void UUTSetupDlg::OnTypeChosen(int index) {
  type_box_.selected = index;
  uut_->SetOutputType(type_box_.Value());
  ArrangeForType();
  output_units_text_ = uut_->OutputUnits;
}

void UUTSetupDlg::OnSwitchClicked(SwitchRow row) {
  // At most one box is ticked: ticking one clears the other.
  if (row == SwitchRow::Close) {
    close_state_ = !close_state_;
    if (close_state_ && open_state_) open_state_ = false;
  } else {
    open_state_ = !open_state_;
    if (open_state_ && close_state_) close_state_ = false;
  }
  if (uut_->OutputType != "P-SWITCH") return;
  texts_[Index(Field::OutputMinusFS)] = NumberText(open_state_ ? 1.0 : 0.0);
  texts_[Index(Field::OutputPlusFS)] = NumberText(close_state_ ? 1.0 : 0.0);
}

void UUTSetupDlg::Refuse(Field field, const std::string& message) {
  prompter_.Message(message);
  focus_request_ = field;
}

bool UUTSetupDlg::CheckFields() {
  for (const FieldCheck& entry : kFieldChecks) {
    if (const auto message = CheckNumberText(Text(entry.field), entry.limit)) {
      Refuse(entry.field, *message);
      return false;
    }
  }
  return true;
}

double UUTSetupDlg::Number(Field field, double loaded) const {
  return Unchanged(field) ? loaded : ParseNumber(Text(field)).value_or(0.0);
}

bool UUTSetupDlg::OnOk() {
  if (!CheckFields()) return false;
  const std::string& id = Text(Field::Id);
  if (id.empty()) {
    Refuse(Field::Id, kEnterValidIdMessage);
    return false;
  }
  // Refused here rather than by the table after the dialog has closed, which would lose
  // everything typed into it.
  if (const char* problem = CUUTTable::IdProblem(id)) {
    Refuse(Field::Id, problem);
    return false;
  }

  UUT& uut = *uut_;
  uut.Model = Text(Field::Model);
  uut.Manufacturer = Text(Field::Manufacturer);
  uut.SerialNumber = Text(Field::SerialNumber);
  uut.PartNumber = Text(Field::PartNumber);
  uut.Accuracy = Number(Field::Accuracy, loaded_.Accuracy);
  uut.ControlStability = Number(Field::ControlStability, loaded_.ControlStability);
  uut.SettlingTime = ParseInteger(Text(Field::SettlingTime)).value_or(0);
  uut.MaxLeakRate = Number(Field::MaxLeakRate, loaded_.MaxLeakRate);
  uut.SystemVolume = Number(Field::SystemVolume, loaded_.SystemVolume);
  uut.ReCalAccuracy = Number(Field::ReCalAccuracy, loaded_.ReCalAccuracy);
  StoreRanges();
  uut.InputUnits = input_units_text_;
  uut.OutputUnits = output_units_text_;
  uut.Excitation = ExcitationValue(excitation_box_.Value());
  uut.SetOutputType(StoredOutputType(type_box_.Value(), uut.Excitation));
  uut.DefaultTestProfile = profile_box_.Value();
  uut.ID = id;
  return true;
}

// An unchanged pair of range edits keeps offset and span exactly as loaded; otherwise the
// ends are taken from the edits, the input ends back from the UUT's unit.
void UUTSetupDlg::StoreRanges() {
  UUT& uut = *uut_;
  if (!Unchanged(Field::InputMinusFS) || !Unchanged(Field::InputPlusFS)) {
    const auto end = [&](Field field, double loaded) {
      return Unchanged(field) ? loaded : RangeFromUnit(ParseNumber(Text(field)).value_or(0.0), input_units_text_);
    };
    const double low = end(Field::InputMinusFS, loaded_.InputOffset);
    const double high = end(Field::InputPlusFS, loaded_.InputOffset + loaded_.InputSpan);
    uut.InputOffset = low;
    uut.InputSpan = high - low;
  } else {
    uut.InputOffset = loaded_.InputOffset;
    uut.InputSpan = loaded_.InputSpan;
  }
  if (!Unchanged(Field::OutputMinusFS) || !Unchanged(Field::OutputPlusFS)) {
    const double low = Number(Field::OutputMinusFS, loaded_.OutputOffset);
    const double high = Number(Field::OutputPlusFS, loaded_.OutputOffset + loaded_.OutputSpan);
    uut.OutputOffset = low;
    uut.OutputSpan = high - low;
  } else {
    uut.OutputOffset = loaded_.OutputOffset;
    uut.OutputSpan = loaded_.OutputSpan;
  }
}

}  // namespace veld
