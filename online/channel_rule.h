// How a channel's page gives the address of the day's picture and its caption. A [SiteN]
// section may hold three keys besides URL, WPURL, IMAGE and ENABLED:
//
//   PICTURE  where the address is found:
//              absent or "line"      the whole body is one line holding the address;
//              "json:<pointer>"      the string at a JSON Pointer (RFC 6901);
//              "feed"                the first item of an RSS or Atom feed: an enclosure of an
//                                    image type, else the largest media:content, else an Atom
//                                    link rel="enclosure";
//              "xml:<path>"          element names separated by "/" from the root element,
//                                    ending in "@attribute" (or "/@attribute") or the text.
//            Alternatives are separated by "|" and tried in order ("json:/hdurl|json:/url"; the
//            kind may be left out after the first). An alternative "<pointer or path>=<value>"
//            is a condition instead: the page has no picture today unless the value found there
//            is <value> ("json:/media_type=image", "json:/images/0/wp=true").
//   SUFFIX   text appended to the address found; alternatives separated by "|" give further
//            addresses to try, in order ("_UHD.jpg|_{width}x{height}.jpg|_1920x1080.jpg"):
//            the next is tried when one is over the size limit or not there. "{width}" and
//            "{height}" are the primary screen's size in pixels.
//   CAPTION  rules of the same kinds for the picture's title or credit; several, separated by
//            ";", are joined by " — ". With PICTURE=feed the item's title is the default.
//
// Nothing here throws: a rule that does not read is a problem text, a page that does not match
// is a finding.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace dova {

enum class RuleKind { Line, Json, Feed, Xml };

// One PICTURE rule, or one part of CAPTION.
struct PageRule {
  RuleKind kind = RuleKind::Line;
  std::vector<std::string> paths;                               // JSON Pointers or XML paths
  std::vector<std::pair<std::string, std::string>> conditions;  // path, required value
};

struct ChannelRules {
  PageRule picture;
  std::vector<std::string> suffixes;  // at least one, possibly the empty text
  std::vector<PageRule> caption;      // empty: no caption (with a feed: the item's title)
};

// The channel's PICTURE, SUFFIX and CAPTION texts as stored (empty when absent). Nothing, with
// `problem` saying which value does not read, when one is malformed: an unknown kind, kinds
// mixed in one rule, a JSON Pointer that is not one, an empty XML path.
std::optional<ChannelRules> ReadChannelRules(const std::string& picture, const std::string& suffix,
                                             const std::string& caption, std::string& problem);

// The page of a JSON, feed or XML rule is read up to this many bytes of body; a larger one is
// refused. The one-line page keeps the fetcher's smaller limit.
constexpr std::size_t kRulePageLimit = 1024 * 1024;

// `address` with "{yyyy}", "{mm}" and "{dd}" replaced by the date of `utcDateTime` (four, two
// and two digits).
std::string ExpandDateFields(const std::string& address, double utcDateTime);

// `suffix` with "{width}" and "{height}" replaced by the screen's size.
std::string ExpandScreenFields(const std::string& suffix, int width, int height);

enum class PageOutcome {
  Picture,         // `pictures` holds at least one address
  NoPictureToday,  // the page says so: a condition does not hold, a feed item without a picture
  Refused          // the page is too large, does not parse, or the rule finds no usable address
};

struct PageFindings {
  PageOutcome outcome = PageOutcome::Refused;
  // Absolute http or https addresses, best first: each alternative found, with each suffix.
  std::vector<std::string> pictures;
  std::string caption;  // one line of UTF-8, possibly empty
  std::string detail;   // for the journal: why refused, or what said there is no picture
};

// Applies a JSON, feed or XML rule to the page's `body` (the bytes after the HTTP header);
// addresses found are resolved against `pageAddress`, the page's final address.
PageFindings ReadPageByRules(const ChannelRules& rules, const std::string& body,
                             const std::string& pageAddress);

}  // namespace dova
