#include <gtest/gtest.h>

#include "platform/format.h"

namespace veld {
namespace {

TEST(Format, UsesPrintfConventions) {
  EXPECT_EQ(Format("%02i/%02i/%4i", 3, 7, 2011), "03/07/2011");
  EXPECT_EQ(Format("%02i/%02i/%04i", -1, -1, -1), "-1/-1/-001");
  EXPECT_EQ(Format("%8f", -0.25), "-0.250000");
  EXPECT_EQ(Format("%s", ""), "");
}

}  // namespace
}  // namespace veld
