// The smart part number decoder and the lenient parsers over arbitrary text: integers,
// decimals, and dates with the month first and with the day first.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "records/uut.h"
#include "units/smart_part_configurator.h"
#include "units/type_converter.h"

namespace veld::fuzz {
namespace {

void CheckConfigure(const std::string& text) {
  std::string part_number = text;
  UUT uut;
  SmartPartConfigurator decoder;
  const bool decoded = decoder.Configure(part_number, uut);
  Require(part_number.size() == text.size(), "decoding keeps the part number's length");
  if (decoded) Require(decoder.ErrorText().empty(), "a decoded part number reports no error");
  if (!decoded) Require(!decoder.ErrorText().empty(), "a part number that fails says why");
}

void CheckDate(const TypeConverter& converter, const std::string& text, bool month_first) {
  OleDateTime date;
  if (!converter.ParseDateTime(text, date, month_first)) return;
  CalendarTime time;
  Require(date.GetStatus() == OleDateTime::valid && date.GetCalendar(time), "a parsed date is valid");
  Require(time.year >= 100 && time.year <= 9999, "a parsed date lies in the supported years");
}

}  // namespace
}  // namespace veld::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace veld;
  using namespace veld::fuzz;
  const std::string text(AsBytes(data, size));
  CheckConfigure(text);

  const TypeConverter converter;
  converter.AsInteger(text);
  converter.AsDouble(text);
  converter.DigitValue(text);
  CheckDate(converter, text, true);
  CheckDate(converter, text, false);
  return 0;
}
