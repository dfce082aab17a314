#include "form/screens_setting.h"

namespace dova {

namespace {

constexpr struct {
  ScreensMode mode;
  const char* word;
} kWords[] = {
    {ScreensMode::Same, "same"}, {ScreensMode::Each, "each"}, {ScreensMode::Span, "span"}};

}  // namespace

ScreensMode ScreensModeOf(const FormModel& form) {
  const int index = form.ComboBox11.itemIndex;
  return index >= 0 && index < 3 ? kWords[index].mode : ScreensMode::Same;
}

void ShowScreensMode(FormModel& form, ScreensMode mode) {
  form.ComboBox11.Select(static_cast<int>(mode));
}

ScreensMode ScreensModeFromWord(const std::string& word) {
  for (const auto& entry : kWords)
    if (word == entry.word) return entry.mode;
  return ScreensMode::Same;
}

const char* ScreensModeWord(ScreensMode mode) { return kWords[static_cast<int>(mode)].word; }

}  // namespace dova
