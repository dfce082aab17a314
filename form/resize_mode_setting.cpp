#include "form/resize_mode_setting.h"

#include <cstdio>

namespace dova {

namespace {

struct ResizeModeChoice {
  ResizeMode mode;
  const char* word;
  const char* proportions;  // nullptr: Windows and none, which keep no proportions word
  RadioButton FormModel::*button;
};

constexpr ResizeModeChoice kChoices[] = {
    {ResizeMode::Windows, "windows", nullptr, &FormModel::RadioButton1},
    {ResizeMode::Program, "dova", "stretch", &FormModel::RadioButton2},
    {ResizeMode::None, "none", nullptr, &FormModel::RadioButton3},
    {ResizeMode::Fill, "dova", "fill", &FormModel::RadioButton11},
    {ResizeMode::Fit, "dova", "fit", &FormModel::RadioButton12},
};

}  // namespace

std::optional<ResizeMode> CheckedResizeMode(const FormModel& form) {
  for (const ResizeModeChoice& choice : kChoices)
    if ((form.*choice.button).checked) return choice.mode;
  return std::nullopt;
}

ResizeMode ResizeModeForChange(const FormModel& form) {
  return CheckedResizeMode(form).value_or(ResizeMode::Windows);
}

void ShowResizeMode(FormModel& form, std::optional<ResizeMode> mode) {
  for (const ResizeModeChoice& choice : kChoices)
    (form.*choice.button).checked = choice.mode == mode;
}

std::optional<ResizeMode> ResizeModeFromWords(const std::string& resize,
                                              const std::string& proportions) {
  for (const ResizeModeChoice& choice : kChoices)
    if (resize == choice.word && choice.proportions && proportions == choice.proportions)
      return choice.mode;
  for (const ResizeModeChoice& choice : kChoices)
    if (resize == choice.word) return choice.mode;  // the first of the word: the stretch
  return std::nullopt;
}

const char* ResizeModeWord(ResizeMode mode) {
  for (const ResizeModeChoice& choice : kChoices)
    if (choice.mode == mode) return choice.word;
  return "windows";
}

const char* ProportionsWord(ResizeMode mode) {
  for (const ResizeModeChoice& choice : kChoices)
    if (choice.mode == mode) return choice.proportions;
  return nullptr;
}

std::string ColorText(unsigned rgb) {
  char text[8];
  std::snprintf(text, sizeof text, "#%06X", rgb & 0xFFFFFFu);
  return text;
}

bool ParseColorText(const std::string& text, unsigned& rgb) {
  if (text.size() != 7 || text[0] != '#') return false;
  unsigned value = 0;
  for (std::size_t i = 1; i < text.size(); ++i) {
    const char c = text[i];
    const int digit = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                             : -1;
    if (digit < 0) return false;
    value = value * 16 + static_cast<unsigned>(digit);
  }
  rgb = value;
  return true;
}

}  // namespace dova
