#include "online/channel_rule.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "online/page_documents.h"
#include "online/web_address.h"
#include "platform/clock.h"
#include "platform/unicode_text.h"
#include "text/number_text.h"

namespace dova {

namespace {

// A caption longer than this is cut: the tray tip and the status bar show far less.
constexpr std::size_t kCaptionCharacters = 300;
const char kCaptionJoint[] = " \xE2\x80\x94 ";  // " — "

std::vector<std::string> SplitAt(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string::npos ? end : end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

bool ReadRule(const std::string& text, PageRule& rule, std::string& problem) {
  rule = PageRule();
  const std::string trimmed = Trim(text);
  if (trimmed.empty() || trimmed == "line") return true;
  if (trimmed == "feed") {
    rule.kind = RuleKind::Feed;
    return true;
  }
  bool first = true;
  for (std::string alternative : SplitAt(trimmed, '|')) {
    alternative = Trim(alternative);
    RuleKind kind = rule.kind;
    if (alternative.compare(0, 5, "json:") == 0) {
      kind = RuleKind::Json;
      alternative.erase(0, 5);
    } else if (alternative.compare(0, 4, "xml:") == 0) {
      kind = RuleKind::Xml;
      alternative.erase(0, 4);
    } else if (first) {
      problem = "\"" + trimmed + "\": a rule is line, feed, json:<pointer> or xml:<path>";
      return false;
    }
    if (!first && kind != rule.kind) {
      problem = "\"" + trimmed + "\": json and xml mixed in one rule";
      return false;
    }
    rule.kind = kind;
    first = false;
    const std::size_t equals = alternative.find('=');
    const std::string path = alternative.substr(0, equals);
    if (kind == RuleKind::Json ? !IsJsonPointer(path) : Trim(path).empty()) {
      problem = "\"" + trimmed + "\": \"" + path + "\" is no " +
                (kind == RuleKind::Json ? "JSON Pointer" : "XML path");
      return false;
    }
    if (equals == std::string::npos)
      rule.paths.push_back(path);
    else
      rule.conditions.emplace_back(path, alternative.substr(equals + 1));
  }
  if (rule.paths.empty() && !rule.conditions.empty()) {
    problem = "\"" + trimmed + "\": conditions without a place to find the text";
    return false;
  }
  return true;
}

// One line of well-formed UTF-8: runs of blanks and control characters become one space.
std::string CleanCaption(const std::string& text) {
  if (!IsValidUtf8(text)) return std::string();
  std::string clean;
  bool blank = false;
  for (char c : text) {
    if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7F) {
      blank = true;
      continue;
    }
    if (blank && !clean.empty()) clean += ' ';
    blank = false;
    clean += c;
  }
  const std::string cut = FirstCharacters(clean, kCaptionCharacters);
  return cut.size() < clean.size() ? cut + "\xE2\x80\xA6" : cut;  // "…"
}

// The parsed page, each kind parsed once when a rule asks for it.
class Page {
 public:
  explicit Page(const std::string& body) : body_(body) {}

  const JsonDocument* Json() {
    if (!jsonTried_) json_ = ParseJsonPage(body_, jsonProblem_), jsonTried_ = true;
    return json_.get();
  }
  const XmlDocument* Xml() {
    if (!xmlTried_) xml_ = ParseXmlPage(body_, xmlProblem_), xmlTried_ = true;
    return xml_.get();
  }
  std::string Problem(RuleKind kind) const {
    return kind == RuleKind::Json ? jsonProblem_ : xmlProblem_;
  }

  // The texts `rule` finds, in the order of its alternatives; nothing when the page does not
  // parse as the rule's kind.
  std::optional<std::vector<std::string>> Texts(const PageRule& rule) {
    std::vector<std::string> texts;
    if (rule.kind == RuleKind::Json) {
      const JsonDocument* json = Json();
      if (!json) return std::nullopt;
      for (const std::string& path : rule.paths)
        if (std::optional<std::string> text = json->String(path)) texts.push_back(*text);
    } else if (rule.kind == RuleKind::Xml) {
      const XmlDocument* xml = Xml();
      if (!xml) return std::nullopt;
      for (const std::string& path : rule.paths)
        if (std::optional<std::string> text = xml->Find(path)) texts.push_back(*text);
    } else if (rule.kind == RuleKind::Feed) {
      const XmlDocument* xml = Xml();
      if (!xml) return std::nullopt;
      const FeedItem item = xml->FirstFeedItem();
      if (!item.title.empty()) texts.push_back(item.title);
    }
    return texts;
  }

  // The first condition of `rule` that does not hold, as "path: value"; empty when all hold.
  std::string FailedCondition(const PageRule& rule) {
    for (const auto& [path, wanted] : rule.conditions) {
      std::optional<std::string> value;
      if (rule.kind == RuleKind::Json && Json())
        value = Json()->ValueText(path);
      else if (rule.kind == RuleKind::Xml && Xml())
        value = Xml()->Find(path);
      if (!value || Trim(*value) != wanted)
        return path + ": " + (value ? FirstCharacters(Trim(*value), 40) : std::string("-"));
    }
    return std::string();
  }

