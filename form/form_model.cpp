#include "form/form_model.h"

#include <algorithm>
#include <cstdio>

#include "form/commands.h"

namespace dova {

namespace {

std::vector<std::string> NumberItems(int from, int to) {
  std::vector<std::string> items;
  for (int i = from; i <= to; ++i) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", i);
    items.push_back(text);
  }
  return items;
}

CaptionControl Group(const char* name, const char* parent, int l, int t, int w, int h,
                     const std::string& caption) {
  CaptionControl c(ControlKind::kGroupBox, name, parent, l, t, w, h);
  c.caption = caption;
  return c;
}

CaptionControl Label(const char* name, const char* parent, int l, int t, int w,
                     const std::string& text) {
  CaptionControl c(ControlKind::kLabel, name, parent, l, t, w, 13);
  c.caption = text;
  return c;
}

}  // namespace

void FileGridControl::SetRowCount(int count) {
  rows.resize(static_cast<std::size_t>(std::max(count, 1)));
  ClampSelection();
}

void FileGridControl::SelectRows(int top, int bottom) {
  const int last = RowCount() - 1;
  selTop = std::clamp(std::min(top, bottom), 0, last);
  selBottom = std::clamp(std::max(top, bottom), 0, last);
}

void FileGridControl::ScrollTo(int row) {
  topRow = std::clamp(row, 0, std::max(0, RowCount() - visibleRows));
}

void FileGridControl::ClampSelection() {
  const int last = RowCount() - 1;
  selBottom = std::clamp(selBottom, 0, last);
  selTop = std::clamp(selTop, 0, selBottom);
  topRow = std::clamp(topRow, 0, std::max(0, RowCount() - visibleRows));
}

