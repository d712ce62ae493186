#pragma once
// Modal messages and questions, injected into the tables, the facade and the commands.
// The desktop shows message boxes, the command-line tool writes to stderr, tests record.

#include <string>

namespace veld {

enum class MessageIcon {
  None,         // a plain message box with an OK button
  Exclamation,  // the selection errors of the results list
};

class Prompter {
 public:
  virtual ~Prompter() = default;
  // A message with an OK button; returns when the user has acknowledged it.
  virtual void Message(const std::string& text, MessageIcon icon = MessageIcon::None) = 0;
  // A question with Yes and No buttons; true only for Yes.
  virtual bool AskYesNo(const std::string& question) = 0;
};

}  // namespace veld
