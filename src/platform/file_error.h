#pragma once
// The one exception that crosses module boundaries: a file that an operation must
// open, read or write but cannot. Commands catch it at their boundary and show it.

#include <stdexcept>
#include <string>

namespace veld {

class FileError : public std::runtime_error {
 public:
  enum class Cause {
    NotFound,       // the file or folder does not exist
    AccessDenied,   // it exists but may not be opened so
    EndOfFile,      // a read ran past the end of the file
    DiskFull,       // a write could not be completed
    AlreadyExists,  // a rename onto a name that is taken
    BadPath,        // a name that cannot be a file name here
    Generic,        // anything else the system reported
  };

  FileError(Cause cause, std::string path, std::string detail = {});

  Cause cause() const { return cause_; }
  const std::string& path() const { return path_; }
  // What the system said beyond the cause, if anything.
  const std::string& detail() const { return detail_; }

 private:
  Cause cause_;
  std::string path_;
  std::string detail_;
};

// Builds the error that matches the C library's errno value for an operation on path.
FileError FileErrorFromErrno(int error_number, const std::string& path);

}  // namespace veld
