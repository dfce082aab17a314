// XML pages through pugixml, built without XPath. Its parser expands only the five predefined
// entities and character references: a document type's own entities stay as written, so no
// "billion laughs" and no outside files.
#include <cctype>
#include <cstring>
#include <pugixml.hpp>
#include <vector>

#include "online/page_documents.h"
#include "text/number_text.h"

namespace dova {

namespace {

const char kMediaRss[] = "http://search.yahoo.com/mrss/";

const char* LocalName(const char* name) {
  const char* colon = std::strchr(name, ':');
  return colon ? colon + 1 : name;
}

bool IsNamed(const pugi::xml_node& node, const char* localName) {
  return node.type() == pugi::node_element && std::strcmp(LocalName(node.name()), localName) == 0;
}

pugi::xml_node FirstChildNamed(const pugi::xml_node& parent, const char* localName) {
  for (pugi::xml_node child : parent.children())
    if (IsNamed(child, localName)) return child;
  return pugi::xml_node();
}

// The namespace an element's prefix stands for, from the nearest declaration above it.
std::string NamespaceOf(const pugi::xml_node& node) {
  const std::string name = node.name();
  const std::size_t colon = name.find(':');
  const std::string attribute =
      colon == std::string::npos ? "xmlns" : "xmlns:" + name.substr(0, colon);
  for (pugi::xml_node at = node; at; at = at.parent())
    if (pugi::xml_attribute declared = at.attribute(attribute.c_str())) return declared.value();
  return std::string();
}

bool StartsWithNoCase(const std::string& text, const char* prefix) {
  const std::size_t length = std::strlen(prefix);
  if (text.size() < length) return false;
  for (std::size_t i = 0; i < length; ++i)
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  return true;
}

bool IsImageType(const pugi::xml_node& node) {
  return StartsWithNoCase(Trim(node.attribute("type").value()), "image/");
}

long long Number(const pugi::xml_node& node, const char* attribute) {
  return node.attribute(attribute).as_llong(0);
}

bool IsMediaContent(const pugi::xml_node& node) {
  if (!IsNamed(node, "content")) return false;
  const std::string space = NamespaceOf(node);
  if (space != kMediaRss && space + "/" != kMediaRss) return false;
  const pugi::xml_attribute medium = node.attribute("medium");
  if (medium) return std::strcmp(medium.value(), "image") == 0;
  return !node.attribute("type") || IsImageType(node);
}

// The largest picture among the item's media:content elements, also those in a media:group.
std::string LargestMediaContent(const pugi::xml_node& item) {
  std::string best;
  long long bestPixels = -1, bestBytes = -1;
  const auto consider = [&](const pugi::xml_node& node) {
    if (!IsMediaContent(node) || !*node.attribute("url").value()) return;
    const long long width = Number(node, "width"), height = Number(node, "height");
    const long long pixels =
        width > 0 && height > 0 && width < (1 << 20) && height < (1 << 20) ? width * height : 0;
    const long long bytes = Number(node, "fileSize");
    if (pixels > bestPixels || (pixels == bestPixels && bytes > bestBytes)) {
      best = node.attribute("url").value();
      bestPixels = pixels;
      bestBytes = bytes;
    }
  };
  for (pugi::xml_node child : item.children()) {
    consider(child);
    if (IsNamed(child, "group"))
      for (pugi::xml_node member : child.children()) consider(member);
  }
  return best;
}

std::string PictureOfItem(const pugi::xml_node& item) {
  for (pugi::xml_node child : item.children())
    if (IsNamed(child, "enclosure") && IsImageType(child) && *child.attribute("url").value())
      return child.attribute("url").value();
  std::string media = LargestMediaContent(item);
  if (!media.empty()) return media;
  for (pugi::xml_node child : item.children())
    if (IsNamed(child, "link") && std::strcmp(child.attribute("rel").value(), "enclosure") == 0 &&
        (!child.attribute("type") || IsImageType(child)) && *child.attribute("href").value())
      return child.attribute("href").value();
  return std::string();
}

class PugiDocument : public XmlDocument {
 public:
  std::optional<std::string> Find(const std::string& path) const override {
    std::vector<std::string> steps;
    std::size_t start = 0;
    while (start <= path.size()) {
      std::size_t end = path.find('/', start);
      if (end == std::string::npos) end = path.size();
      if (end > start) steps.push_back(path.substr(start, end - start));
      start = end + 1;
    }
    std::string attribute;
    if (!steps.empty()) {
      const std::size_t at = steps.back().find('@');
      if (at != std::string::npos) {
        attribute = steps.back().substr(at + 1);
        if (at == 0)
          steps.pop_back();
        else
          steps.back().erase(at);
      }
    }
    if (steps.empty()) return std::nullopt;
    pugi::xml_node node = document_;
    for (const std::string& step : steps) {
      pugi::xml_node next;
      for (pugi::xml_node child : node.children()) {
        if (child.type() != pugi::node_element) continue;
        if (step == child.name() ||
            (step.find(':') == std::string::npos && step == LocalName(child.name()))) {
          next = child;
          break;
        }
      }
      if (!next) return std::nullopt;
      node = next;
    }
    if (attribute.empty()) return std::string(node.text().get());
    const pugi::xml_attribute value = node.attribute(attribute.c_str());
    if (!value) return std::nullopt;
    return std::string(value.value());
  }

  FeedItem FirstFeedItem() const override {
    FeedItem result;
    const pugi::xml_node root = document_.document_element();
    pugi::xml_node item;
    if (IsNamed(root, "rss"))
      item = FirstChildNamed(FirstChildNamed(root, "channel"), "item");
    else if (IsNamed(root, "RDF"))  // RSS 1.0: the items stand beside the channel
      item = FirstChildNamed(root, "item");
    else if (IsNamed(root, "feed"))
      item = FirstChildNamed(root, "entry");
    if (!item) return result;
    result.isFeed = true;
    result.picture = PictureOfItem(item);
    result.title = FirstChildNamed(item, "title").text().get();
    return result;
  }

  pugi::xml_document document_;
};

}  // namespace

std::unique_ptr<XmlDocument> ParseXmlPage(const std::string& body, std::string& problem) {
  auto page = std::make_unique<PugiDocument>();
  const pugi::xml_parse_result parsed = page->document_.load_buffer(
      body.data(), body.size(), pugi::parse_default, pugi::encoding_auto);
  if (!parsed) {
    problem =
        std::string("XML: ") + parsed.description() + " at offset " + std::to_string(parsed.offset);
    return nullptr;
  }
  if (!page->document_.document_element()) {
    problem = "XML: no root element";
    return nullptr;
  }
  return page;
}

}  // namespace dova
