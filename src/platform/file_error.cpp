#include "platform/file_error.h"

#include <cerrno>
#include <cstring>

namespace veld {
namespace {

std::string Describe(FileError::Cause cause, const std::string& path, const std::string& detail) {
  std::string text;
  switch (cause) {
    case FileError::Cause::NotFound: text = path + " was not found."; break;
    case FileError::Cause::AccessDenied: text = "Access to " + path + " was denied."; break;
    case FileError::Cause::EndOfFile:
      text = "An attempt was made to access " + path + " past its end.";
      break;
    case FileError::Cause::DiskFull: text = "There is not enough space on the disk to write " + path + "."; break;
    case FileError::Cause::AlreadyExists: text = path + " already exists."; break;
    case FileError::Cause::BadPath: text = path + " contains an invalid path."; break;
    case FileError::Cause::Generic: text = "An unexpected error occurred while accessing " + path + "."; break;
  }
  if (!detail.empty()) text += " (" + detail + ")";
  return text;
}

}  // namespace

FileError::FileError(Cause cause, std::string path, std::string detail)
    : std::runtime_error(Describe(cause, path, detail)),
      cause_(cause),
      path_(std::move(path)),
      detail_(std::move(detail)) {}

FileError FileErrorFromErrno(int error_number, const std::string& path) {
  switch (error_number) {
    case ENOENT:
    case ENOTDIR: return FileError(FileError::Cause::NotFound, path);
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return FileError(FileError::Cause::AccessDenied, path);
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
    case EFBIG: return FileError(FileError::Cause::DiskFull, path);
    case EEXIST: return FileError(FileError::Cause::AlreadyExists, path);
    case ENAMETOOLONG:
    case EILSEQ:
    case EINVAL: return FileError(FileError::Cause::BadPath, path);
    default: return FileError(FileError::Cause::Generic, path, std::strerror(error_number));
  }
}

}  // namespace veld