 private:
  const std::string& body_;
  bool jsonTried_ = false, xmlTried_ = false;
  std::unique_ptr<JsonDocument> json_;
  std::unique_ptr<XmlDocument> xml_;
  std::string jsonProblem_, xmlProblem_;
};

std::string FindCaption(const ChannelRules& rules, Page& page, const std::string& feedTitle) {
  std::string caption;
  const auto add = [&](const std::string& text) {
    const std::string clean = CleanCaption(text);
    if (clean.empty()) return;
    if (!caption.empty()) caption += kCaptionJoint;
    caption += clean;
  };
  if (rules.caption.empty()) {
    add(feedTitle);
  } else {
    for (const PageRule& part : rules.caption) {
      const std::optional<std::vector<std::string>> texts = page.Texts(part);
      if (!texts) continue;
      for (const std::string& text : *texts) {
        if (CleanCaption(text).empty()) continue;
        add(text);
        break;
      }
    }
  }
  return CleanCaption(caption);
}

}  // namespace

std::optional<ChannelRules> ReadChannelRules(const std::string& picture, const std::string& suffix,
                                             const std::string& caption, std::string& problem) {
  ChannelRules rules;
  if (!ReadRule(picture, rules.picture, problem)) return std::nullopt;
  for (const std::string& each : SplitAt(suffix, '|')) rules.suffixes.push_back(Trim(each));
  if (!Trim(caption).empty()) {
    for (const std::string& part : SplitAt(caption, ';')) {
      PageRule rule;
      if (!ReadRule(part, rule, problem)) return std::nullopt;
      if (rule.kind != RuleKind::Line) rules.caption.push_back(rule);
    }
  }
  return rules;
}

namespace {

// Every "{name}" of `text` replaced by `value`.
void ReplaceField(std::string& text, const char* field, const std::string& value) {
  const std::size_t length = std::strlen(field);
  for (std::size_t at = text.find(field); at != std::string::npos;
       at = text.find(field, at + value.size()))
    text.replace(at, length, value);
}

std::string Digits(const char* format, int value) {
  char text[16];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

std::string ExpandDateFields(const std::string& address, double utcDateTime) {
  int year, month, day;
  DecodeDate(utcDateTime, year, month, day);
  std::string result = address;
  ReplaceField(result, "{yyyy}", Digits("%04d", year));
  ReplaceField(result, "{mm}", Digits("%02d", month));
  ReplaceField(result, "{dd}", Digits("%02d", day));
  return result;
}

std::string ExpandScreenFields(const std::string& suffix, int width, int height) {
  std::string result = suffix;
  ReplaceField(result, "{width}", std::to_string(width));
  ReplaceField(result, "{height}", std::to_string(height));
  return result;
}

PageFindings ReadPageByRules(const ChannelRules& rules, const std::string& body,
                             const std::string& pageAddress) {
  PageFindings findings;
  if (body.size() > kRulePageLimit) {
    findings.detail = "the page is larger than " + std::to_string(kRulePageLimit) + " bytes";
    return findings;
  }
  Page page(body);
  const PageRule& rule = rules.picture;

  std::vector<std::string> found;
  std::string feedTitle;
  if (rule.kind == RuleKind::Feed) {
    const XmlDocument* xml = page.Xml();
    if (!xml) {
      findings.detail = page.Problem(RuleKind::Feed);
      return findings;
    }
    const FeedItem item = xml->FirstFeedItem();
    if (!item.isFeed) {
      findings.detail = "no RSS or Atom item";
      return findings;
    }
    feedTitle = item.title;
    if (item.picture.empty()) {
      findings.outcome = PageOutcome::NoPictureToday;
      findings.detail = "the feed's first item has no picture";
      findings.caption = FindCaption(rules, page, feedTitle);
      return findings;
    }
    found.push_back(item.picture);
  } else {
    const std::optional<std::vector<std::string>> texts = page.Texts(rule);
    if (!texts) {
      findings.detail = page.Problem(rule.kind);
      return findings;
    }
    const std::string failed = page.FailedCondition(rule);
    if (!failed.empty()) {
      findings.outcome = PageOutcome::NoPictureToday;
      findings.detail = failed;
      return findings;
    }
    found = *texts;
  }

  for (const std::string& text : found) {
    if (Trim(text).empty()) continue;
    for (const std::string& suffix : rules.suffixes) {
      const std::optional<std::string> address =
          ResolveWebAddress(pageAddress, Trim(text) + suffix);
      if (!address) continue;
      bool known = false;
      for (const std::string& picture : findings.pictures) known |= picture == *address;
      if (!known) findings.pictures.push_back(*address);
    }
  }
  if (findings.pictures.empty()) {
    findings.detail = "no usable picture address";
    return findings;
  }
  findings.outcome = PageOutcome::Picture;
  findings.caption = FindCaption(rules, page, feedTitle);
  return findings;
}

}  // namespace dova
