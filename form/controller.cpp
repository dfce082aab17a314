#include "form/controller.h"

#include <map>
#include <vector>

#include "form/commands.h"
#include "form/resize_mode_setting.h"

namespace dova {

void UpdateControls(AppContext& context) {
  FormModel& f = context.form;

  f.ComboBox1.enabled = f.ComboBox2.enabled = f.CheckBox2.checked;

  if (f.CheckBox4.checked) {
    f.CheckBox5.enabled = f.Edit1.enabled = f.Edit2.enabled = true;
    f.Edit3.enabled = f.Edit4.enabled = f.CheckBox5.checked;
  } else {
    f.CheckBox5.enabled = f.Edit1.enabled = f.Edit2.enabled = false;
    f.Edit3.enabled = f.Edit4.enabled = false;
  }

  f.ComboBox4.enabled = f.CheckBox6.checked;
  const std::optional<ResizeMode> resize = CheckedResizeMode(f);
  f.ComboBox5.enabled = resize && ResizesByProgram(*resize);
  f.ColorButton1.enabled = resize == ResizeMode::Fit;

  UpdateCommands(context);

  const bool atTime = f.RadioButton6.checked;
  f.ComboBox6.enabled = f.ComboBox7.enabled = atTime;
  f.ComboBox8.enabled = f.ComboBox9.enabled = !atTime;
}

void RadioButton9Click(AppContext& context) {
  FormModel& f = context.form;
  f.TabSheet1.highlighted = f.RadioButton9.checked;
  f.TabSheet2.highlighted = !f.RadioButton9.checked;
}

std::string HelpTopic(int pageIndex, const std::string& controlName) {
  struct Page {
    const char* topic;
    std::map<std::string, const char*> controls;
  };
  static const std::vector<Page> pages = {
      {"online.htm",
       {{"StringGrid1", "chanels.htm"},
        {"CheckBox1", "change.htm"},
        {"CheckBox2", "change.htm"},
        {"ComboBox1", "change.htm"},
        {"ComboBox2", "change.htm"}}},
      {"offline.htm",
       {{"FileGrid", "list.htm"},
        {"RadioButton4", "random.htm"},
        {"RadioButton5", "random.htm"},
        {"RadioButton6", "shedulle.htm"},
        {"RadioButton7", "shedulle.htm"},
        {"ComboBox6", "shedulle.htm"},
        {"ComboBox7", "shedulle.htm"},
        {"ComboBox8", "shedulle.htm"},
        {"ComboBox9", "shedulle.htm"}}},
      {"config.htm",
       {{"RadioButton1", "resize.htm"},
        {"RadioButton2", "resize.htm"},
        {"RadioButton3", "resize.htm"},
        {"RadioButton11", "resize.htm"},
        {"RadioButton12", "resize.htm"},
        {"ColorButton1", "resize.htm"},
        {"ComboBox5", "resize.htm"},
        {"ComboBox11", "monitors.htm"},
        {"RadioButton9", "modes.htm"},
        {"RadioButton10", "modes.htm"},
        {"CheckBox3", "intray.htm"},
        {"CheckBox8", "intray.htm"}}},
      {"netconfig.htm",
       {{"CheckBox4", "proxy.htm"},
        {"CheckBox5", "proxy.htm"},
        {"Edit1", "proxy.htm"},
        {"Edit2", "proxy.htm"},
        {"Edit3", "proxy.htm"},
        {"Edit4", "proxy.htm"},
        {"ComboBox3", "maxfilesize.htm"},
        {"CheckBox6", "speed.htm"},
        {"ComboBox4", "speed.htm"}}},
  };
  if (pageIndex < 0 || pageIndex >= static_cast<int>(pages.size())) return "default.htm";
  const Page& page = pages[pageIndex];
  auto found = page.controls.find(controlName);
  if (found != page.controls.end()) return found->second;
  const Command* command = CommandOfButton(controlName);
  return command && command->topic ? command->topic : page.topic;
}

std::string HelpAddress(const AppContext& context, const std::string& topic) {
  return context.HelpFile + "::/HTML/" + topic + ">main";
}

}  // namespace dova
