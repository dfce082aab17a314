#include "text/language_code_page.h"

#include <cctype>
#include <map>

#include "platform/code_page.h"
#include "platform/unicode_text.h"

namespace dova {

namespace {

std::string LowerAscii(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

const std::map<std::string, unsigned>& Languages() {
  static const std::map<std::string, unsigned> languages = [] {
    std::map<std::string, unsigned> table;
    const auto add = [&](unsigned codePage, std::initializer_list<const char*> names) {
      for (const char* name : names) table[LowerAscii(name)] = codePage;
    };
    add(1252, {"English", "German", "Deutsch", "French", "Français", "Francais", "Spanish",
               "Español", "Espanol", "Italian", "Italiano", "Portuguese", "Português",
               "Portugues", "Dutch", "Nederlands", "Swedish", "Svenska", "Norwegian", "Norsk",
               "Danish", "Dansk", "Finnish", "Suomi", "Icelandic", "Íslenska", "Catalan",
               "Català", "Galician", "Galego", "Basque", "Euskara", "Irish", "Gaeilge",
               "Afrikaans", "Indonesian", "Malay", "Swahili"});
    add(1251, {"Russian", "Русский", "Ukrainian", "Українська", "Belarusian", "Беларуская",
               "Bulgarian", "Български", "Serbian", "Српски", "Macedonian", "Македонски",
               "Kazakh", "Қазақша", "Kyrgyz", "Tatar", "Mongolian", "Монгол", "Bashkir"});
    add(1250, {"Polish", "Polski", "Czech", "Čeština", "Cesky", "Slovak", "Slovenčina",
               "Hungarian", "Magyar", "Slovenian", "Slovene", "Slovenščina", "Croatian",
               "Hrvatski", "Romanian", "Română", "Albanian", "Shqip", "Bosnian", "Bosanski"});
    add(1253, {"Greek", "Ελληνικά"});
    add(1254, {"Turkish", "Türkçe", "Turkce", "Azerbaijani", "Azeri", "Uzbek"});
    add(1255, {"Hebrew", "עברית"});
    add(1256, {"Arabic", "العربية", "Persian", "Farsi", "فارسی", "Urdu", "اردو"});
    add(1257, {"Estonian", "Eesti", "Latvian", "Latviešu", "Lithuanian", "Lietuvių"});
    add(1258, {"Vietnamese", "Tiếng Việt"});
    add(874, {"Thai", "ไทย"});
    add(932, {"Japanese", "日本語"});
    add(936, {"Chinese", "ChineseSimplified", "简体中文", "中文"});
    add(950, {"ChineseTraditional", "繁體中文"});
    add(949, {"Korean", "한국어"});
    return table;
  }();
  return languages;
}

}  // namespace

unsigned LanguageCodePage(const std::string& languageName) {
  const std::map<std::string, unsigned>& languages = Languages();
  const std::string name = LowerAscii(languageName);
  auto found = languages.find(name);
  if (found != languages.end()) return found->second;
  // "Portuguese (Brazil)", "Chinese_Traditional": the first word; "Chinese Traditional" and
  // its kin keep their second word.
  std::string joined;
  for (const char c : name)
    if (c != ' ' && c != '_' && c != '-') joined += c;
  found = languages.find(joined);
  if (found != languages.end()) return found->second;
  const std::size_t end = name.find_first_of(" _-(.0123456789");
  if (end != std::string::npos) {
    found = languages.find(name.substr(0, end));
    if (found != languages.end()) return found->second;
  }
  return 0;
}

std::string DecodeLanguageFile(const std::string& bytes, const std::string& languageName) {
  if (std::optional<std::string> text = TextAfterByteOrderMark(bytes)) return *text;
  if (IsValidUtf8(bytes)) return bytes;
  const unsigned codePage = LanguageCodePage(languageName);
  return CodePageToUtf8(bytes, codePage != 0 ? codePage : AnsiCodePage());
}

}  // namespace dova
