// A channel's JSON page (Bing, Wikipedia, APOD and the like) read by PICTURE, SUFFIX and CAPTION
// rules that the input also chooses: the parse must refuse hostile JSON without crashing, and
// what it finds must be safe to request and to show.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/rule_page_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  static const char* const kPictures[] = {
      "json:/url", "json:/media_type=image|json:/hdurl|json:/url",
      "json:/images/0/wp=true|json:/images/0/urlbase",
      "json:/image/image/source|json:/image/thumbnail/source", "json:|json:/~0/~1/0"};
  static const char* const kCaptions[] = {"", "json:/title;json:/copyright",
                                          "json:/image/description/text;json:/image/artist/text"};
  const std::string picture = kPictures[input.ConsumeIntegralInRange<int>(0, 4)];
  const std::string caption = kCaptions[input.ConsumeIntegralInRange<int>(0, 2)];
  const std::string suffix = input.ConsumeBool() ? "_UHD.jpg|_1920x1080.jpg" : "";
  const std::string body = input.ConsumeRemainingBytesAsString();

  std::string problem;
  const std::optional<dova::ChannelRules> rules =
      dova::ReadChannelRules(picture, suffix, caption, problem);
  dova::FuzzCheck(rules.has_value(), "a shipped kind of rule does not read: " + problem);
  dova::CheckPageFindings(dova::ReadPageByRules(*rules, body, "https://example.org/a/b?c"));
  return 0;
}
