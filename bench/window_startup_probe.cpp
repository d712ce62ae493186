// The desktop program's start-up as veldane-manager does it (the icon, the databases
// opened with their checks, the window built and shown), ending once the window shows.

#include <QApplication>

#include "ui/desktop_program.h"
#include "window_probes.h"

namespace {

// The remembered calibrator folder is not looked up: the home folder stays untouched.
class NoFolderStore : public veld::CalibratorFolderStore {
 public:
  std::string Load() override { return {}; }
  void Save(const std::string&) override {}
};

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  veld::UseProgramIcon();
  NoFolderStore store;
  veld::DesktopOverrides overrides;
  overrides.calibrator_folder = &store;
  veld::DesktopProgram program(overrides);
  if (!program.StartUp()) return 3;
  return veld::bench::ShowAndQuit(program.widget());
}
