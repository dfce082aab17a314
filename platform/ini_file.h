// Access to one INI file with the rules of the Windows private-profile functions
// (GetPrivateProfileStringA / WritePrivateProfileStringA): section and key names match without
// regard to case; a value comes back without surrounding blanks and without one pair of
// enclosing quotes, cut to the buffer size less one; a write replaces the key's value in place or
// appends the key to its section (appending the section when missing); every other line of the
// file is left as it was. The file is read anew by every call, as the system functions do.
#pragma once

#include <cstddef>
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
// portable reader and writer elsewhere.
std::unique_ptr<IniFile> OpenIniFile(const std::string& path);

// The portable implementation, on every system (tests compare it with the system's).
std::unique_ptr<IniFile> OpenPortableIniFile(const std::string& path);

}  // namespace dova
