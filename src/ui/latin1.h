#pragma once
// The program's texts are 8-bit (Latin-1); Qt's are Unicode. They meet only here. Host
// paths are the file system's own encoding.

#include <QFile>
#include <QString>
#include <string>

namespace veld {

inline QString Latin1(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// A message or panel text: "\r\n" line ends become Qt's "\n".
inline QString Latin1Lines(const std::string& text) { return Latin1(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

// Characters beyond Latin-1 cannot be stored by the calibrator; they become "?".
inline std::string ToLatin1(const QString& text) {
  const QByteArray bytes = text.toLatin1();
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

inline QString HostPathText(const std::string& path) { return QFile::decodeName(path.c_str()); }
inline std::string HostPathOf(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace veld
