#pragma once
// The stand-in library's fault injection for the tests, kept out of the binary interface
// that the device link shares: environment variables read when a file is opened.

namespace veld::rapi {

// When this variable holds a number N > 0, the Nth CeReadFile on every file handle opened
// afterwards fails, as when the link drops in the middle of a copy.
constexpr char kFailReadAtVariable[] = "VELD_RAPI_FAIL_READ_AT";
// When this variable holds a number N > 0, the file of the Nth and of every later
// CeCreateFile of a connection is removed just before it is opened, as when the
// calibrator is taken away in the middle of a connect.
constexpr char kVanishAtVariable[] = "VELD_RAPI_VANISH_AT";

}  // namespace veld::rapi
