// Web addresses found in pages and headers: a reference ("/th?id=1", "//host/a.jpg",
// "image/a.jpg", "https://host/a.jpg") made absolute against the address of the page it came
// from, by the algorithm of RFC 3986, section 5.2.
#pragma once

#include <optional>
#include <string>

namespace dova {

// The absolute address that `reference` stands for when read on the page at `base`, or nothing
// when either is unusable. Both are UTF-8. Surrounding blanks of `reference` are ignored; a space,
// a byte of 0x80 or more and the characters that may not stand in a request line ('"', '<', '>',
// '\\', '^', '`', '{', '|', '}') are percent-encoded, UTF-8 byte by byte. Refused: a control
// character, text that is not well-formed UTF-8, a result whose scheme is not http or https
// (compared without case, written in lower case), a result without a host, and a `base` that is
// not itself an absolute http or https address. The fragment ("#...") is dropped, since it never
// travels in a request. Dot segments are removed from the path.
std::optional<std::string> ResolveAddressReference(const std::string& base,
                                                   const std::string& reference);

}  // namespace dova
