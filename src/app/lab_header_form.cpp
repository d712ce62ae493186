#include "app/lab_header_form.h"

namespace veld {
namespace {

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t end = text.find('\n', start);
    std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) text += (i > 0 ? "\n" : "") + lines[i];
  return text;
}

}  // namespace

LabHeaderForm::LabHeaderForm(LabHeader stored, std::string stored_logo_path)
    : name(stored.name),
      address(JoinLines(stored.address)),
      accreditation(JoinLines(stored.accreditation)),
      stored_(std::move(stored)),
      logo_path_(std::move(stored_logo_path)) {}

bool LabHeaderForm::ChooseLogo(const std::string& host_path) {
  logo_problem_ = LogoFileProblem(host_path);
  if (!logo_problem_.empty()) return false;
  new_logo_ = host_path;
  logo_path_ = host_path;
  return true;
}

void LabHeaderForm::RemoveLogo() {
  new_logo_.reset();
  logo_path_.clear();
}

LabHeader LabHeaderForm::Header() const {
  LabHeader header;
  header.name = name;
  header.address = SplitLines(address);
  header.accreditation = SplitLines(accreditation);
  // A chosen logo gets its stored name when it is copied in; until then it only marks
  // the header as having one.
  header.logo = logo_path_.empty() ? std::string() : new_logo_ ? std::string("(new)") : stored_.logo;
  return header;
}

std::string LabHeaderForm::Problems() const {
  std::string text;
  for (const std::string& problem : LabHeaderProblems(Header())) text += (text.empty() ? "" : "\r\n") + problem;
  return text;
}

void LabHeaderForm::Save(DesktopSettingsStore& store) const { store.SaveLabHeader(Header(), new_logo_); }

}  // namespace veld
