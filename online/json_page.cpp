// JSON pages through nlohmann-json. Its parser is not recursive, but a page nested hundreds of
// levels deep is no channel's answer: the parse stops at kMaximumDepth.
#include <nlohmann/json.hpp>

#include "online/page_documents.h"

namespace dova {

namespace {

constexpr int kMaximumDepth = 64;

struct TooDeep {};

class NlohmannDocument : public JsonDocument {
 public:
  explicit NlohmannDocument(nlohmann::json value) : value_(std::move(value)) {}

  std::optional<std::string> String(const std::string& pointer) const override {
    const nlohmann::json* value = At(pointer);
    if (!value || !value->is_string()) return std::nullopt;
    return value->get<std::string>();
  }

  std::optional<std::string> ValueText(const std::string& pointer) const override {
    const nlohmann::json* value = At(pointer);
    if (!value) return std::nullopt;
    if (value->is_string()) return value->get<std::string>();
    return value->dump();  // a scalar, or a container no deeper than the parse allowed
  }

 private:
  const nlohmann::json* At(const std::string& pointer) const {
    if (!IsJsonPointer(pointer)) return nullptr;
    try {
      const nlohmann::json::json_pointer path(pointer);
      if (!value_.contains(path)) return nullptr;
      return &value_.at(path);
    } catch (const nlohmann::json::exception&) {
      return nullptr;  // "/01" as an array index, "/-"
    }
  }

  nlohmann::json value_;
};

}  // namespace

bool IsJsonPointer(const std::string& pointer) {
  if (!pointer.empty() && pointer[0] != '/') return false;
  for (std::size_t i = 0; i < pointer.size(); ++i)
    if (pointer[i] == '~' &&
        (i + 1 == pointer.size() || (pointer[i + 1] != '0' && pointer[i + 1] != '1')))
      return false;
  return true;
}

std::unique_ptr<JsonDocument> ParseJsonPage(const std::string& body, std::string& problem) {
  const auto depthGuard = [](int depth, nlohmann::json::parse_event_t, nlohmann::json&) {
    if (depth > kMaximumDepth) throw TooDeep();
    return true;
  };
  try {
    // Invalid UTF-8 in a string is a parse error of its own.
    return std::make_unique<NlohmannDocument>(nlohmann::json::parse(body, depthGuard));
  } catch (const TooDeep&) {
    problem = "JSON nested deeper than " + std::to_string(kMaximumDepth) + " levels";
  } catch (const nlohmann::json::exception& e) {
    problem = e.what();
  }
  return nullptr;
}

}  // namespace dova
