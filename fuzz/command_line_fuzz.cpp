// The command line as GetCommandLineA gives it: the program's name, quoted or not, and the
// arguments. The part after the name must be the end of the line without the blanks before it,
// and only "minimized" (with any blanks or control characters around it) keeps the window
// hidden.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "platform/command_line.h"

namespace {

std::string WithoutBlanksAround(const std::string& text) {
  std::size_t first = 0, last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
  return text.substr(first, last - first);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  const std::string tail = dova::CommandLineTail(line);
  dova::FuzzCheck(
      tail.size() <= line.size() && line.compare(line.size() - tail.size(), tail.size(), tail) == 0,
      "the arguments are not the end of the line");
  dova::FuzzCheck(tail.empty() || (tail[0] != ' ' && tail[0] != '\t'),
                  "the arguments start with a blank");
  if (!line.empty() && line[0] != '"') {
    const std::size_t nameEnd = line.find_first_of(" \t");
    dova::FuzzCheck(nameEnd != std::string::npos || tail.empty(),
                    "a name without a blank has arguments");
  }
  dova::FuzzCheck(dova::AsksToStartMinimized(tail) == (WithoutBlanksAround(tail) == "minimized"),
                  "\"minimized\" is not told right");
  return 0;
}
