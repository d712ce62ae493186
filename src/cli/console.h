#pragma once
// The terminal side of veldane-cli: message boxes become lines on stderr, questions are
// answered from --yes, and the password entry dialog reads from the terminal or stdin.

#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>

#include "app/password_check.h"
#include "platform/prompter.h"

namespace veld::cli {

// The text with every "\r\n" as "\n".
std::string WithNewlines(const std::string& text);

// The text with its control characters (C0, DEL and the C1 range that 8-bit terminals
// obey) written as visible escapes such as "\x1B", but for those in keep: stored data
// must not retitle, clear or otherwise drive the terminal.
std::string VisibleText(const std::string& text, std::string_view keep = {});

// Writes a text as lines: "\r\n" becomes "\n", a last line gets its line end, and control
// characters other than line ends and tabs are made visible.
void WriteLines(std::FILE* stream, const std::string& text);

// Whether a progress line is due: only on a terminal, at most a few times a second, and
// always for the last one.
class TerminalProgress {
 public:
  TerminalProgress();
  bool ShouldShow(bool last);

 private:
  bool terminal_;
  std::chrono::steady_clock::time_point shown_{};
};

// Messages go to stderr with their exact text. A question counts as Yes only when the
// user gave --yes; otherwise it is printed and answered No.
class StderrPrompter : public Prompter {
 public:
  explicit StderrPrompter(bool answer_yes) : answer_yes_(answer_yes) {}
  void Message(const std::string& text, MessageIcon icon = MessageIcon::None) override;
  bool AskYesNo(const std::string& question) override;

 private:
  bool answer_yes_;
};

// Name, ID and password: typed at the terminal (the password without echo), or three
// lines of stdin when it is not a terminal. End of input counts as Cancel.
class ConsolePasswordEntry : public PasswordEntry {
 public:
  bool Run(const std::string& prompt, Operator& op) override;
};

}  // namespace veld::cli
