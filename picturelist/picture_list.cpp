#include "picturelist/picture_list.h"

#include <cctype>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "form/picture_history.h"
#include "form/screens_setting.h"
#include "form/wallpaper_change.h"
#include "platform/file_replacement.h"
#include "platform/file_system.h"
#include "platform/stored_text.h"
#include "wallpaper/wallpaper_installer.h"

namespace dova {

namespace {

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kPink{255, 224, 224};
constexpr Rgb kLightBlue{224, 224, 255};
constexpr Rgb kNavy{0, 0, 128};

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

// The text between `begin` and `end` without blanks and control characters at either end.
std::string Trimmed(const char* begin, const char* end) {
  while (begin < end && IsBlankOrControl(*begin)) ++begin;
  while (end > begin && IsBlankOrControl(end[-1])) --end;
  return std::string(begin, end);
}

// The leading decimal number of [begin, end): blanks skipped, an optional sign, digits with an
// optional fraction and exponent; whatever follows is ignored. False when there is no number.
bool LeadingNumber(const char* begin, const char* end, double& value) {
  while (begin < end && std::isspace(static_cast<unsigned char>(*begin))) ++begin;
  if (begin < end && *begin == '+') ++begin;  // from_chars takes only a minus sign
  if (begin == end ||
      !(std::isdigit(static_cast<unsigned char>(*begin)) || *begin == '-' || *begin == '.'))
    return false;  // also keeps "inf" and "nan" out
  const std::from_chars_result result =
      std::from_chars(begin, end, value, std::chars_format::general);
  return result.ec == std::errc() && std::isfinite(value);
}

std::mt19937& PictureChoice() {
  static std::mt19937 generator(static_cast<std::mt19937::result_type>(
      std::chrono::system_clock::now().time_since_epoch().count()));
  return generator;
}

// Selects the whole row and scrolls it into view three rows below the top.
void MoveCursorTo(FileGridControl& grid, int row) {
  grid.SelectRows(row, row);
  grid.ScrollTo(row <= 3 ? 0 : row - 3);
}

// The rows whose pictures go on the screens, beginning with `first`: that one alone, or with a
// picture for each screen one a screen, the others following it in the list's order or taken
// at random.
std::vector<int> RowsForScreens(AppContext& context, int first, bool random) {
  std::vector<int> rows{first};
  if (ScreensModeOf(context.form) != ScreensMode::Each) return rows;
  const int count = context.form.FileGrid.RowCount();
  const std::size_t screens = context.platform.screen.Monitors().size();
  std::uniform_int_distribution<int> anyRow(0, count - 1);
  while (rows.size() < screens)
    rows.push_back(random ? anyRow(PictureChoice()) : (rows.back() + 1) % count);
  return rows;
}

// The installation of the pictures of `rows` (the first on the main screen), for a caller that
// holds the change guard.
void InstallRows(AppContext& context, const std::vector<int>& rows) {
  const FileGridControl& grid = context.form.FileGrid;
  context.SetTrayIcon(2);
  std::vector<std::string> paths;
  for (int row : rows) {
    const bool inList = row >= 0 && row < grid.RowCount();
    if (inList && !grid.rows[row][2].empty()) paths.push_back(grid.rows[row][2]);
    if (paths.empty()) break;  // the first screen's row decides
  }
  if (paths.empty()) {
    context.SetTrayIcon(3);
    return;
  }
  const std::string& path = paths.front();
  WallpaperChangeTexts texts;
  texts.converting = context.Phrase("convertingimage") + " " + path;
  for (std::size_t i = 1; i < paths.size(); ++i) texts.converting += ", " + paths[i];
  texts.updating = context.Phrase("updatingdesktop");
  texts.logUpdating = true;
  // A picture that is gone is reported by the change; the wallpaper in use, its bitmap and
  // CurrentWallpaper then stay as they are.
  ChangeWallpapers(context, paths, texts, [&] {
    context.CurrentWallpaper = path;
    RememberPicture(context, path);
  });
  context.SetTrayIcon(3);
}

// The installation of the cursor's picture, for a caller that holds the change guard.
void InstallCursorPicture(AppContext& context) {
  InstallRows(context, RowsForScreens(context, context.form.FileGrid.selTop, false));
}

}  // namespace

std::string FileNameOf(const std::string& path) {
  const std::size_t cut = path.find_last_of("\\:");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

GridRow MakeListRow(const std::string& path, const std::string& sizeText) {
  return GridRow{FileNameOf(path), sizeText, path};
}

bool SizeFitsScreen(const std::string& sizeText, double screenAspect) {
  const std::size_t x = sizeText.find('x');
  if (x == std::string::npos) return false;
  const char* text = sizeText.data();
  double width = 0.0, height = 0.0;
  if (!LeadingNumber(text, text + x, width) ||
      !LeadingNumber(text + x + 1, text + sizeText.size(), height) || height == 0.0)
    return false;
  const double ratio = width / height;
  return std::isfinite(ratio) && ratio == screenAspect;
}

CellColours FileGridCellColours(const std::string& sizeText, double screenAspect, bool selected) {
  if (selected) return {kNavy, kWhite};
  if (sizeText.find('x') == std::string::npos) return {kLightBlue, kBlack};
  return {SizeFitsScreen(sizeText, screenAspect) ? kWhite : kPink, kBlack};
}

void SeedPictureChoice(unsigned long long seed) {
  std::seed_seq sequence{static_cast<std::uint32_t>(seed), static_cast<std::uint32_t>(seed >> 32)};
  PictureChoice().seed(sequence);
}

void LoadPictureList(AppContext& context, int cursorPosition) {
  FileGridControl& grid = context.form.FileGrid;
  std::string bytes;
  if (ReadWholeFile(context.DataDir + "dova.lst", bytes)) {
    const std::string contents = DecodeStoredText(bytes);
    std::vector<GridRow> rows;
    const char* const end = contents.data() + contents.size();
    const char* line = contents.data();
    while (line < end) {
      // A line ends at CR LF, LF or a lone CR; any length is read whole.
      const char* lineEnd = line;
      while (lineEnd < end && *lineEnd != '\n' && *lineEnd != '\r') ++lineEnd;
      const char* tab = line;
      while (tab < lineEnd && *tab != '\t') ++tab;
      if (tab < lineEnd) rows.push_back(MakeListRow(Trimmed(tab + 1, lineEnd), Trimmed(line, tab)));
      line = lineEnd + 1;
    }
    if (rows.empty()) rows.emplace_back();
    grid.rows = std::move(rows);
  }
  grid.ClampSelection();
  if (cursorPosition >= 0 && cursorPosition < grid.RowCount()) {
    MoveCursorTo(grid, cursorPosition);
  } else {
    grid.SelectRows(0, 0);
    grid.ScrollTo(0);
  }
}

bool SavePictureList(AppContext& context) {
  const FileGridControl& grid = context.form.FileGrid;
  const std::string path = context.DataDir + "dova.lst";

  std::string text;
  for (const GridRow& row : grid.rows) {
    text += row[1];
    text += '\t';
    text += row[2];
    text += "\r\n";
  }
  const bool saved = ReplaceFileContents(path, EncodeStoredText(text));
  if (!saved)
    context.log.Write(LogLevel::Error,
                      context.Phrase("createerror") + " " + path + ". " + context.Phrase("nolist"));
  return saved;
}

void FileGridDblClick(AppContext& context) {
  ChangeGuard guard(context);
  if (!guard.Acquired()) return;
  InstallCursorPicture(context);
}

void N1Click(AppContext& context) {
  ChangeGuard guard(context);
  if (!guard.Acquired()) return;
  context.log.Write(LogLevel::Notice, "Установка картинки");
  FileGridControl& grid = context.form.FileGrid;
  int next;
  if (context.form.RadioButton5.checked) {
    std::uniform_int_distribution<int> anyRow(0, grid.RowCount() - 1);
    next = anyRow(PictureChoice());
  } else {
    next = grid.selTop + 1;
    if (next >= grid.RowCount()) next = 0;
  }
  const std::vector<int> rows = RowsForScreens(context, next, context.form.RadioButton5.checked);
  // In order, the next change goes on after the last picture taken now.
  MoveCursorTo(grid, rows.back());
  InstallRows(context, rows);
}

}  // namespace dova
