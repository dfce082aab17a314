// The parts of the file layer that need nothing but OpenFile: the same on every system.
#include <cstdio>
#include <string>

#include "platform/file_system.h"

namespace dova {

bool ReadWholeFile(const std::string& path, std::string& contents) {
  std::FILE* file = OpenFile(path, "rb");
  if (!file) return false;
  std::string data;
  char chunk[65536];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) data.append(chunk, got);
  const bool ok = !std::ferror(file);
  std::fclose(file);
  if (ok) contents.swap(data);
  return ok;
}

}  // namespace dova
