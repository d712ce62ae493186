#pragma once
// A Prompter that records every message and question, and answers questions from a
// script (Yes by default), for tests.

#include <string>
#include <vector>

#include "platform/prompter.h"

namespace veld::test {

class RecordingPrompter : public Prompter {
 public:
  struct Entry {
    std::string text;
    MessageIcon icon = MessageIcon::None;
  };

  void Message(const std::string& text, MessageIcon icon = MessageIcon::None) override {
    entries.push_back({text, icon});
  }
  bool AskYesNo(const std::string& question) override {
    entries.push_back({question, MessageIcon::None});
    return answer_yes;
  }

  // The texts of the messages and questions, in order.
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const Entry& entry : entries) texts.push_back(entry.text);
    return texts;
  }

  std::vector<Entry> entries;
  bool answer_yes = true;
};

}  // namespace veld::test
