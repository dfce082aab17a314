// Reading what a channel's site answers during the daily update: the picture address from the
// page, the picture's size from the HEAD answer, and the downloaded picture freed of its HTTP
// header.
#pragma once

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

enum class StripResult { Stripped, NoHeaderEnd };

// Rewrites the file at `path` with the bytes that follow its HTTP header end (HeaderEnd,
// searched only up to the file's first zero byte). With no header end the file stays as it is.
// Throws dova::Error when the file cannot be read or rewritten.
StripResult StripHttpHeader(const std::string& path);

}  // namespace dova
