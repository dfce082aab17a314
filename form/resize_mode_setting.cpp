#include "form/resize_mode_setting.h"

namespace dova {

namespace {

struct ResizeModeChoice {
  ResizeMode mode;
  const char* word;
  RadioButton FormModel::*button;
};

constexpr ResizeModeChoice kChoices[] = {
    {ResizeMode::Windows, "windows", &FormModel::RadioButton1},
    {ResizeMode::Program, "dova", &FormModel::RadioButton2},
    {ResizeMode::None, "none", &FormModel::RadioButton3},
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
  for (const ResizeModeChoice& choice : kChoices) (form.*choice.button).checked = choice.mode == mode;
}

std::optional<ResizeMode> ResizeModeFromWord(const std::string& word) {
  for (const ResizeModeChoice& choice : kChoices)
    if (word == choice.word) return choice.mode;
  return std::nullopt;
}

const char* ResizeModeWord(ResizeMode mode) {
  for (const ResizeModeChoice& choice : kChoices)
    if (choice.mode == mode) return choice.word;
  return "windows";
}

}  // namespace dova
