#pragma once
// The document information of an archived certificate in PDF/A-1b: the same title,
// author, subject, creator, producer and creation date both in the XMP metadata packet
// (which PDF/A requires, with its part and conformance) and in the file's document
// information dictionary (which most viewers show).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "records/test_results.h"

namespace veld {

inline constexpr const char* kCertificateAuthor = "Veldane Manager 3.04";

struct UtcTime {
  int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

// 8-bit (Latin-1) texts.
struct PdfDocumentInfo {
  std::string title;
  std::string author;
  std::string subject;
  std::string creator;
  std::string producer;
  UtcTime created;
};

// A certificate's information: the document's name as title, the program as author and
// creator, the UUT ID and the certificate number (when it has one) as subject.
PdfDocumentInfo CertificateDocumentInfo(const TestResults& as_found, std::optional<uint64_t> certificate_number,
                                        const std::string& producer, const UtcTime& created);

// The XMP packet (UTF-8) that identifies the file as PDF/A-1b and carries the information.
std::string PdfaXmpPacket(const PdfDocumentInfo& info);

// The PDF with its document information dictionary replaced by one holding the
// information, the cross-reference table and startxref moved to match. Handles a file of
// one classic cross-reference table, as Qt writes it; nothing for any other structure.
std::optional<std::string> WithDocumentInfo(std::string_view pdf, const PdfDocumentInfo& info);

}  // namespace veld
