// Outside Windows the portable reader and writer is the system's implementation.
#include "platform/ini_file.h"

namespace dova {

std::unique_ptr<IniFile> OpenIniFile(const std::string& path) { return OpenPortableIniFile(path); }

}  // namespace dova
