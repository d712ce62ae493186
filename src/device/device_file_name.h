#pragma once
// Conversions between the system's 8-bit text and the remote API's wide paths, and the
// check that a file name received from the device is safe to use in a local folder.
// 8-bit text is Latin-1: each byte is the character of the same number.

#include <cstddef>
#include <string>

#include "rapi/rapi_types.h"

namespace veld {

// The wide form of an 8-bit path, as the library takes it.
std::u16string WidePath(const std::string& path);

// The 8-bit form of a name from a listing record (bounded by capacity when it has no
// terminating zero) into narrow, whose storage a listing reuses from name to name; false
// when a character has no 8-bit form.
bool NarrowName(const rapi::WCHAR* name, size_t capacity, std::string& narrow);

// The name as it can be shown in a message: characters that have no 8-bit form or that
// are control characters become '?'.
std::string PrintableName(const rapi::WCHAR* name, size_t capacity);

// True when name can be the name of one file inside a local folder: not empty, no path
// separator, no "..", no control character and none of < > : " | ? *.
bool IsSafeFileName(const std::string& name);

}  // namespace veld
