#pragma once
// The window's questions and dialogs that its commands run, each behind a small interface:
// the desktop shows a dialog, the command-line tool answers from its arguments, the tests
// answer from a script.

#include <optional>
#include <string>
#include <vector>

#include "records/test_profile.h"
#include "records/uut.h"

namespace veld {

class CDataBaseX;
class LabHeaderForm;
class PasswordConfigureForm;

// The Save As dialog: proposes a path (a host path) and answers the chosen host path, or
// nothing when the user cancels. It asks itself before an existing file is replaced.
class SaveAsQuestion {
 public:
  virtual ~SaveAsQuestion() = default;
  virtual std::optional<std::string> AskSaveAs(const std::string& proposed_path,
                                               const std::string& default_extension) = 0;
};

// The Open dialog: asks for an existing file, starting in a folder (a host path), offering
// the files of an extension ("csv"). The chosen host path, or nothing when cancelled.
class OpenFileQuestion {
 public:
  virtual ~OpenFileQuestion() = default;
  virtual std::optional<std::string> AskOpen(const std::string& caption, const std::string& start_folder,
                                             const std::string& extension) = 0;
};

// The "Certificate header" dialog, run on its form: true when the user confirmed with OK
// (the form's checks passed).
class CertificateHeaderDialog {
 public:
  virtual ~CertificateHeaderDialog() = default;
  virtual bool Run(LabHeaderForm& form) = 0;
};

// The administrator settings dialog, run on its form.
class AdministratorDialog {
 public:
  virtual ~AdministratorDialog() = default;
  virtual void Run(PasswordConfigureForm& form) = 0;
};

// The UUT setup dialog: edits the UUT in place; true when the user confirmed with OK.
class UUTEditor {
 public:
  virtual ~UUTEditor() = default;
  virtual bool Edit(UUT& uut, const std::vector<std::string>& profile_ids, bool id_locked,
                    CDataBaseX& database) = 0;
};

// The test profile setup dialog: edits the profile in place; true on OK.
class ProfileEditor {
 public:
  virtual ~ProfileEditor() = default;
  virtual bool Edit(TestProfile& profile, const UUT& uut, CDataBaseX& database, bool id_locked) = 0;
};

// Where the desktop remembers the calibrator folder that the user chose.
class CalibratorFolderStore {
 public:
  virtual ~CalibratorFolderStore() = default;
  virtual std::string Load() = 0;
  virtual void Save(const std::string& folder) = 0;
};

}  // namespace veld
