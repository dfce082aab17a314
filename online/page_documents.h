// The parsed pages behind the channel rules: a JSON document read through nlohmann-json and an
// XML document read through pugixml, each refusing hostile input (nesting deeper than a real
// page needs, text that is not UTF-8) with a problem text instead of an exception.
#pragma once

#include <memory>
#include <optional>
#include <string>

namespace dova {

// Values of a JSON page.
class JsonDocument {
 public:
  virtual ~JsonDocument() = default;
  // The string at `pointer`; nothing when it is absent, not a string, or the pointer is invalid.
  virtual std::optional<std::string> String(const std::string& pointer) const = 0;
  // The value at `pointer` as text: a string as itself, anything else as its JSON text ("true",
  // "12", "null"); nothing when absent.
  virtual std::optional<std::string> ValueText(const std::string& pointer) const = 0;
};

// Null, with `problem` set, when `body` is not a JSON document within the limits.
std::unique_ptr<JsonDocument> ParseJsonPage(const std::string& body, std::string& problem);

// True when `pointer` is a JSON Pointer: empty, or "/" followed by reference tokens in which
// "~" is followed only by "0" or "1".
bool IsJsonPointer(const std::string& pointer);

// The first item of a feed.
struct FeedItem {
  bool isFeed = false;  // an RSS or Atom document with at least one item
  std::string picture;  // the picture's address as written, empty when the item has none
  std::string title;    // the item's title, empty when none
};

class XmlDocument {
 public:
  virtual ~XmlDocument() = default;
  // What `path` names: element names separated by "/" from the root element (a name without a
  // prefix also matches the element's local name), the first match at each level, ending in
  // "@attribute" or "/@attribute" for an attribute's value, else the element's text.
  virtual std::optional<std::string> Find(const std::string& path) const = 0;
  virtual FeedItem FirstFeedItem() const = 0;
};

// Null, with `problem` set, when `body` is not a well-formed XML document within the limits.
std::unique_ptr<XmlDocument> ParseXmlPage(const std::string& body, std::string& problem);

}  // namespace dova
