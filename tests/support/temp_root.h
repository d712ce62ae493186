#pragma once
// Each test gets its own temporary VELD_ROOT and VELD_DEVICE, removed afterwards; the
// home folder is never touched.

#include <gtest/gtest.h>

#include "support/temp_folders.h"

namespace veld::test {

// A fixture that gives every test a fresh TempRoot.
class TempRootTest : public ::testing::Test {
 protected:
  TempRoot temp_;
};

}  // namespace veld::test
