#pragma once
// The PC and the VELD database as the main window holds them, over a fresh temporary root.

#include <memory>

#include "database/database.h"
#include "support/recording_prompter.h"
#include "support/temp_root.h"

namespace veld::test {

class TwoDatabasesTest : public TempRootTest {
 protected:
  // Start-up as the main window does it: both facades, flags, settings record, PC open.
  void StartUp() {
    veld_ = std::make_unique<CDataBaseX>(prompter_);
    pc_ = std::make_unique<CDataBaseX>(prompter_);
    veld_->SetDevice(DatabaseSide::VELD);
    pc_->SetDevice(DatabaseSide::PC);
    pc_->SetSystemData(settings_);
    pc_->Open();
  }

  RecordingPrompter prompter_;
  SystemData settings_;
  std::unique_ptr<CDataBaseX> veld_, pc_;
};

}  // namespace veld::test
