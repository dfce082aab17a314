// A language file as a translator or a broken disk left it: its [Phrases] are read into the
// phrase table and bound to every caption, hint and title of the window. Every phrase must come
// back within the reader's 2,047 characters, and the binding must cope with any text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "form/text_binding.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_program.h"
#include "platform/ini_text.h"
#include "text/language_code_page.h"
#include "text/language_pack.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  dova::testing::TestApp& app = dova::FuzzProgram();
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string path = app.ctx().LanguagesDir + "Fuzz.ini";
  dova::WriteFuzzFile(path, bytes);

  dova::LanguagePack pack;
  pack.LoadPhrases(path);
  // The keys as the program reads them: from the decoded text, whose byte order mark is gone.
  const std::string text = dova::DecodeLanguageFile(bytes, "Fuzz");
  const std::vector<std::string> names = dova::IniText(text).KeyNames("Phrases");
  dova::FuzzCheck(pack.Size() <= names.size(), "more phrases than keys in [Phrases]");
  for (const std::string& name : names)
    dova::FuzzCheck(pack.GetPhrase(name).size() <= 2047, "a phrase longer than 2,047 characters");

  app.ctx().phrases = pack;
  dova::UpdateLanguage(app.ctx());
  return 0;
}
