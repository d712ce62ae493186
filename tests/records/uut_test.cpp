#include "records/uut.h"

#include <gtest/gtest.h>

#include <type_traits>
#include <utility>

#include "records/operator.h"
#include "records/system_data.h"
#include "records/test_results.h"

namespace veld {
namespace {

TEST(Uut, OutputTypeDerivesOutputUnitsCaseSensitively) {
  for (const auto& [type, units] : {std::pair{"4WIR", "VDC"}, {"3WIR", "VDC"}, {"DIALGAGE", ""},
                                    {"P-SWITCH", "mA"}, {"CURR", "mA"}, {"curr", ""}}) {
    UUT uut;
    uut.SetOutputType(type);
    EXPECT_EQ(uut.OutputType + "|" + uut.OutputUnits, std::string(type) + "|" + units);
  }
}

// The default UUT: -0.25 to 0.25 "in. WC" giving 4 to 20 mA.
TEST(Uut, ErrorsAgainstTheIdealOutput) {
  UUT uut;
  EXPECT_EQ(uut.InputUnits + "|" + uut.OutputType + "|" + uut.OutputUnits, "in. WC|CSIM|mA");
  EXPECT_NEAR(uut.ErrorPercentFS(-0.25, 3.92), -0.5, 1e-12);
  uut.SetOutputType("DIALGAGE");  // the reading is a pressure
  EXPECT_NEAR(uut.ErrorPercentFS(0.1, 0.105), 1.0, 1e-12);
  uut.SetOutputType("dialgage");  // not a pressure-reading type: the reading is an output
  EXPECT_NEAR(uut.ErrorPercentFS(0.0, 12.16), 1.0, 1e-12);
  EXPECT_TRUE(PointPasses(-1.0, 1.0) && !PointPasses(1.01, 1.0));
}

TEST(Uut, ZeroSpansNeverPass) {
  UUT uut;
  uut.InputSpan = 0.0;
  EXPECT_FALSE(PointPasses(uut.ErrorPercentFS(-0.25, 4.0), 100.0));
  uut.SetOutputType("DIALGAGE");
  EXPECT_FALSE(PointPasses(uut.ErrorPercentFS(0.1, 0.1), 100.0));  // 0 / 0
  UUT flat;
  flat.OutputSpan = 0.0;
  EXPECT_FALSE(PointPasses(flat.ErrorPercentFS(0.0, 4.0), 100.0));
  EXPECT_FALSE(PointPasses(flat.ErrorPercentFS(0.0, 5.0), 100.0));
}

// Records are handed around by value (result pairs, lists of UUTs): a move must take the
// strings and columns over, never fall back to copying them.
template <typename... Record>
constexpr bool kMoveWithoutCopying =
    (... && (std::is_nothrow_move_constructible_v<Record> && std::is_nothrow_move_assignable_v<Record>));

TEST(Uut, RecordsMoveWithoutCopying) {
  EXPECT_TRUE((kMoveWithoutCopying<UUT, TestProfile, Operator, SystemData, TestResults>));
}

}  // namespace
}  // namespace veld
