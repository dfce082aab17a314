// The main window's controls as plain data: every control of the design under its design name,
// with the state the program reads and writes (checked, enabled, items and selection, texts,
// captions, hints, grid cells and selection, page highlight) and its place in its parent.
// The rules of the program run on this model; the Win32 view mirrors it both ways, so every
// rule is tested without a window.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace dova {

enum class ControlKind {
  kPageControl,
  kTabSheet,
  kGroupBox,
  kCheckBox,
  kRadioButton,
  kComboBox,
  kEdit,
  kLabel,
  kSpeedButton,
  kFileGrid,
  kChannelGrid,
  kImage,
  kStatusBar,
  kColorButton
};

struct Control {
  Control(ControlKind kind, std::string name, std::string parent, int left, int top, int width,
          int height)
      : kind(kind),
        name(std::move(name)),
        parent(std::move(parent)),
        left(left),
        top(top),
        width(width),
        height(height) {}
  virtual ~Control() = default;

  ControlKind kind;
  std::string name;              // design name: "CheckBox2", "FileGrid"
  std::string parent;            // design name of the parent, "" for the form itself
  int left, top, width, height;  // in the parent's client area
  bool enabled = true;
  bool visible = true;
};

// Tab pages, group boxes, check boxes, radio buttons and labels show a caption.
struct CaptionControl : Control {
  using Control::Control;
  std::string caption;
};

struct TabSheet : CaptionControl {
  TabSheet(std::string name, int pageIndex)
      : CaptionControl(ControlKind::kTabSheet, std::move(name), "PageControl1", 0, 0, 0, 0),
        pageIndex(pageIndex) {}
  int pageIndex;
  bool highlighted = false;  // marks the working mode
};

struct CheckBox : CaptionControl {
  CheckBox(std::string name, std::string parent, int l, int t, int w, int h)
      : CaptionControl(ControlKind::kCheckBox, std::move(name), std::move(parent), l, t, w, h) {}
  bool checked = false;
};

// Radio buttons of one parent exclude each other; check them through FormModel::Check.
struct RadioButton : CaptionControl {
  RadioButton(std::string name, std::string parent, int l, int t, int w, int h)
      : CaptionControl(ControlKind::kRadioButton, std::move(name), std::move(parent), l, t, w, h) {}
  bool checked = false;
};

// A drop-down list that only allows picking an item.
struct ComboBox : Control {
  ComboBox(std::string name, std::string parent, int l, int t, int w, int h)
      : Control(ControlKind::kComboBox, std::move(name), std::move(parent), l, t, w, h) {}
  std::vector<std::string> items;
  int itemIndex = -1;  // -1: nothing selected
  // The text of the selected item, "" when nothing is selected.
  std::string Text() const {
    return itemIndex >= 0 && itemIndex < static_cast<int>(items.size()) ? items[itemIndex] : "";
  }
  // Selects `index`; an index outside the list leaves nothing selected.
  void Select(int index) {
    itemIndex = index >= 0 && index < static_cast<int>(items.size()) ? index : -1;
  }
};

struct Edit : Control {
  Edit(std::string name, std::string parent, int l, int t, int w, int h)
      : Control(ControlKind::kEdit, std::move(name), std::move(parent), l, t, w, h) {}
  std::string text;
  bool password = false;  // shown as "*"
};

struct SpeedButton : Control {
  SpeedButton(std::string name, std::string parent, int l, int t)
      : Control(ControlKind::kSpeedButton, std::move(name), std::move(parent), l, t, 24, 24) {}
  std::string hint;
  bool showHint = true;
};

// A flat button like the speed buttons that shows a colour instead of a glyph; a click lets the
// user pick another.
struct ColorButton : SpeedButton {
  ColorButton(std::string name, std::string parent, int l, int t, int w, int h)
      : SpeedButton(std::move(name), std::move(parent), l, t) {
    kind = ControlKind::kColorButton;
    width = w;
    height = h;
  }
  unsigned color = 0x000000;  // 0xRRGGBB
};

// The picture list's grid: three texts per row (file name, size text, full path), always at
// least one row, one range of whole rows selected.
using GridRow = std::array<std::string, 3>;

struct FileGridControl : Control {
  FileGridControl(std::string parent, int l, int t, int w, int h)
      : Control(ControlKind::kFileGrid, "FileGrid", std::move(parent), l, t, w, h) {}
  std::vector<GridRow> rows{GridRow{}};
  std::array<int, 3> colWidths{189, 68, 2};
  int selTop = 0;       // Selection.Top: the list cursor
  int selBottom = 0;    // Selection.Bottom
  int topRow = 0;       // first visible row
  int visibleRows = 9;  // rows that fit in the view (set by the view)

  int RowCount() const { return static_cast<int>(rows.size()); }
  // New rows are empty; at least one row always stays.
  void SetRowCount(int count);
  bool ListEmpty() const { return rows[0][0].empty(); }
  // Selects whole rows top..bottom (clamped to the rows there are).
  void SelectRows(int top, int bottom);
  // Scrolls so that `row` is the first visible row (as far as the rows allow).
  void ScrollTo(int row);
  // Keeps the selection and the scroll position inside the rows after the count changed.
  void ClampSelection();
};

