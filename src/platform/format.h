#pragma once
// printf-style formatting into a std::string, so that the format strings of the
// calibrator's texts ("%02i/%02i/%4i", "%.4f", ...) are used exactly as they stand.
// Always with a decimal point, whatever locale the process has set.

#include <string>

namespace veld {

#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
std::string Format(const char* format, ...);

}  // namespace veld
