#pragma once
// The descriptor-level file calls under one set of names on every platform: the C runtime's
// underscore forms on Windows, POSIX elsewhere. VELD_OPEN takes an 8-bit path,
// VELD_OPEN_NATIVE a std::filesystem::path's native string (wide on Windows).

#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#define VELD_OPEN _open
#define VELD_OPEN_NATIVE _wopen
#define VELD_READ _read
#define VELD_WRITE _write
#define VELD_CLOSE _close
#define VELD_LSEEK _lseeki64
#define VELD_TRUNCATE _chsize_s
#define VELD_FSTAT _fstat64
#define VELD_STAT _stat64
using veld_stat_t = struct _stat64;
#define VELD_BINARY _O_BINARY
#else
#include <unistd.h>
#define VELD_OPEN ::open
#define VELD_OPEN_NATIVE ::open
#define VELD_READ ::read
#define VELD_WRITE ::write
#define VELD_CLOSE ::close
#define VELD_LSEEK ::lseek
#define VELD_TRUNCATE ::ftruncate
#define VELD_FSTAT ::fstat
#define VELD_STAT ::stat
using veld_stat_t = struct stat;
#define VELD_BINARY 0
#endif
