#pragma once
// The About box: the program's name and revision and its revision history, built afresh
// each time the box opens.

#include <string>


namespace veld {

inline constexpr const char* kAboutCaption = "About Veldane Manager    Rev 3.04";
inline constexpr const char* kAboutMenuItem = "&About Veldane Manager...";
inline constexpr const char* kAboutTitleLine = "Veldane Manager Revision 3.04";
inline constexpr const char* kAboutReleaseLine = "Released December 2026";

// The revision history as the box shows it.
std::string AboutRevisionText();

class AboutBoxForm {
 public:
  // Opening the box builds its text; the text starts empty.
  void Open() { revision_text_ = AboutRevisionText(); }
  const std::string& revision_text() const { return revision_text_; }

 private:
  std::string revision_text_;
};

}  // namespace veld
