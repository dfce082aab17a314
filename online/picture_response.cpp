#include "online/picture_response.h"

#include <cctype>
#include <cstdio>
#include <limits>
#include <memory>

#include "online/web_address.h"
#include "platform/error.h"
#include "platform/file_system.h"
#include "text/number_text.h"

namespace dova {

namespace {

bool IsControl(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return u < 0x20 || u == 0x7F;
}

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::size_t HeaderEnd(const std::string& response) {
  for (const char* separator : {"\r\n\r\n", "\n\n", "\r\r"}) {
    const std::size_t at = response.find(separator);
    if (at != std::string::npos) return at + std::char_traits<char>::length(separator);
  }
  return std::string::npos;
}

PageVerdict ReadPictureAddress(const std::string& response, std::string& candidate) {
  candidate.clear();
  const std::size_t bodyStart = HeaderEnd(response);
  // Without a header end there is no body to take an address from.
  if (bodyStart == std::string::npos) return PageVerdict::NotOneLine;
  const std::string body = Trim(response.substr(bodyStart));
  if (body.find_first_of("\r\n") != std::string::npos) return PageVerdict::NotOneLine;
  candidate = body;
  return PageVerdict::Address;
}

bool IsRequestableAddress(const std::string& candidate) {
  if (!HasHttpScheme(candidate)) return false;
  for (char c : candidate)
    if (IsControl(c)) return false;
  return true;
}

bool FindContentLength(const std::string& response, std::string& valueText) {
  static const std::string kHeader = "CONTENT-LENGTH:";
  std::string upper = response;
  for (char& c : upper) c = AsciiUpper(c);
  const std::size_t at = upper.find(kHeader);
  if (at == std::string::npos) return false;
  const std::size_t valueStart = at + kHeader.size();
  const std::size_t lineEnd = upper.find_first_of("\r\n", valueStart);
  valueText = lineEnd == std::string::npos ? std::string()
                                           : Trim(upper.substr(valueStart, lineEnd - valueStart));
  return true;
}

std::optional<ContentLength> ReadContentLength(const std::string& head) {
  ContentLength length;
  if (!FindContentLength(head, length.text)) return std::nullopt;
  length.bytes =
      ReadInteger(length.text, kDecimalInteger, 0, std::numeric_limits<long long>::max());
  return length;
}

StripResult StripHttpHeader(const std::string& path, std::string* header, long long* bodyBytes) {
  std::string contents;
  if (!ReadWholeFile(path, contents)) throw Error("Cannot open file \"" + path + "\"");
  // The picture's own bytes may hold anything after its first zero byte; the header never does.
  const std::size_t firstZero = contents.find('\0');
  const std::size_t bodyStart =
      HeaderEnd(firstZero == std::string::npos ? contents : contents.substr(0, firstZero));
  if (bodyStart == std::string::npos) return StripResult::NoHeaderEnd;

  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(OpenFile(path, "wb"), &std::fclose);
  if (!file) throw Error("Cannot create file \"" + path + "\"");
  const std::size_t count = contents.size() - bodyStart;
  const bool written = std::fwrite(contents.data() + bodyStart, 1, count, file.get()) == count;
  if (std::fclose(file.release()) != 0 || !written)
    throw Error("Cannot write file \"" + path + "\"");
  if (header) header->assign(contents, 0, bodyStart);
  if (bodyBytes) *bodyBytes = static_cast<long long>(count);
  return StripResult::Stripped;
}

PictureHeader ReadPictureHeader(const std::string& header) {
  PictureHeader result;
  if (const std::optional<ContentLength> length = ReadContentLength(header))
    result.contentLength = length->bytes;
  // Header names are case-insensitive; each line is looked at from its start.
  std::string upper = header;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  std::size_t start = 0;
  while (start < upper.size()) {
    std::size_t end = upper.find_first_of("\r\n", start);
    if (end == std::string::npos) end = upper.size();
    const std::string line = upper.substr(start, end - start);
    const std::size_t colon = line.find(':');
    if (colon != std::string::npos) {
      const std::string name = Trim(line.substr(0, colon));
      const std::string field = Trim(line.substr(colon + 1));
      if (name == "TRANSFER-ENCODING" && !field.empty() && field != "IDENTITY")
        result.encoded = true;
      if (name == "CONTENT-ENCODING" && !field.empty() && field != "IDENTITY")
        result.encoded = true;
    }
    start = end + 1;
  }
  return result;
}

}  // namespace dova
