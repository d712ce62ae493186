#include "reports/pdf_metadata.h"

#include <cctype>
#include <charconv>
#include <vector>

#include "database/desktop_settings.h"
#include "platform/format.h"
#include "platform/text_encoding.h"
#include "reports/certificate.h"

namespace veld {
namespace {

// A PDF text string in UTF-16BE with its byte order mark, written in hex so that no
// character needs escaping.
std::string PdfTextString(const std::string& latin1) {
  std::string text = "<FEFF";
  for (const char c : latin1) text += Format("00%02X", static_cast<unsigned char>(c));
  return text + ">";
}

std::string PdfDate(const UtcTime& t) {
  return Format("(D:%04d%02d%02d%02d%02d%02dZ)", t.year, t.month, t.day, t.hour, t.minute, t.second);
}

std::string XmpDate(const UtcTime& t) {
  return Format("%04d-%02d-%02dT%02d:%02d:%02dZ", t.year, t.month, t.day, t.hour, t.minute, t.second);
}

std::string XmlText(const std::string& latin1) {
  std::string text;
  for (const char c : Latin1ToUtf8(latin1)) {
    switch (c) {
      case '&': text += "&amp;"; break;
      case '<': text += "&lt;"; break;
      case '>': text += "&gt;"; break;
      case '"': text += "&quot;"; break;
      default: text += c;
    }
  }
  return text;
}

// ---- Reading the parts of a classic cross-reference table --------------------------------

struct XrefEntry {
  uint64_t offset;
  unsigned generation;
  char kind;  // 'n' in use, 'f' free
};

struct XrefSubsection {
  uint64_t first;
  std::vector<XrefEntry> entries;
};

void SkipWhitespace(std::string_view pdf, size_t& pos) {
  while (pos < pdf.size() && std::isspace(static_cast<unsigned char>(pdf[pos]))) ++pos;
}

std::optional<uint64_t> ReadNumber(std::string_view pdf, size_t& pos) {
  SkipWhitespace(pdf, pos);
  uint64_t value = 0;
  const auto result = std::from_chars(pdf.data() + pos, pdf.data() + pdf.size(), value);
  if (result.ec != std::errc()) return std::nullopt;
  pos = static_cast<size_t>(result.ptr - pdf.data());
  return value;
}

// One entry: 10 digits, a space, 5 digits, a space, n or f, and a two-byte line end.
std::optional<XrefEntry> ReadEntry(std::string_view pdf, size_t& pos) {
  if (pos + 20 > pdf.size()) return std::nullopt;
  const std::string_view entry = pdf.substr(pos, 20);
  uint64_t offset = 0;
  unsigned generation = 0;
  if (std::from_chars(entry.data(), entry.data() + 10, offset).ptr != entry.data() + 10) return std::nullopt;
  if (std::from_chars(entry.data() + 11, entry.data() + 16, generation).ptr != entry.data() + 16) return std::nullopt;
  if (entry[10] != ' ' || entry[16] != ' ' || (entry[17] != 'n' && entry[17] != 'f')) return std::nullopt;
  pos += 20;
  return XrefEntry{offset, generation, entry[17]};
}

// The object number and generation of "/Info N G R" in a trailer.
std::optional<std::pair<uint64_t, uint64_t>> InfoReference(std::string_view trailer) {
  const size_t at = trailer.find("/Info");
  if (at == std::string_view::npos) return std::nullopt;
  size_t pos = at + 5;
  const auto number = ReadNumber(trailer, pos);
  const auto generation = ReadNumber(trailer, pos);
  SkipWhitespace(trailer, pos);
  if (!number || !generation || pos >= trailer.size() || trailer[pos] != 'R') return std::nullopt;
  return std::pair{*number, *generation};
}

}  // namespace

PdfDocumentInfo CertificateDocumentInfo(const TestResults& as_found, std::optional<uint64_t> certificate_number,
                                        const std::string& producer, const UtcTime& created) {
  PdfDocumentInfo info;
  info.title = kCertificateDocumentName;
  info.author = kCertificateAuthor;
  info.subject = "UUT " + as_found.Uut.ID;
  if (certificate_number) info.subject += ", " + CertificateNumberText(*certificate_number);
  info.creator = kCertificateAuthor;
  info.producer = producer;
  info.created = created;
  return info;
}

std::string PdfaXmpPacket(const PdfDocumentInfo& info) {
  std::string xmp =
      "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
      "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
      " <rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
      "  <rdf:Description rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n"
      "   <dc:format>application/pdf</dc:format>\n"
      "   <dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">" + XmlText(info.title) + "</rdf:li></rdf:Alt></dc:title>\n"
      "   <dc:creator><rdf:Seq><rdf:li>" + XmlText(info.author) + "</rdf:li></rdf:Seq></dc:creator>\n"
      "   <dc:description><rdf:Alt><rdf:li xml:lang=\"x-default\">" + XmlText(info.subject) +
      "</rdf:li></rdf:Alt></dc:description>\n"
      "  </rdf:Description>\n"
      "  <rdf:Description rdf:about=\"\" xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\">\n"
      "   <xmp:CreatorTool>" + XmlText(info.creator) + "</xmp:CreatorTool>\n"
      "   <xmp:CreateDate>" + XmpDate(info.created) + "</xmp:CreateDate>\n"
      "   <xmp:ModifyDate>" + XmpDate(info.created) + "</xmp:ModifyDate>\n"
      "  </rdf:Description>\n"
      "  <rdf:Description rdf:about=\"\" xmlns:pdf=\"http://ns.adobe.com/pdf/1.3/\">\n"
      "   <pdf:Producer>" + XmlText(info.producer) + "</pdf:Producer>\n"
      "  </rdf:Description>\n"
      "  <rdf:Description rdf:about=\"\" xmlns:pdfaid=\"http://www.aiim.org/pdfa/ns/id/\">\n"
      "   <pdfaid:part>1</pdfaid:part>\n"
      "   <pdfaid:conformance>B</pdfaid:conformance>\n"
      "  </rdf:Description>\n"
      " </rdf:RDF>\n"
      "</x:xmpmeta>\n";
  return xmp + "<?xpacket end=\"w\"?>";
}

std::optional<std::string> WithDocumentInfo(std::string_view pdf, const PdfDocumentInfo& info) {
  // Where the cross-reference table starts.
  const size_t startxref = pdf.rfind("startxref");
  if (startxref == std::string_view::npos) return std::nullopt;
  size_t pos = startxref + 9;
  const auto xref_at = ReadNumber(pdf, pos);
  if (!xref_at || *xref_at >= startxref || pdf.substr(*xref_at, 4) != "xref") return std::nullopt;
  const size_t xref_offset = static_cast<size_t>(*xref_at);

  // Its subsections, then the trailer up to startxref.
  std::vector<XrefSubsection> subsections;
  pos = xref_offset + 4;
  while (true) {
    SkipWhitespace(pdf, pos);
    if (pos >= pdf.size() || !std::isdigit(static_cast<unsigned char>(pdf[pos]))) break;
    const auto first = ReadNumber(pdf, pos);
    const auto count = ReadNumber(pdf, pos);
    if (!first || !count || *count > pdf.size() / 20) return std::nullopt;
    SkipWhitespace(pdf, pos);
    XrefSubsection subsection{*first, {}};
    for (uint64_t i = 0; i < *count; ++i) {
      const auto entry = ReadEntry(pdf, pos);
      if (!entry) return std::nullopt;
      subsection.entries.push_back(*entry);
    }
    subsections.push_back(std::move(subsection));
  }
  if (pdf.substr(pos, 7) != "trailer" || pos > startxref) return std::nullopt;
  const std::string_view trailer = pdf.substr(pos, startxref - pos);
  if (trailer.find("/Prev") != std::string_view::npos) return std::nullopt;  // an updated file
  const auto info_ref = InfoReference(trailer);
  if (!info_ref) return std::nullopt;

  // The information object: where it starts and where its "endobj" line ends.
  std::optional<uint64_t> object_at;
  for (const XrefSubsection& subsection : subsections) {
    if (info_ref->first >= subsection.first && info_ref->first - subsection.first < subsection.entries.size()) {
      const XrefEntry& entry = subsection.entries[info_ref->first - subsection.first];
      if (entry.kind == 'n') object_at = entry.offset;
    }
  }
  const std::string header = Format("%llu %llu obj", static_cast<unsigned long long>(info_ref->first),
                                    static_cast<unsigned long long>(info_ref->second));
  if (!object_at || *object_at >= xref_offset || pdf.substr(*object_at, header.size()) != header) return std::nullopt;
  const size_t start = static_cast<size_t>(*object_at);
  size_t end = pdf.find("endobj", start);
  if (end == std::string_view::npos || end >= xref_offset) return std::nullopt;
  end += 6;
  if (end < pdf.size() && pdf[end] == '\r') ++end;
  if (end < pdf.size() && pdf[end] == '\n') ++end;

  const std::string object = header + "\n<<\n/Title " + PdfTextString(info.title) + "\n/Author " +
                             PdfTextString(info.author) + "\n/Subject " + PdfTextString(info.subject) +
                             "\n/Creator " + PdfTextString(info.creator) + "\n/Producer " +
                             PdfTextString(info.producer) + "\n/CreationDate " + PdfDate(info.created) +
                             "\n/ModDate " + PdfDate(info.created) + "\n>>\nendobj\n";
  const int64_t delta = static_cast<int64_t>(object.size()) - static_cast<int64_t>(end - start);

  std::string out;
  out.reserve(pdf.size() + object.size());
  out.append(pdf.substr(0, start));
  out.append(object);
  out.append(pdf.substr(end, xref_offset - end));
  const size_t new_xref_offset = out.size();
  out += "xref\n";
  for (const XrefSubsection& subsection : subsections) {
    out += Format("%llu %zu\n", static_cast<unsigned long long>(subsection.first), subsection.entries.size());
    for (const XrefEntry& entry : subsection.entries) {
      const uint64_t offset = entry.kind == 'n' && entry.offset > start ? entry.offset + delta : entry.offset;
      out += Format("%010llu %05u %c \n", static_cast<unsigned long long>(offset), entry.generation, entry.kind);
    }
  }
  out.append(trailer);
  out += Format("startxref\n%zu\n%%%%EOF\n", new_xref_offset);
  return out;
}

}  // namespace veld
