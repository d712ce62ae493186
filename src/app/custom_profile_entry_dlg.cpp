#include "app/custom_profile_entry_dlg.h"

#include <algorithm>

#include "app/data_exchange.h"
#include "platform/format.h"
#include "units/pressure_units.h"

namespace veld {
namespace {

constexpr const char* kPercentOutOfRangeText =
    "% is not within input range of selected UUT.\r\nPlease re-enter a value between 0 and 100.";
constexpr const char* kPressureOutOfRangeText = " is not within input range of selected UUT.\r\nPlease re-enter.";
constexpr NumberLimit kPercentFSLimit{"PercentFS", 0.0, 100.0, false, "%FS"};
constexpr const char* kOutputOutOfRangeText = " is not within output range of selected UUT.\r\nPlease re-enter.";

// Whether value lies between the two ends of a range, whichever is the larger: a pressure
// switch's output falls from 1 at -FS to 0 at +FS.
bool Between(double value, double offset, double span) {
  return value >= std::min(offset, offset + span) && value <= std::max(offset, offset + span);
}

}  // namespace

bool IsNumberText(const std::string& text) {
  if (text.empty() || text.back() == '.') return false;
  if (text == "-" || text == "-0" || text == "-0." || text == "0.") return false;
  return text.find_first_not_of("0123456789.-") == std::string::npos;
}

CCustomProfileEntry_Dlg::CCustomProfileEntry_Dlg(Prompter& prompter) : prompter_(prompter) {}

void CCustomProfileEntry_Dlg::Open(double percent_fs, int point_number, const UUT& uut) {
  uut_ = uut;
  unit_factor_ = UnitDisplayFactor(uut.InputUnits);
  point_label_ = Format(kPointNumberFormat, point_number);
  SetText(Field::PercentFS, percent_fs);
  focus_request_.reset();
  PercentFSChanged(percent_fs);
}

std::string CCustomProfileEntry_Dlg::FormatValue(double value) {
  return NumberText(value + 0.0);  // never "-0"
}

void CCustomProfileEntry_Dlg::OnTextEdited(Field field, const std::string& text) {
  texts_[Index(field)] = text;
  if (!IsNumberText(text)) return;
  const double value = converter_.AsDouble(text);
  switch (field) {
    case Field::PercentFS: PercentFSChanged(value); break;
    case Field::Pressure: PressureChanged(value); break;
    case Field::Output: OutputChanged(value); break;
  }
}

void CCustomProfileEntry_Dlg::ShowPoint(double percent_fs, std::optional<Field> typed) {
  const double pressure = percent_fs / 100.0 * uut_.InputSpan + uut_.InputOffset;
  if (typed != Field::PercentFS) SetText(Field::PercentFS, percent_fs);
  if (typed != Field::Pressure) SetText(Field::Pressure, pressure * unit_factor_);
  if (typed != Field::Output) SetText(Field::Output, uut_.OutputAt(pressure));
}

void CCustomProfileEntry_Dlg::PercentFSChanged(double percent_fs) {
  if (percent_fs > 100.0 || percent_fs < 0.0) {
    prompter_.Message(Format("%.3f", percent_fs) + kPercentOutOfRangeText);
    ShowPoint(0.0, std::nullopt);
    return;
  }
  ShowPoint(percent_fs, Field::PercentFS);
}

bool CCustomProfileEntry_Dlg::InInputRange(double pressure) const {
  return Between(pressure, uut_.InputOffset, uut_.InputSpan);
}

bool CCustomProfileEntry_Dlg::InOutputRange(double output) const {
  return Between(output, uut_.OutputOffset, uut_.OutputSpan);
}

void CCustomProfileEntry_Dlg::PressureChanged(double typed) {
  const double pressure = typed / unit_factor_;
  if (!InInputRange(pressure)) {
    prompter_.Message(Format("%.5f", typed) + uut_.InputUnits + kPressureOutOfRangeText);
    SetText(Field::Pressure, 0.0);
    if (InInputRange(0.0)) PressureChanged(0.0);
    return;
  }
  // A range without width places no point (and must not make one of 0 / 0).
  if (uut_.InputSpan == 0.0) return;
  SetText(Field::PercentFS, (pressure - uut_.InputOffset) / uut_.InputSpan * 100.0);
  SetText(Field::Output, uut_.OutputAt(pressure));
}

void CCustomProfileEntry_Dlg::OutputChanged(double output) {
  // The first digit of 10 to 20 mA.
  if (uut_.OutputUnits == "mA" && (output == 1.0 || output == 2.0)) return;
  if (!InOutputRange(output)) {
    prompter_.Message(Format("%.5f", output) + uut_.OutputUnits + kOutputOutOfRangeText);
    SetText(Field::Output, 0.0);
    if (InOutputRange(0.0)) OutputChanged(0.0);
    return;
  }
  if (uut_.OutputSpan == 0.0) return;
  const double fraction = (output - uut_.OutputOffset) / uut_.OutputSpan;
  SetText(Field::PercentFS, fraction * 100.0);
  SetText(Field::Pressure, (fraction * uut_.InputSpan + uut_.InputOffset) * unit_factor_);
}

bool CCustomProfileEntry_Dlg::OnOk() {
  const std::pair<Field, const NumberLimit*> checks[] = {
      {Field::PercentFS, &kPercentFSLimit}, {Field::Pressure, nullptr}, {Field::Output, nullptr}};
  for (const auto& [field, limit] : checks) {
    if (const auto message = CheckNumberText(Text(field), limit)) {
      prompter_.Message(*message);
      focus_request_ = field;
      return false;
    }
  }
  fraction_ = ParseNumber(Text(Field::PercentFS)).value_or(0.0) / 100.0 + 0.0;
  return true;
}

}  // namespace veld
