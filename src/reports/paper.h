#pragma once
// The two papers a certificate is printed on, and which of them the user's locale uses.

#include <optional>
#include <string>

namespace veld {

enum class Paper { Letter, A4 };

// "a4" or "letter", in any letter case.
std::optional<Paper> ParsePaper(const std::string& text);

// The paper size of the locale's LC_PAPER category (LC_ALL, LC_PAPER or LANG): Letter
// for the countries that use it, else A4. A locale that is not installed is judged by the
// country in its name.
Paper LocalePaper();

}  // namespace veld
