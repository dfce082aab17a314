#include "text/language_pack.h"

#include "platform/file_system.h"
#include "platform/ini_file.h"

namespace dova {

namespace {
constexpr std::size_t kKeyBlockBytes = 16384;
constexpr std::size_t kValueBuffer = 2048;
}  // namespace

void LanguagePack::LoadPhrases(const std::string& path) {
  if (!FileExists(path)) return;
  std::unique_ptr<IniFile> file = OpenIniFile(path);
  for (const std::string& key : file->ReadKeyNames("Phrases", kKeyBlockBytes))
    phrases_[key] = file->ReadString("Phrases", key, "", kValueBuffer);
}

std::string LanguagePack::GetPhrase(const std::string& key) const {
  auto found = phrases_.find(key);
  return found == phrases_.end() ? std::string() : found->second;
}

}  // namespace dova
