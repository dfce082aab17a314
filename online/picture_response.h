// Reading what a channel's site answers during the daily update: the picture address from the
// page, the picture's size from the HEAD answer, and the downloaded picture freed of its HTTP
// header.
#pragma once

#include <optional>
#include <string>

namespace dova {

// Offset of the first byte after the end of a response header: the first "\r\n\r\n", else the
// first "\n\n", else the first "\r\r"; std::string::npos when there is none.
std::size_t HeaderEnd(const std::string& response);

// What the picture-address page says.
enum class PageVerdict {
  Address,    // one line: `candidate` holds it (possibly empty)
  NotOneLine  // no header end, or a body of more than one line
};

// The body of a page response, trimmed at both ends, into `candidate`.
PageVerdict ReadPictureAddress(const std::string& response, std::string& candidate);

// True when `candidate` can be requested: it begins with "http://" (in any case) and holds no
// control character that could split the request.
bool IsRequestableAddress(const std::string& candidate);

// The Content-Length of a HEAD answer. `response` is searched in upper case for
// "CONTENT-LENGTH:"; false when it is not there. Otherwise `valueText` is the text after the
// colon up to the first CR or LF (empty when neither follows), trimmed at both ends.
bool FindContentLength(const std::string& response, std::string& valueText);

// A Content-Length header's value: its text as FindContentLength gives it, and the byte count it
// reads as (a decimal number of 0 or more), or nothing when it does not read as one.
struct ContentLength {
  std::string text;
  std::optional<long long> bytes;
};
// Nothing when `head` has no Content-Length header.
std::optional<ContentLength> ReadContentLength(const std::string& head);

enum class StripResult { Stripped, NoHeaderEnd };

// Rewrites the file at `path` with the bytes that follow its HTTP header end (HeaderEnd,
// searched only up to the file's first zero byte). With no header end the file stays as it is.
// When stripped, `header` (if given) receives the header up to its end and `bodyBytes` (if
// given) the count of bytes kept. Throws dova::Error when the file cannot be read or rewritten.
StripResult StripHttpHeader(const std::string& path, std::string* header = nullptr,
                            long long* bodyBytes = nullptr);

// What the header of the picture's answer says of the bytes after it.
struct PictureHeader {
  // The announced Content-Length, when there is a readable one.
  std::optional<long long> contentLength;
  // A Transfer-Encoding (HTTP/1.1's chunks) or a Content-Encoding other than "identity" (gzip):
  // the bytes are not the picture's own, which a client of HTTP/1.0 does not take apart.
  bool encoded = false;
};
PictureHeader ReadPictureHeader(const std::string& header);

}  // namespace dova
