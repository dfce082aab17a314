// Base64 with the standard alphabet and "=" padding (RFC 4648, section 4). Used for the token
// of the proxy's Basic credentials.
#pragma once

#include <cstddef>
#include <string>

namespace dova {

// Encodes `count` bytes from `data` (taken as unsigned values 0-255) into a newly allocated,
// zero-terminated ASCII text of 4 * ceil(count / 3) characters, stores its address in *output
// and returns its length without the terminating zero. The caller owns the text and frees it
// with std::free(). Returns -1 and leaves *output untouched when the memory cannot be
// allocated. `data` may be null when `count` is 0.
std::ptrdiff_t Base64Encode(const void* data, std::size_t count, char** output);

// The same encoding as a string, for callers that do not need to own a C buffer. Throws
// std::bad_alloc when the memory cannot be allocated.
std::string Base64EncodeText(const std::string& bytes);

}  // namespace dova
