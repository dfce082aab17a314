// The phrase table: every text the program shows or logs, looked up by a fixed lower-case key,
// filled from the [Phrases] sections of language files ("Languages\English.ini", ...).
#pragma once

#include <map>
#include <string>

namespace dova {

class LanguagePack {
 public:
  // Merges the [Phrases] section of one language file into the table: each key it holds
  // replaces the text stored under that key; other keys keep theirs. A missing file changes
  // nothing. Key names are fetched in one 16,384-byte block, values cut to 2,047 characters,
  // as the private-profile reader gives them. The file may be UTF-8 or in the code page of its
  // language (text/language_code_page.h); the table holds UTF-8.
  void LoadPhrases(const std::string& path);

  // The text stored under exactly `key` (byte for byte, case-sensitive), "" when absent.
  std::string GetPhrase(const std::string& key) const;

  std::size_t Size() const { return phrases_.size(); }

 private:
  std::map<std::string, std::string> phrases_;  // std::string orders bytes as unsigned
};

}  // namespace dova
