// What any page read by a channel rule must give, whatever it holds: picture addresses that can
// travel in a request line, and a caption of one line of UTF-8.
#pragma once

#include <string>

#include "fuzz/fuzz_check.h"
#include "online/channel_rule.h"
#include "platform/unicode_text.h"

namespace dova {

inline void CheckPageFindings(const PageFindings& found) {
  FuzzCheck((found.outcome == PageOutcome::Picture) == !found.pictures.empty(),
            "pictures without the outcome Picture, or the other way round");
  for (const std::string& address : found.pictures) {
    FuzzCheck(address.compare(0, 7, "http://") == 0 || address.compare(0, 8, "https://") == 0,
              "an address that is not http or https");
    for (char c : address)
      FuzzCheck(c > 0x20 && c < 0x7F, "a byte in an address that cannot travel in a request");
  }
  FuzzCheck(IsValidUtf8(found.caption), "a caption that is not UTF-8");
  for (char c : found.caption)
    FuzzCheck(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F, "a control byte in the caption");
}

}  // namespace dova
