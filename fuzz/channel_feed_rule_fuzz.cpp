// A channel's RSS or Atom feed, or another XML page read by an xml:<path> rule: the parse must
// refuse hostile XML (entities, deep nesting, bytes that are not UTF-8) without crashing, and
// what it finds must be safe to request and to show.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/rule_page_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  static const char* const kPictures[] = {"feed", "xml:images/image/wp=1|xml:images/image/urlBase",
                                          "xml:rss/channel/item/enclosure@url"};
  static const char* const kCaptions[] = {"", "xml:rss/channel/title", "feed;xml:feed/title"};
  const std::string picture = kPictures[input.ConsumeIntegralInRange<int>(0, 2)];
  const std::string caption = kCaptions[input.ConsumeIntegralInRange<int>(0, 2)];
  const std::string body = input.ConsumeRemainingBytesAsString();

  std::string problem;
  const std::optional<dova::ChannelRules> rules =
      dova::ReadChannelRules(picture, "", caption, problem);
  dova::FuzzCheck(rules.has_value(), "a shipped kind of rule does not read: " + problem);
  dova::CheckPageFindings(dova::ReadPageByRules(*rules, body, "http://example.org/feed.xml"));
  return 0;
}
