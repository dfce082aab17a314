#include "form/text_binding.h"

#include "form/commands.h"
#include "form/screens_setting.h"

namespace dova {

namespace {

// A label ends 6 pixels before the list it names, whatever the length of its text.
void PlaceLeftOf(AppContext& context, CaptionControl& label, const Control& list) {
  label.width = context.platform.text.TextWidth(label.caption);
  label.left = list.left - label.width - 6;
}

}  // namespace

void UpdateLanguage(AppContext& context) {
  FormModel& f = context.form;
  auto phrase = [&](const char* key) { return context.Phrase(key); };
  auto group = [&](const char* key) { return " " + context.Phrase(key) + " "; };

  f.TabSheet1.caption = phrase("pictureoftheday");
  f.TabSheet2.caption = phrase("fromlist");
  f.TabSheet3.caption = phrase("options");
  f.TabSheet4.caption = phrase("connectionoptions");
  f.CheckBox1.caption = phrase("onstartup");
  f.CheckBox2.caption = phrase("evrydayattime");
  f.CheckBox3.caption = phrase("startinsystemtray");
  f.CheckBox4.caption = phrase("proxy_use");
  f.CheckBox5.caption = phrase("proxy_auth");
  f.CheckBox6.caption = phrase("limitspeed");
  f.CheckBox7.caption = phrase("onstartup");
  f.CheckBox8.caption = phrase("startwithwindows");
  f.GroupBox1.caption = group("wallpaperchanging");
  f.GroupBox2.caption = group("proxy");
  f.GroupBox3.caption = group("imagesize");
  f.GroupBox4.caption = group("chanels");
  f.GroupBox5.caption = group("sequnce");
  f.GroupBox6.caption = group("wallpaperchanging");
  f.GroupBox7.caption = group("workingmode");
  f.GroupBox8.caption = group("commonoptions");
  f.RadioButton1.caption = phrase("imagesize_windows");
  f.RadioButton2.caption = phrase("imagesize_dova");
  f.RadioButton3.caption = phrase("imagesize_disable");
  f.RadioButton11.caption = phrase("imagesize_fill");
  f.RadioButton12.caption = phrase("imagesize_fit");
  f.ColorButton1.hint = phrase("imagesize_fitcolor");
  f.RadioButton4.caption = phrase("seq_queue");
  f.RadioButton5.caption = phrase("seq_random");
  f.RadioButton6.caption = phrase("attime");
  f.RadioButton7.caption = phrase("aftertime");
  f.RadioButton9.caption = phrase("pictureoftheday");
  f.RadioButton10.caption = phrase("fromlist");
  f.Label2.caption = phrase("proxy_server");
  f.Label3.caption = phrase("proxy_port");
  f.Label4.caption = phrase("proxy_login");
  f.Label5.caption = phrase("proxy_password");
  f.Label6.caption = phrase("maxfilesize");
  f.Label7.caption = phrase("kbytessec");
  f.Label8.caption = phrase("kbytes");
  f.Label9.caption = phrase("imagesize_filter");

  f.Label16.caption = phrase("language") + ":";
  f.Label17.caption = phrase("monitors") + ":";
  PlaceLeftOf(context, f.Label16, f.ComboBox10);
  PlaceLeftOf(context, f.Label9, f.ComboBox5);
  PlaceLeftOf(context, f.Label17, f.ComboBox11);
  // The entries change with the language; the choice stays.
  const int screens = f.ComboBox11.itemIndex;
  f.ComboBox11.items.clear();
  for (const char* key : kScreensPhrases) f.ComboBox11.items.push_back(phrase(key));
  f.ComboBox11.Select(screens);

  for (const Command& command : Commands()) {
    if (!command.phrase) continue;
    for (const char* button : command.buttons)
      if (button) static_cast<SpeedButton*>(f.Find(button))->hint = phrase(command.phrase);
    if (command.menu.item) f.MenuItemNamed(command.menu.item)->caption = phrase(command.phrase);
  }
  f.openDialogTitle = phrase("fileselecting");

  const std::string helpFile = phrase("helpfile");
  context.HelpFile = helpFile.empty() || helpFile == "default" ? context.DefaultHelpFile
                                                               : context.LanguagesDir + helpFile;
}

}  // namespace dova
