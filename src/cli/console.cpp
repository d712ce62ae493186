#include "cli/console.h"

#include <termios.h>
#include <unistd.h>

#include <iostream>

namespace veld::cli {
namespace {

// One line of stdin without its line end (a CR before the LF is dropped too); false at
// the end of input.
bool ReadLine(std::string& line) {
  if (!std::getline(std::cin, line)) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

bool AskField(const char* label, std::string& value) {
  std::fputs(label, stderr);
  std::fflush(stderr);
  return ReadLine(value);
}

// Reads the password with the terminal's echo switched off, restored however it ends.
bool AskHiddenField(const char* label, std::string& value) {
  termios saved{};
  const bool can_hide = tcgetattr(STDIN_FILENO, &saved) == 0;
  if (can_hide) {
    termios hidden = saved;
    hidden.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &hidden);
  }
  const bool read = AskField(label, value);
  if (can_hide) {
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    std::fputc('\n', stderr);  // the Enter that was not echoed
  }
  return read;
}

}  // namespace

std::string WithNewlines(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

std::string VisibleText(const std::string& text, std::string_view keep) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    const bool control = byte < 0x20 || (byte >= 0x7F && byte <= 0x9F);
    if (!control || keep.find(c) != std::string_view::npos) {
      out += c;
    } else {
      out += "\\x";
      out += kDigits[byte >> 4];
      out += kDigits[byte & 0xF];
    }
  }
  return out;
}

void WriteLines(std::FILE* stream, const std::string& text) {
  std::string lines = VisibleText(WithNewlines(text), "\n\t");
  if (lines.empty() || lines.back() != '\n') lines += '\n';
  std::fwrite(lines.data(), 1, lines.size(), stream);
  std::fflush(stream);
}

void StderrPrompter::Message(const std::string& text, MessageIcon /*icon*/) {
  std::fflush(stdout);  // keep stdout and stderr in the order they happened on a terminal
  WriteLines(stderr, text);
}

bool StderrPrompter::AskYesNo(const std::string& question) {
  if (answer_yes_) return true;
  Message(question);
  return false;
}

bool ConsolePasswordEntry::Run(const std::string& prompt, Operator& op) {
  std::string name, id, password;
  if (isatty(STDIN_FILENO)) {
    WriteLines(stderr, "Password Entry: " + prompt);
    if (!AskField("Name: ", name) || !AskField("ID: ", id) || !AskHiddenField("Password: ", password)) {
      return false;
    }
  } else if (!ReadLine(name) || !ReadLine(id) || !ReadLine(password)) {
    return false;
  }
  op.Name = name;
  op.ID = id;
  op.Password = password;
  return true;
}

}  // namespace veld::cli
