// Checks the resources compiled from dova.rc, as the window will load them: every icon and
// bitmap is there at the size the window's image lists and buttons expect, the glyphs and marks
// carry the transparent key colour, the icons have an alpha channel, and the version block and
// the manifest are in place. Built for Windows only, linked with the compiled dova.rc.
#include <windows.h>
// The headers below need windows.h first.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "version.h"  // generated in the build's resources folder

namespace dova {
namespace {

struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> rgb;  // top row first
};

// Reads a bitmap resource as 24-bit pixels; width 0 when it is missing.
Pixels LoadBitmapPixels(int id) {
  Pixels out;
  HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id),
                                                   IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!bitmap) return out;
  DIBSECTION dib{};
  if (GetObjectA(bitmap, sizeof dib, &dib) == sizeof dib && dib.dsBm.bmBitsPixel == 24) {
    out.width = dib.dsBm.bmWidth;
    out.height = dib.dsBm.bmHeight;
    const auto* bits = static_cast<const BYTE*>(dib.dsBm.bmBits);
    const int stride = dib.dsBm.bmWidthBytes;
    for (int y = 0; y < out.height; ++y) {
      // DIB sections made from bottom-up bitmaps keep the bottom row first.
      const BYTE* row = bits + (out.height - 1 - y) * stride;
      for (int x = 0; x < out.width; ++x) {
        out.rgb.push_back(RGB(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]));
      }
    }
  }
  DeleteObject(bitmap);
  return out;
}

int CountKeyPixels(const Pixels& p) {
  int n = 0;
  for (COLORREF c : p.rgb) n += c == DOVA_KEY_COLORREF;
  return n;
}

TEST(Resources, BannerAndMarksHaveTheirDesignSizes) {
  const Pixels banner = LoadBitmapPixels(IDB_BANNER);
  EXPECT_EQ(banner.width, 470);
  EXPECT_EQ(banner.height, 54);
  EXPECT_EQ(CountKeyPixels(banner), 0) << "the banner is opaque";

  const Pixels current = LoadBitmapPixels(IDB_MARK_CURRENT);
  const Pixels other = LoadBitmapPixels(IDB_MARK_OTHER);
  for (const Pixels* mark : {&current, &other}) {
    EXPECT_EQ(mark->width, 11);
    EXPECT_EQ(mark->height, 11);
    EXPECT_EQ(mark->rgb.front(), static_cast<COLORREF>(DOVA_KEY_COLORREF)) << "corner opaque";
  }
  // The marks must differ in shape, not only in colour: the list draws them greyed.
  EXPECT_LT(CountKeyPixels(current), CountKeyPixels(other));
  EXPECT_NE(current.rgb[5 * 11 + 5], static_cast<COLORREF>(DOVA_KEY_COLORREF));
  EXPECT_EQ(other.rgb[5 * 11 + 5], static_cast<COLORREF>(DOVA_KEY_COLORREF));
}

TEST(Resources, EveryListButtonHasANormalAndAGreyedGlyph) {
  for (int id = IDB_GLYPH_CLEAR_LIST; id <= IDB_GLYPH_PREVIOUS; ++id) {
    const Pixels normal = LoadBitmapPixels(id);
    const Pixels greyed = LoadBitmapPixels(id + IDB_GLYPH_DISABLED_OFFSET);
    ASSERT_EQ(normal.width, 16) << id;
    ASSERT_EQ(normal.height, 16) << id;
    ASSERT_EQ(greyed.width, 16) << id;
    // Transparent around the picture, and the same outline in both forms.
    EXPECT_GT(CountKeyPixels(normal), 0) << id;
    EXPECT_LT(CountKeyPixels(normal), 16 * 16 - 40) << id << " is nearly empty";
    for (int i = 0; i < 16 * 16; ++i) {
      EXPECT_EQ(normal.rgb[i] == DOVA_KEY_COLORREF, greyed.rgb[i] == DOVA_KEY_COLORREF)
          << id << " pixel " << i;
      if (greyed.rgb[i] != DOVA_KEY_COLORREF) {
        const COLORREF c = greyed.rgb[i];
        EXPECT_TRUE(GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c))
            << id << ": the greyed glyph has colour at pixel " << i;
      }
    }
  }
}

