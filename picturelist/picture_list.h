// The picture list of the from-list mode. The rows of FileGrid are the list itself (file name,
// size text, full path); this file loads and saves them as "dova.lst" in the data directory,
// decides the colours of a row, installs the picture under the list cursor and makes the
// from-list change that picks the next picture in order or at random.
#pragma once

#include <string>

#include "form/app_context.h"

namespace dova {

// The file name of a path: the part after its last "\" or ":".
std::string FileNameOf(const std::string& path);

// A row for the picture at `path` with the given size text.
GridRow MakeListRow(const std::string& path, const std::string& sizeText);

// True when `sizeText` is "W" "x" "H" and W / H, computed as doubles, equals `screenAspect`
// exactly. W and H are the leading decimal numbers of the text before and after the first "x"
// (blanks before a number are skipped, anything after it is ignored). A side that holds no
// number, a zero or non-finite height, or a text without "x" does not fit.
bool SizeFitsScreen(const std::string& sizeText, double screenAspect);

struct Rgb {
  int red = 0, green = 0, blue = 0;
  friend bool operator==(const Rgb& a, const Rgb& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
  }
};

struct CellColours {
  Rgb background;
  Rgb text;
};

// The colours of every cell of a row, from the row's size text: white when the picture fits the
// screen, pink when it does not, light blue when no size was read (no "x"); a selected row is
// white on navy whatever its size.
CellColours FileGridCellColours(const std::string& sizeText, double screenAspect, bool selected);

// Seeds the generator of the random choice (once, when the window is constructed).
void SeedPictureChoice(unsigned long long seed);

// Fills FileGrid from DataDir + "dova.lst" and restores the list cursor to `cursorPosition`
// when it is a row of the list (the first visible row then is cursorPosition - 3, or 0).
// A missing or unreadable file leaves the empty list. Lines of any length are read; lines
// without a tab are skipped. The file's text is read as stored text (platform/stored_text.h):
// UTF-8 after a byte order mark, else the system's ANSI code page.
void LoadPictureList(AppContext& context, int cursorPosition);

// Writes every row of FileGrid as size text, tab, full path, CR LF to DataDir + "dova.lst", in
// the ANSI code page when every path fits it, else as UTF-8 with a byte order mark. The new list is written to a temporary file first and then replaces the old one, so a failed
// write leaves the old list intact; the failure is logged as an Error line ("createerror" +
// " " + list path + ". " + "nolist"). Returns whether the list was saved.
bool SavePictureList(AppContext& context);

// Installs the picture in the path column of the list cursor's row (SpeedButton8, Enter, double
// click). An empty path does nothing but set the tray back to rest. A missing picture is
// reported and leaves the current wallpaper as it is. A picture that cannot be decoded throws
// (the tray then stays on its busy image). Ignored while another wallpaper change runs.
void FileGridDblClick(AppContext& context);

// The from-list change: logs "Установка картинки", moves the list cursor to the next row (in
// order with wrap-around, or uniformly at random when RadioButton5 is checked) and installs it.
// Ignored while another wallpaper change runs.
void N1Click(AppContext& context);

}  // namespace dova
