// Access to one INI file with the rules of the Windows private-profile functions
// (GetPrivateProfileStringA / WritePrivateProfileStringA): section and key names match without
// regard to case; a value comes back without surrounding blanks and without one pair of
// enclosing quotes, cut to the buffer size less one; a write replaces the key's value in place or
// appends the key to its section (appending the section when missing); every other line of the
// file is left as it was. The file is read anew by every call, as the system functions do.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace dova {

class IniFile {
 public:
  virtual ~IniFile() = default;

  // The value of [section] key, or `def` when the section or key is missing. At most
  // bufferSize - 1 characters come back.
  virtual std::string ReadString(const std::string& section, const std::string& key,
                                 const std::string& def, std::size_t bufferSize = 2048) = 0;

  // The key names of [section] in file order, as many as fit into a block of blockSize bytes
  // with a zero byte after each name.
  virtual std::vector<std::string> ReadKeyNames(const std::string& section,
                                                std::size_t blockSize) = 0;

  // False when the system refuses the write (read-only file, missing directory).
  virtual bool WriteString(const std::string& section, const std::string& key,
                           const std::string& value) = 0;

  virtual const std::string& Path() const = 0;
};

// The system's implementation for this build: the private-profile functions on Windows, the
// portable reader and writer elsewhere. Its texts are the file's bytes as they are. The program
// reads and writes its own files through OpenCodedIniFile (platform/stored_text.h, the language
// packs); this one is the measure the tests hold the portable reader and writer to.
std::unique_ptr<IniFile> OpenIniFile(const std::string& path);

// The portable implementation, on every system, on the file's bytes as they are.
std::unique_ptr<IniFile> OpenPortableIniFile(const std::string& path);

// How a file's bytes hold its text: `decode` gives the UTF-8 text of the bytes read, `encode`
// the bytes that store a whole text.
struct TextCoding {
  std::function<std::string(const std::string& bytes)> decode;
  std::function<std::string(const std::string& text)> encode;
};

// The portable implementation on the decoded text: names and values are UTF-8, a value is cut to
// bufferSize - 1 characters (not bytes), and every write stores the whole text anew through
// `encode`.
std::unique_ptr<IniFile> OpenCodedIniFile(const std::string& path, TextCoding coding);

}  // namespace dova
