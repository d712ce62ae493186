#pragma once
// Scripted stand-ins for the window's dialogs and questions, for the window's tests with
// and without widgets: each answers from a script and records what it was asked.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/lab_header_form.h"
#include "app/main_window.h"

namespace veld::test {

// Answers the password entry dialog from a script; an empty script cancels.
class ScriptedPasswordEntry : public PasswordEntry {
 public:
  bool Run(const std::string& prompt, Operator& op) override {
    prompts.push_back(prompt);
    if (answers.empty()) return false;
    const Operator typed = answers.front();
    answers.pop_front();
    op.Name = typed.Name;
    op.ID = typed.ID;
    op.Password = typed.Password;
    return true;
  }
  std::deque<Operator> answers;
  std::vector<std::string> prompts;
};

class RecordingPrinter : public CertificatePrinter {
 public:
  void PrintCertificate(const TestResults& as_found, const TestResults& as_left, double factor) override {
    printed.push_back({as_found.Uut.ID, as_found.Profile.NumberOfPoints, as_left.Profile.NumberOfPoints, factor});
  }
  struct Job {
    std::string uut_id;
    int as_found_points;
    int as_left_points;
    double pressure_factor;
  };
  std::vector<Job> printed;
};

class ScriptedSaveAs : public SaveAsQuestion {
 public:
  std::optional<std::string> AskSaveAs(const std::string& proposed, const std::string& extension) override {
    proposals.push_back(proposed + "|" + extension);
    return answer;
  }
  std::optional<std::string> answer;
  std::vector<std::string> proposals;
};

// Runs the administrator dialog as a user would: clicks from a script, then OK or Cancel
// (neither changes the program's states beyond the clicks).
class ScriptedAdministrator : public AdministratorDialog {
 public:
  using Box = PasswordConfigureForm::Box;
  void Run(PasswordConfigureForm& form) override {
    shown.push_back({form.Checked(Box::CfrComp), form.Checked(Box::PasswordReportGenerator),
                     form.Checked(Box::FailLockDown)});
    for (const auto& [box, checked] : clicks) form.Click(box, checked);
    clicks.clear();
  }
  std::vector<std::pair<Box, bool>> clicks;
  std::vector<AdministratorChecks> shown;
};

// The setup dialogs: change the record as a user would, then OK or Cancel.
class ScriptedUUTEditor : public UUTEditor {
 public:
  bool Edit(UUT& uut, const std::vector<std::string>& ids, bool id_locked, CDataBaseX&) override {
    calls.push_back({uut.ID, id_locked, ids});
    if (change) change(uut);
    return confirm;
  }
  struct Call {
    std::string id_shown;
    bool id_locked;
    std::vector<std::string> profile_ids;
  };
  std::function<void(UUT&)> change;
  bool confirm = true;
  std::vector<Call> calls;
};

class ScriptedProfileEditor : public ProfileEditor {
 public:
  bool Edit(TestProfile& profile, const UUT& uut, CDataBaseX&, bool id_locked) override {
    calls.push_back({profile.ID, uut.ID, id_locked});
    if (change) change(profile);
    return confirm;
  }
  struct Call {
    std::string id_shown, uut_id;
    bool id_locked;
  };
  std::function<void(TestProfile&)> change;
  bool confirm = true;
  std::vector<Call> calls;
};

class ScriptedOpenFile : public OpenFileQuestion {
 public:
  std::optional<std::string> AskOpen(const std::string& caption, const std::string& folder,
                                     const std::string& extension) override {
    asked.push_back(caption + "|" + folder + "|" + extension);
    return answer;
  }
  std::optional<std::string> answer;
  std::vector<std::string> asked;
};

// The certificate header dialog: shows the form's name, changes the form, OK or Cancel.
class ScriptedCertificateHeader : public CertificateHeaderDialog {
 public:
  bool Run(LabHeaderForm& form) override {
    names_shown.push_back(form.name);
    if (change) change(form);
    return confirm;
  }
  std::function<void(LabHeaderForm&)> change;
  bool confirm = true;
  std::vector<std::string> names_shown;
};

// Keeps the remembered calibrator folder in memory instead of the desktop's settings.
class MemoryFolderStore : public CalibratorFolderStore {
 public:
  std::string Load() override { return folder; }
  void Save(const std::string& chosen) override { folder = chosen; }
  std::string folder;
};

}  // namespace veld::test