// The design: places are in the parent's client area, in pixels at 96 dpi.
FormModel::FormModel()
    : GroupBox4(Group("GroupBox4", "TabSheet1", 6, 2, 189, 189, " Каналы ")),
      GroupBox1(Group("GroupBox1", "TabSheet1", 202, 2, 255, 97, " Смена фоновой картинки ")),
      StringGrid1("GroupBox4", 8, 16, 173, 165),
      CheckBox1("CheckBox1", "GroupBox1", 12, 20, 236, 17),
      CheckBox2("CheckBox2", "GroupBox1", 12, 42, 236, 17),
      ComboBox1("ComboBox1", "GroupBox1", 30, 64, 45, 21),
      ComboBox2("ComboBox2", "GroupBox1", 88, 64, 45, 21),
      Label1(Label("Label1", "GroupBox1", 79, 68, 6, ":")),
      SpeedButton10("SpeedButton10", "TabSheet1", 208, 106),
      FileGrid("TabSheet2", 6, 4, 283, 158),
      SpeedButton7("SpeedButton7", "TabSheet2", 6, 166),
      SpeedButton1("SpeedButton1", "TabSheet2", 36, 166),
      SpeedButton2("SpeedButton2", "TabSheet2", 60, 166),
      SpeedButton3("SpeedButton3", "TabSheet2", 90, 166),
      SpeedButton4("SpeedButton4", "TabSheet2", 114, 166),
      SpeedButton8("SpeedButton8", "TabSheet2", 144, 166),
      SpeedButton9("SpeedButton9", "TabSheet2", 174, 166),
      SpeedButton5("SpeedButton5", "TabSheet2", 240, 166),
      SpeedButton6("SpeedButton6", "TabSheet2", 264, 166),
      GroupBox5(Group("GroupBox5", "TabSheet2", 296, 2, 161, 62, " Порядок выбора ")),
      GroupBox6(Group("GroupBox6", "TabSheet2", 296, 66, 161, 124, " Расписание ")),
      RadioButton4("RadioButton4", "GroupBox5", 10, 18, 145, 17),
      RadioButton5("RadioButton5", "GroupBox5", 10, 38, 145, 17),
      CheckBox7("CheckBox7", "GroupBox6", 10, 18, 145, 17),
      RadioButton6("RadioButton6", "GroupBox6", 10, 38, 145, 17),
      RadioButton7("RadioButton7", "GroupBox6", 10, 78, 145, 17),
      ComboBox6("ComboBox6", "GroupBox6", 26, 56, 45, 21),
      ComboBox7("ComboBox7", "GroupBox6", 84, 56, 45, 21),
      ComboBox8("ComboBox8", "GroupBox6", 26, 96, 45, 21),
      ComboBox9("ComboBox9", "GroupBox6", 84, 96, 45, 21),
      Label10(Label("Label10", "GroupBox6", 75, 60, 6, ":")),
      Label11(Label("Label11", "GroupBox6", 75, 100, 6, ":")),
      GroupBox3(Group("GroupBox3", "TabSheet3", 6, 2, 451, 106, "Размер изображения")),
      GroupBox7(Group("GroupBox7", "TabSheet3", 6, 112, 180, 78, " Режим работы ")),
      GroupBox8(Group("GroupBox8", "TabSheet3", 192, 112, 265, 78, " Общие настройки ")),
      // Five resize modes in rows of 17 pixels; the filter list beside the last two.
      RadioButton1("RadioButton1", "GroupBox3", 12, 15, 430, 17),
      RadioButton2("RadioButton2", "GroupBox3", 12, 32, 430, 17),
      RadioButton3("RadioButton3", "GroupBox3", 12, 49, 200, 17),
      RadioButton11("RadioButton11", "GroupBox3", 12, 66, 168, 17),
      RadioButton12("RadioButton12", "GroupBox3", 12, 83, 138, 17),
      ColorButton1("ColorButton1", "GroupBox3", 152, 82, 28, 19),
      Label9(Label("Label9", "GroupBox3", 180, 75, 120, "Использовать фильтр:")),
      ComboBox5("ComboBox5", "GroupBox3", 306, 71, 130, 21),
      // The screens choice beside "do not resize", above the filter, both below the row of
      // "resize by the program", whose text may run the group's whole width.
      Label17(Label("Label17", "GroupBox3", 214, 53, 46, "Экраны:")),
      ComboBox11("ComboBox11", "GroupBox3", 266, 49, 170, 21),
      RadioButton9("RadioButton9", "GroupBox7", 12, 20, 160, 17),
      RadioButton10("RadioButton10", "GroupBox7", 12, 44, 160, 17),
      // Three rows in the general options: start minimized, start with Windows, the language.
      CheckBox3("CheckBox3", "GroupBox8", 12, 16, 245, 17),
      CheckBox8("CheckBox8", "GroupBox8", 12, 34, 245, 17),
      Label16(Label("Label16", "GroupBox8", 100, 56, 30, "Язык:")),
      ComboBox10("ComboBox10", "GroupBox8", 136, 52, 120, 21),
      GroupBox2(Group("GroupBox2", "TabSheet4", 6, 2, 451, 122, " Прокси сервер ")),
      CheckBox4("CheckBox4", "GroupBox2", 12, 18, 300, 17),
      CheckBox5("CheckBox5", "GroupBox2", 12, 68, 300, 17),
      CheckBox6("CheckBox6", "TabSheet4", 12, 160, 220, 17),
      Label2(Label("Label2", "GroupBox2", 12, 44, 55, "Сервер:")),
      Label3(Label("Label3", "GroupBox2", 318, 44, 35, "Порт:")),
      Label4(Label("Label4", "GroupBox2", 12, 94, 55, "Логин:")),
      Label5(Label("Label5", "GroupBox2", 222, 94, 50, "Пароль:")),
      Label6(Label("Label6", "TabSheet4", 12, 136, 190, "Максимальный размер файла:")),
      Label7(Label("Label7", "TabSheet4", 312, 162, 60, "Kб/сек")),
      Label8(Label("Label8", "TabSheet4", 312, 136, 60, "Kбайт")),
      Edit1("Edit1", "GroupBox2", 70, 40, 236, 21),
      Edit2("Edit2", "GroupBox2", 356, 40, 80, 21),
      Edit3("Edit3", "GroupBox2", 70, 90, 140, 21),
      Edit4("Edit4", "GroupBox2", 276, 90, 160, 21),
      ComboBox3("ComboBox3", "TabSheet4", 236, 132, 70, 21),
      ComboBox4("ComboBox4", "TabSheet4", 236, 158, 70, 21) {
  caption = "Dova Wallpaper \xD0\xA1hanger";  // the "С" is the Cyrillic capital Es
  TabSheet1.caption = "Картинка дня";
  TabSheet2.caption = "Из списка";
  TabSheet3.caption = "Настройки";
  TabSheet4.caption = "Настройки соединения";

  CheckBox1.caption = "При загрузке";
  CheckBox1.checked = true;
  CheckBox2.caption = "Каждый день в определенное время";
  ComboBox1.items = NumberItems(1, 24);
  ComboBox2.items = NumberItems(0, 59);

  for (SpeedButton* b : {&SpeedButton7, &SpeedButton1, &SpeedButton2, &SpeedButton3, &SpeedButton4,
                         &SpeedButton5, &SpeedButton6})
    b->showHint = true;
  SpeedButton8.showHint = false;  // its parent shows no hints
  RadioButton4.caption = "По порядку";
  RadioButton5.caption = "Случайным образом";
  CheckBox7.caption = "При загрузке";
  RadioButton6.caption = "В определенное время";
  RadioButton7.caption = "Через определенное время";
  ComboBox6.items = NumberItems(0, 24);
  ComboBox7.items = NumberItems(0, 59);
  ComboBox8.items = NumberItems(0, 24);
  ComboBox9.items = NumberItems(0, 59);

  RadioButton1.caption = "Изменять размер изображения средствами Windows (рекомендуется)";
  RadioButton2.caption = "Изменять размер изображения средствами программы";
  RadioButton3.caption = "Не изменять размер изображения";
  RadioButton11.caption = "Заполнить экран";
  RadioButton12.caption = "Вписать в экран";
  ColorButton1.hint = "Цвет полей";
  ComboBox5.items = {"Box", "Triangle", "Hermite", "Bell", "B-Spline", "Lanczos", "Mitchell"};
  ComboBox11.items = {"Одна на всех экранах", "Своя на каждом экране", "Одна через все экраны"};
  ComboBox11.itemIndex = 0;
  RadioButton9.caption = "Картинка дня";
  RadioButton10.caption = "Из списка";
  CheckBox3.caption = "Запускаться свернутым";
  CheckBox8.caption = "Запускаться вместе с Windows";

  CheckBox4.caption = "Использовать прокси сервер";
  CheckBox5.caption = "Прокси сервер требует логин и пароль";
  CheckBox6.caption = "Ограничивать скорость скачивания";
  Edit2.text = "8080";
  Edit4.password = true;
  ComboBox3.items = {"100", "200", "300",  "400",  "500",  "600", "700",
                     "800", "900", "1000", "2000", "3000", "5000"};
  ComboBox4.items = {"1", "2", "3", "5", "10", "20", "50", "100"};

  openDialogTitle = "Выбор файлов";
  openDialogFilter =
      "All (*.jpg;*.jpeg;*.png;*.bmp)|*.jpg;*.jpeg;*.png;*.bmp|JPEG Image File (*.jpg)|*.jpg|"
      "JPEG Image File (*.jpeg)|*.jpeg|PNG Image File (*.png)|*.png|Bitmap (*.bmp)|*.bmp";

  controls_ = {
      &PageControl1,  &TabSheet1,     &TabSheet2,     &TabSheet3,    &TabSheet4,    &GroupBox4,
      &StringGrid1,   &GroupBox1,     &CheckBox1,     &CheckBox2,    &ComboBox1,    &Label1,
      &ComboBox2,     &SpeedButton10, &FileGrid,      &SpeedButton7, &SpeedButton1, &SpeedButton2,
      &SpeedButton3,  &SpeedButton4,  &SpeedButton8,  &SpeedButton9, &SpeedButton5, &SpeedButton6,
      &GroupBox5,     &RadioButton4,  &RadioButton5,  &GroupBox6,    &CheckBox7,    &RadioButton6,
      &ComboBox6,     &Label10,       &ComboBox7,     &RadioButton7, &ComboBox8,    &Label11,
      &ComboBox9,     &GroupBox3,     &RadioButton1,  &RadioButton2, &RadioButton3, &RadioButton11,
      &RadioButton12, &ColorButton1,  &Label9,        &ComboBox5,    &Label17,      &ComboBox11,
      &GroupBox7,     &RadioButton9,  &RadioButton10, &GroupBox8,    &CheckBox3,    &CheckBox8,
      &Label16,       &ComboBox10,    &GroupBox2,     &CheckBox4,    &Label2,       &Edit1,
      &Label3,        &Edit2,         &CheckBox5,     &Label4,       &Edit3,        &Label5,
      &Edit4,         &Label6,        &ComboBox3,     &Label8,       &CheckBox6,    &ComboBox4,
      &Label7,        &Image1,        &StatusBar1};

  // The commands' buttons and menu items, with their design texts.
  for (const Command& command : Commands()) {
    for (const char* button : command.buttons)
      if (button) static_cast<SpeedButton*>(Find(button))->hint = command.design;
    if (!command.menu.item) continue;
    if (command.menu.separator) PopupMenu.push_back({command.menu.separator, "-", true, false});
    PopupMenu.push_back({command.menu.item, command.design, false, command.menu.isDefault});
  }
}

Control* FormModel::Find(const std::string& name) const {
  for (Control* c : controls_)
    if (c->name == name) return c;
  return nullptr;
}

MenuItem* FormModel::MenuItemNamed(const std::string& name) {
  for (MenuItem& item : PopupMenu)
    if (item.name == name) return &item;
  return nullptr;
}

std::vector<RadioButton*> FormModel::RadioGroup(const std::string& parent) const {
  std::vector<RadioButton*> group;
  for (Control* c : controls_)
    if (c->kind == ControlKind::kRadioButton && c->parent == parent)
      group.push_back(static_cast<RadioButton*>(c));
  return group;
}

void FormModel::Check(RadioButton& button) {
  for (RadioButton* other : RadioGroup(button.parent)) other->checked = false;
  button.checked = true;
}

}  // namespace dova