TEST(Resources, IconsHaveAlphaAtEverySizeTheProgramAsksFor) {
  struct Want {
    int id;
    int size;
  };
  const Want wants[] = {{IDI_DOVA, 16},   {IDI_DOVA, 32},   {IDI_DOVA, 48},   {IDI_TRAY_0, 16},
                        {IDI_TRAY_1, 16}, {IDI_TRAY_2, 16}, {IDI_TRAY_3, 16}, {IDI_TRAY_3, 32}};
  for (const Want& want : wants) {
    HICON icon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(want.id),
                                               IMAGE_ICON, want.size, want.size, 0));
    ASSERT_NE(icon, nullptr) << want.id;
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP color{};
    GetObjectA(info.hbmColor, sizeof color, &color);
    EXPECT_EQ(color.bmWidth, want.size) << want.id;
    EXPECT_EQ(color.bmHeight, want.size) << want.id;
    EXPECT_EQ(color.bmBitsPixel, 32) << want.id;
    // Clear corners, an opaque middle and smoothed edges in between.
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = want.size;
    format.bmiHeader.biHeight = -want.size;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    std::vector<RGBQUAD> px(want.size * want.size);
    HDC dc = GetDC(nullptr);
    ASSERT_EQ(GetDIBits(dc, info.hbmColor, 0, want.size, px.data(), &format, DIB_RGB_COLORS),
              want.size);
    ReleaseDC(nullptr, dc);
    int clear = 0, opaque = 0, partial = 0;
    for (const RGBQUAD& q : px) {
      clear += q.rgbReserved == 0;
      opaque += q.rgbReserved == 255;
      partial += q.rgbReserved > 0 && q.rgbReserved < 255;
    }
    EXPECT_GT(clear, 0) << want.id;
    EXPECT_GT(opaque, want.size * want.size / 5) << want.id;
    EXPECT_GT(partial, 0) << want.id;
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }
}

// The version block, read straight from the resource so that the test needs no version.dll.
std::string VersionBlock() {
  HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16));
  if (!found) return {};
  const char* data = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
  return std::string(data, SizeofResource(nullptr, found));
}

// The value of a StringFileInfo entry: the UTF-16 key, its zero, padding to 32 bits, the value.
std::string VersionString(const std::string& block, const std::string& key) {
  std::string wideKey;
  for (char c : key) wideKey += std::string{c, '\0'};
  std::size_t at = block.find(wideKey + std::string(2, '\0'));
  if (at == std::string::npos) return {};
  at += wideKey.size() + 2;
  while (at % 4 != 0 || (at + 1 < block.size() && block[at] == '\0' && block[at + 1] == '\0')) {
    at += 2;
  }
  std::string value;
  for (; at + 1 < block.size() && (block[at] || block[at + 1]); at += 2) value += block[at];
  return value;
}

TEST(Resources, VersionBlockAndManifestAreInPlace) {
  const std::string block = VersionBlock();
  ASSERT_FALSE(block.empty());
  EXPECT_EQ(VersionString(block, "FileDescription"), "Dova Wallpaper Changer");
  EXPECT_EQ(VersionString(block, "ProductName"), "Dova Wallpaper Changer");
  EXPECT_EQ(VersionString(block, "FileVersion"), DOVA_FILE_VERSION_TEXT);
  // VS_FIXEDFILEINFO: signature, structure version, then the file version's four numbers.
  const std::string fixedStart("\xBD\x04\xEF\xFE", 4);
  const std::size_t fixed = block.find(fixedStart);
  ASSERT_NE(fixed, std::string::npos);
  DWORD version[2] = {};
  ASSERT_LE(fixed + 16, block.size());
  std::memcpy(version, block.data() + fixed + 8, sizeof version);
  EXPECT_EQ(version[0], (DOVA_VERSION_MAJOR << 16u) | DOVA_VERSION_MINOR);
  EXPECT_EQ(version[1], (DOVA_VERSION_PATCH << 16u) | DOVA_VERSION_TWEAK);

  HRSRC manifest = FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  ASSERT_NE(manifest, nullptr);
  const char* xml = static_cast<const char*>(LockResource(LoadResource(nullptr, manifest)));
  const std::string body(xml, SizeofResource(nullptr, manifest));
  EXPECT_NE(body.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_NE(body.find("asInvoker"), std::string::npos);
  EXPECT_NE(body.find("<longPathAware"), std::string::npos);
}

}  // namespace
}  // namespace dova
