#include "text/language_pack.h"

#include "platform/file_system.h"
#include "platform/ini_file.h"
#include "text/language_code_page.h"

namespace dova {

namespace {
constexpr std::size_t kKeyBlockBytes = 16384;
constexpr std::size_t kValueBuffer = 2048;

// "C:\Dova\Languages\Deutsch.ini" -> "Deutsch".
std::string LanguageNameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.size() >= 4) name.resize(name.size() - 4);
  return name;
}

}  // namespace

void LanguagePack::LoadPhrases(const std::string& path) {
  if (!FileExists(path)) return;
  TextCoding coding;
  const std::string language = LanguageNameOf(path);
  coding.decode = [language](const std::string& bytes) {
    return DecodeLanguageFile(bytes, language);
  };
  std::unique_ptr<IniFile> file = OpenCodedIniFile(path, std::move(coding));
  for (const std::string& key : file->ReadKeyNames("Phrases", kKeyBlockBytes))
    phrases_[key] = file->ReadString("Phrases", key, "", kValueBuffer);
}

std::string LanguagePack::GetPhrase(const std::string& key) const {
  auto found = phrases_.find(key);
  return found == phrases_.end() ? std::string() : found->second;
}

}  // namespace dova
