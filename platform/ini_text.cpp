#include "platform/ini_text.h"

#include <cstring>
#include <utility>

namespace dova {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1a';
}

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Text between `begin` and `end` without surrounding blanks, cut at a zero byte.
std::string Trimmed(const std::string& text, std::size_t begin, std::size_t end) {
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  std::string result = text.substr(begin, end - begin);
  const std::size_t zero = result.find('\0');
  if (zero != std::string::npos) {
    result.resize(zero);
    while (!result.empty() && IsBlank(result.back())) result.pop_back();
  }
  return result;
}

const char kUtf8Bom[] = "\xEF\xBB\xBF";

}  // namespace

IniText::IniText(std::string text) : text_(std::move(text)) {
  Section unnamed;
  sections_.push_back(unnamed);
  std::size_t pos = text_.compare(0, 3, kUtf8Bom) == 0 ? 3 : 0;
  while (pos < text_.size()) {
    Line line;
    line.begin = pos;
    std::size_t end = pos;
    while (end < text_.size() && text_[end] != '\n' && text_[end] != '\r') ++end;
    line.end = end;
    if (end < text_.size()) {
      line.next = end + 1;
      if (text_[end] == '\r' && line.next < text_.size() && text_[line.next] == '\n') ++line.next;
    } else {
      line.next = end;
    }
    pos = line.next;

    std::size_t b = line.begin, e = line.end;
    while (b < e && IsBlank(text_[b])) ++b;
    while (e > b && IsBlank(text_[e - 1])) --e;
    const std::size_t index = lines_.size();
    if (b == e) {
      line.kind = Kind::kBlank;
    } else {
      // Searches stay within the line: a file of long lines without "=" reads in linear time.
      std::size_t close = e;
      if (text_[b] == '[')
        while (close > b + 1 && text_[close - 1] != ']') --close;
      const char* equalsAt =
          static_cast<const char*>(std::memchr(text_.data() + b, '=', e - b));
      if (text_[b] == '[' && close > b + 1) {
        line.kind = Kind::kSection;
        line.name = Trimmed(text_, b + 1, close - 1);
        sections_.back().end = index;
        Section section;
        section.name = line.name;
        section.header = index;
        section.first = index + 1;
        sections_.push_back(section);
      } else if (equalsAt) {
        const std::size_t equals = static_cast<std::size_t>(equalsAt - text_.data());
        line.kind = Kind::kKey;
        line.name = Trimmed(text_, b, equals);
        line.value = Trimmed(text_, equals + 1, e);
      } else {
        line.kind = Kind::kBare;
        line.name = Trimmed(text_, b, e);
      }
    }
    lines_.push_back(std::move(line));
  }
  sections_.back().end = lines_.size();
}

const IniText::Section* IniText::FindSection(const std::string& name) const {
  const std::string wanted = TrimProfileName(name);
  for (const Section& section : sections_)
    if (SameProfileName(section.name, wanted)) return &section;
  return nullptr;
}

const IniText::Line* IniText::FindKey(const Section& section, const std::string& key) const {
  const std::string wanted = TrimProfileName(key);
  for (std::size_t i = section.first; i < section.end; ++i)
    if ((lines_[i].kind == Kind::kKey || lines_[i].kind == Kind::kBare) &&
        SameProfileName(lines_[i].name, wanted))
      return &lines_[i];
  return nullptr;
}

const std::string* IniText::FindValue(const std::string& section, const std::string& key) const {
  const Section* found = FindSection(section);
  if (!found) return nullptr;
  const Line* line = FindKey(*found, key);
  return line && line->kind == Kind::kKey ? &line->value : nullptr;
}

std::vector<std::string> IniText::KeyNames(const std::string& section) const {
  std::vector<std::string> names;
  const Section* found = FindSection(section);
  if (!found) return names;
  for (std::size_t i = found->first; i < found->end; ++i) {
    const Line& line = lines_[i];
    if (line.kind == Kind::kKey && !line.name.empty() && line.name[0] != ';')
      names.push_back(line.name);
  }
  return names;
}

std::string IniText::LineEnd() const {
  for (const Line& line : lines_)
    if (line.next > line.end) return line.next - line.end == 1 && text_[line.end] == '\n' ? "\n" : "\r\n";
  return "\r\n";
}

std::string IniText::WithValue(const std::string& section, const std::string& key,
                               const std::string& value) const {
  const std::string eol = LineEnd();
  const std::string keyName = TrimProfileName(key);
  const Section* found = FindSection(section);
  if (!found) {
    std::string result = text_;
    if (!result.empty() && result.back() != '\n' && result.back() != '\r') result += eol;
    return result + "[" + TrimProfileName(section) + "]" + eol + keyName + "=" + value + eol;
  }
  if (const Line* line = FindKey(*found, key)) {
    return text_.substr(0, line->begin) + line->name + "=" + value + text_.substr(line->end);
  }
  // After the section's last non-blank line, so that blank lines before the next section stay
  // where they are; right after the header of an empty section.
  std::size_t after = found->header;  // for the unnamed section: nothing before it
  bool hasLine = found->header < found->first;
  for (std::size_t i = found->first; i < found->end; ++i) {
    if (lines_[i].kind != Kind::kBlank) {
      after = i;
      hasLine = true;
    }
  }
  const std::string entry = keyName + "=" + value + eol;
  if (!hasLine) {
    // The unnamed section without lines: the key goes first, after a byte order mark.
    const std::size_t start = text_.compare(0, 3, kUtf8Bom) == 0 ? 3 : 0;
    return text_.substr(0, start) + entry + text_.substr(start);
  }
  const Line& last = lines_[after];
  if (last.next == last.end) return text_ + eol + entry;  // last line without a line end
  return text_.substr(0, last.next) + entry + text_.substr(last.next);
}

std::string ProfileValue(const std::string& value, std::size_t bufferSize) {
  std::string result = value;
  if (result.size() >= 2 && (result[0] == '"' || result[0] == '\'') &&
      result.back() == result[0])
    result = result.substr(1, result.size() - 2);
  if (bufferSize == 0) return std::string();
  if (result.size() > bufferSize - 1) result.resize(bufferSize - 1);
  return result;
}

std::string ProfileDefault(const std::string& def, std::size_t bufferSize) {
  std::string result = def.substr(0, std::strlen(def.c_str()));
  while (!result.empty() && result.back() == ' ') result.pop_back();
  if (bufferSize == 0) return std::string();
  if (result.size() > bufferSize - 1) result.resize(bufferSize - 1);
  return result;
}

std::vector<std::string> NamesFittingBlock(const std::vector<std::string>& names,
                                           std::size_t blockSize) {
  std::vector<std::string> result;
  std::size_t used = 1;  // the zero byte that closes the block
  for (const std::string& name : names) {
    if (used + name.size() + 1 > blockSize) break;
    used += name.size() + 1;
    result.push_back(name);
  }
  return result;
}

std::string OneLineValue(const std::string& value) {
  const std::size_t stop = value.find_first_of(std::string("\r\n\0", 3));
  return stop == std::string::npos ? value : value.substr(0, stop);
}

bool SameProfileName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  return true;
}

std::string TrimProfileName(const std::string& name) { return Trimmed(name, 0, name.size()); }

}  // namespace dova