// The channel grid: one column, a row per channel (at least one row).
struct ChannelGridControl : Control {
  ChannelGridControl(std::string parent, int l, int t, int w, int h)
      : Control(ControlKind::kChannelGrid, "StringGrid1", std::move(parent), l, t, w, h) {}
  int rowCount = 1;
  int row = 0;  // selected row
  int topRow = 0;
  int colWidth = 165;
  int rowHeight = 48;
};

struct MenuItem {
  std::string name;  // "N3"
  std::string caption;
  bool separator = false;
  bool isDefault = false;  // drawn bold
  bool enabled = true;
};

// Key codes and shift flags the keyboard commands look at (the Windows virtual-key values).
namespace keys {
constexpr int kReturn = 0x0D, kEscape = 0x1B, kDelete = 0x2E, kAdd = 0x6B, kF1 = 0x70;
}  // namespace keys
struct ShiftState {
  bool shift = false, ctrl = false, alt = false;
};

class FormModel {
 public:
  FormModel();  // the design: every control with its design texts, items, sizes and places
  FormModel(const FormModel&) = delete;
  FormModel& operator=(const FormModel&) = delete;

  // Form1
  std::string caption;  // "Dova Wallpaper Сhanger" (Cyrillic Es, UTF-8 in the design)
  int clientWidth = 471, clientHeight = 296, left = 397, top = 110;
  std::string activeControl;  // design name of the focused control, "" when none

  // PageControl1 with its four pages
  Control PageControl1{ControlKind::kPageControl, "PageControl1", "", 0, 0, 471, 223};
  int activePage = 0;
  TabSheet TabSheet1{"TabSheet1", 0}, TabSheet2{"TabSheet2", 1}, TabSheet3{"TabSheet3", 2},
      TabSheet4{"TabSheet4", 3};

  // Page 0: picture of the day
  CaptionControl GroupBox4, GroupBox1;
  ChannelGridControl StringGrid1;
  CheckBox CheckBox1, CheckBox2;
  ComboBox ComboBox1, ComboBox2;
  CaptionControl Label1;
  SpeedButton SpeedButton10;  // previous picture

  // Page 1: from list
  FileGridControl FileGrid;
  SpeedButton SpeedButton7, SpeedButton1, SpeedButton2, SpeedButton3, SpeedButton4, SpeedButton8,
      SpeedButton9, SpeedButton5, SpeedButton6;  // SpeedButton9: previous picture
  CaptionControl GroupBox5, GroupBox6;
  RadioButton RadioButton4, RadioButton5;
  CheckBox CheckBox7;
  RadioButton RadioButton6, RadioButton7;
  ComboBox ComboBox6, ComboBox7, ComboBox8, ComboBox9;
  CaptionControl Label10, Label11;

  // Page 2: options
  CaptionControl GroupBox3, GroupBox7, GroupBox8;
  RadioButton RadioButton1, RadioButton2, RadioButton3;
  RadioButton RadioButton11, RadioButton12;  // fill, fit: the program's resizing, proportions kept
  ColorButton ColorButton1;                  // the ground around a fitted picture
  CaptionControl Label9;
  ComboBox ComboBox5;
  CaptionControl Label17;  // "Screens:"
  ComboBox ComboBox11;     // the same picture on each screen, one for each, one across all
  RadioButton RadioButton9, RadioButton10;
  CheckBox CheckBox3;
  CheckBox CheckBox8;  // start with Windows: shows the user's start-up entry, not a setting
  CaptionControl Label16;
  ComboBox ComboBox10;

  // Page 3: connection options
  CaptionControl GroupBox2;
  CheckBox CheckBox4, CheckBox5, CheckBox6;
  CaptionControl Label2, Label3, Label4, Label5, Label6, Label7, Label8;
  Edit Edit1, Edit2, Edit3, Edit4;
  ComboBox ComboBox3, ComboBox4;

  // Below the pages
  Control Image1{ControlKind::kImage, "Image1", "", 0, 223, 470, 54};
  Control StatusBar1{ControlKind::kStatusBar, "StatusBar1", "", 0, 277, 471, 19};
  std::string statusText;  // the status bar's one simple panel

  // Non-visual parts
  std::vector<MenuItem> PopupMenu;  // the commands' items (form/commands.h) in their order
  int trayIconIndex = 3;            // TrayIcon1.IconIndex into ImageList2
  std::string trayHint = "Dova Wallpaper Changer";
  int timerInterval = 60000;     // Timer1
  std::string openDialogTitle;   // OpenPictureDialog1.Title
  std::string openDialogFilter;  // OpenPictureDialog1.Filter

  // Every visible control, parents before children, in creation order.
  const std::vector<Control*>& Controls() const { return controls_; }
  Control* Find(const std::string& name) const;
  MenuItem* MenuItemNamed(const std::string& name);

  // Checks a radio button and clears the others of its parent, as clicking it does.
  void Check(RadioButton& button);
  std::vector<RadioButton*> RadioGroup(const std::string& parent) const;

 private:
  std::vector<Control*> controls_;
};

}  // namespace dova
