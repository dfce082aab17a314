// The INI text reader and writer on arbitrary files and names. Whatever the text, a key written
// with WithValue must read back as written, every other key of the file must read as before,
// and writing the same value again must change nothing.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "platform/ini_text.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1a'; }

// The value as the reader gives it back: cut at a zero byte, without blanks around it.
std::string AsRead(std::string value) {
  value = value.substr(0, value.find('\0'));
  std::size_t first = 0, last = value.size();
  while (first < last && IsBlank(value[first])) ++first;
  while (last > first && IsBlank(value[last - 1])) --last;
  return value.substr(first, last - first);
}

// Names the file format can hold: not empty once trimmed, on one line, without the characters
// that end a name ("=" for keys, "]" for sections) and not taken for another kind of line.
bool WritableKey(const std::string& key) {
  const std::string name = dova::TrimProfileName(key);
  return !name.empty() && name.size() == key.size() &&
         name.find_first_of(std::string("=\r\n\0", 4)) == std::string::npos && name[0] != '[';
}

bool WritableSection(const std::string& section) {
  const std::string name = dova::TrimProfileName(section);
  return !name.empty() && name.size() == section.size() &&
         name.find_first_of(std::string("[]\r\n\0", 5)) == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string section = input.ConsumeRandomLengthString(24);
  const std::string key = input.ConsumeRandomLengthString(24);
  const std::string value = dova::OneLineValue(input.ConsumeRandomLengthString(48));
  const std::string text = input.ConsumeRemainingBytesAsString();

  const dova::IniText before(text);
  before.FindValue(section, key);
  for (const std::string& name : before.KeyNames(section))
    dova::FuzzCheck(!name.empty() && name[0] != ';', "a listed key name is empty or a comment");

  const std::string written = before.WithValue(section, key, value);
  if (!WritableSection(section) || !WritableKey(key)) return 0;
  const dova::IniText after(written);
  const std::string* read = after.FindValue(section, key);
  dova::FuzzCheck(read && *read == AsRead(value), "the written value does not read back");
  dova::FuzzCheck(after.WithValue(section, key, value) == written,
                  "writing the same value again changed the text");

  // Every other key of the written section, and of every section, reads as before.
  std::vector<std::string> sections = {section, ""};
  for (const std::string& line : {text}) {
    std::size_t at = 0;
    while ((at = line.find('[', at)) != std::string::npos && sections.size() < 16) {
      const std::size_t close = line.find(']', at);
      if (close == std::string::npos) break;
      sections.push_back(dova::TrimProfileName(line.substr(at + 1, close - at - 1)));
      at = close;
    }
  }
  for (const std::string& other : sections) {
    for (const std::string& name : before.KeyNames(other)) {
      if (dova::SameProfileName(dova::TrimProfileName(other), section) &&
          dova::SameProfileName(name, key))
        continue;
      const std::string* old = before.FindValue(other, name);
      const std::string* now = after.FindValue(other, name);
      dova::FuzzCheck((old == nullptr) == (now == nullptr) && (!old || *old == *now),
                      "writing [" + section + "] " + key + " changed [" + other + "] " + name);
    }
  }
  return 0;
}
