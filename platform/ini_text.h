// The text of one INI file seen as the Windows private-profile functions see it: lines end in
// CR LF, LF or CR; a line whose first non-blank character is "[" and that holds a "]" opens a
// section named by the text between "[" and the last "]"; a line holding "=" is a key, named by
// the text before the first "=" and valued by the text after it; any other line is a key
// without a value, named by its whole text: it reads as missing and is not listed, but it hides
// later keys of its name, and a write of its name gives it the value in place.
// Names and values lose surrounding blanks (space, tab, vertical tab, form feed and the DOS end
// of file mark 0x1A) and end at a zero byte. Lines before the first section header form a
// section with the empty name. A UTF-8 byte order mark at the start of the file is skipped.
//
// Only the first section of a name counts; within it, only the first key of a name.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace dova {

class IniText {
 public:
  explicit IniText(std::string text);

  const std::string& Text() const { return text_; }

  // The value of the first key `key` of the first section `section` (names compared without
  // regard to ASCII case, after dropping their surrounding blanks). Null when there is none or
  // that key has no value.
  const std::string* FindValue(const std::string& section, const std::string& key) const;

  // Every key name of the first section `section` in file order, leaving out empty names and
  // names that start with ";" (comments). Empty when the section is missing.
  std::vector<std::string> KeyNames(const std::string& section) const;

  // The text with [section] key set to `value`: the first line of that key replaced by
  // "key=value" (the file's spelling of the key kept), or a new line after the section's last non-blank line, or
  // a new section at the end of the text. Every other byte stays as it was; new lines end as the
  // file's first line does, CR LF when it has none.
  std::string WithValue(const std::string& section, const std::string& key,
                        const std::string& value) const;

 private:
  enum class Kind { kBlank, kSection, kKey, kBare };  // kBare: a line without "="
  struct Line {
    std::size_t begin = 0;  // first byte of the line
    std::size_t end = 0;    // one past its last byte before the line end
    std::size_t next = 0;   // first byte of the next line
    Kind kind = Kind::kBlank;
    std::string name;       // section or key name
    std::string value;      // key value
  };
  struct Section {
    std::string name;
    std::size_t header = 0;     // index of the header line; == first for the unnamed section
    std::size_t first = 0;      // first line after the header
    std::size_t end = 0;        // one past the section's last line
  };

  const Section* FindSection(const std::string& name) const;
  const Line* FindKey(const Section& section, const std::string& key) const;
  std::string LineEnd() const;

  std::string text_;
  std::vector<Line> lines_;
  std::vector<Section> sections_;
};

// The value as GetPrivateProfileStringA returns it: one pair of matching enclosing quotes
// (double or single) dropped, then cut to bufferSize - 1 characters.
std::string ProfileValue(const std::string& value, std::size_t bufferSize);

// The default as GetPrivateProfileStringA returns it: trailing blanks dropped, then cut to
// bufferSize - 1 characters.
std::string ProfileDefault(const std::string& def, std::size_t bufferSize);

// The key names that fit into a block of blockSize bytes holding each name followed by a zero
// byte and one more zero byte at the end; a name that would be cut is left out.
std::vector<std::string> NamesFittingBlock(const std::vector<std::string>& names,
                                           std::size_t blockSize);

// A value as it can be stored on one line: cut at the first CR, LF or zero byte, which would
// otherwise end the line and start a line of their own.
std::string OneLineValue(const std::string& value);

// True when the two names are equal without regard to ASCII case; bytes from 0x80 up are
// compared as they are.
bool SameProfileName(const std::string& a, const std::string& b);

// The name without its surrounding blanks.
std::string TrimProfileName(const std::string& name);

}  // namespace dova
