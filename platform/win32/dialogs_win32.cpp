#include "platform/win32/dialogs_win32.h"

#include <cderr.h>
#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>

#include <memory>
#include <vector>

#include "platform/file_dialog_text.h"
#include "platform/win32/com_scope.h"
#include "platform/win32/wide_text.h"

namespace dova {

namespace {

constexpr std::size_t kInitialNamesBuffer = 1 << 20;
constexpr std::size_t kLargestNamesBuffer = 64 << 20;
constexpr UINT kBrowseFlags = 0x45;  // file-system folders only, status text, new style

struct PidlFree {
  void operator()(ITEMIDLIST* list) const { CoTaskMemFree(list); }
};
using UniquePidl = std::unique_ptr<ITEMIDLIST, PidlFree>;

template <typename T>
struct ComRelease {
  void operator()(T* object) const { object->Release(); }
};
template <typename T>
using ComPtr = std::unique_ptr<T, ComRelease<T>>;

// The item list of `path` made of the very items the shell lists, level by level. Wine's folder
// dialog finds its tree items by comparing their bytes with the selection's, and the bytes of
// a parsed path can differ from those of the listed folders (their file data); then the dialog
// opened on a drive instead of the folder. Null when the path cannot be walked.
UniquePidl ListedFolderItems(const std::wstring& path) {
  IShellFolder* raw = nullptr;
  if (FAILED(SHGetDesktopFolder(&raw))) return nullptr;
  ComPtr<IShellFolder> folder(raw);
  std::wstring name = path;  // ParseDisplayName takes a writable text
  ITEMIDLIST* parsedRaw = nullptr;
  if (FAILED(folder->ParseDisplayName(nullptr, nullptr, name.data(), nullptr, &parsedRaw, nullptr)))
    return nullptr;
  UniquePidl parsed(parsedRaw);

  UniquePidl result(static_cast<ITEMIDLIST*>(CoTaskMemAlloc(sizeof(USHORT))));
  if (!result) return nullptr;
  result->mkid.cb = 0;
  for (PCUIDLIST_RELATIVE level = parsed.get(); level->mkid.cb != 0; level = ILNext(level)) {
    UniquePidl wanted(ILCloneFirst(level));
    IEnumIDList* listRaw = nullptr;
    if (!wanted ||
        folder->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN, &listRaw) != S_OK)
      return nullptr;
    ComPtr<IEnumIDList> list(listRaw);
    UniquePidl found;
    ITEMIDLIST* item = nullptr;
    while (!found && list->Next(1, &item, nullptr) == S_OK) {
      UniquePidl owned(item);
      if (HRESULT_CODE(folder->CompareIDs(0, owned.get(), wanted.get())) == 0)
        found = std::move(owned);
    }
    if (!found) return nullptr;
    result.reset(ILCombine(result.get(), found.get()));
    IShellFolder* childRaw = nullptr;
    if (!result || FAILED(folder->BindToObject(found.get(), nullptr, IID_IShellFolder,
                                               reinterpret_cast<void**>(&childRaw))))
      return nullptr;
    folder.reset(childRaw);
  }
  return result;
}

// The file-system path of a shell item, of any length; "" when it has none.
std::wstring PathOfItem(PCIDLIST_ABSOLUTE item) {
  std::vector<wchar_t> path(32768, L'\0');
  if (SHGetPathFromIDListEx(item, path.data(), static_cast<DWORD>(path.size()), GPFIDL_DEFAULT))
    return path.data();
  // Systems and shells without the long form.
  path.assign(MAX_PATH, L'\0');
  return SHGetPathFromIDListW(item, path.data()) ? path.data() : std::wstring();
}

std::wstring CurrentDirectory() {
  const DWORD length = GetCurrentDirectoryW(0, nullptr);
  if (length == 0) return std::wstring();
  std::vector<wchar_t> current(length + 1, L'\0');
  return GetCurrentDirectoryW(length + 1, current.data()) ? current.data() : std::wstring();
}

int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM data, LPARAM) {
  if (message == BFFM_INITIALIZED) {
    const std::wstring current = CurrentDirectory();
    if (!current.empty()) {
      // Walked twice: the first walk reads each folder on the way, which updates the folder's
      // access time, part of its file data; the second sees the data the dialog will see.
      ListedFolderItems(current);
      if (UniquePidl listed = ListedFolderItems(current))
        SendMessageW(dialog, BFFM_SETSELECTIONW, FALSE, reinterpret_cast<LPARAM>(listed.get()));
      else
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(current.c_str()));
    }
  } else if (message == BFFM_SELCHANGED) {
    const std::wstring path = PathOfItem(reinterpret_cast<PCIDLIST_ABSOLUTE>(data));
    if (!path.empty())
      SendMessageW(dialog, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(path.c_str()));
  }
  return 0;
}

// The used part of the dialog's result: every text up to the empty one that ends the list,
// with the zero characters between them.
std::string DialogResult(const std::vector<wchar_t>& names) {
  std::size_t end = 0;
  while (end < names.size() && names[end] != L'\0') {
    while (end < names.size() && names[end] != L'\0') ++end;
    ++end;  // past the zero that ends this text
  }
  return Utf8(std::wstring(names.data(), end < names.size() ? end : names.size()));
}

}  // namespace

std::vector<std::string> Win32Dialogs::OpenPictureFiles(const std::string& title,
                                                        const std::string& filter) {
  // The filter's zero characters survive the conversion: it goes by length, not to a zero.
  const std::wstring filterText = Wide(FilterForDialog(filter));
  const std::wstring wideTitle = Wide(title);
  const std::wstring initialDir = CurrentDirectory();

  for (std::size_t size = kInitialNamesBuffer; size <= kLargestNamesBuffer; size *= 4) {
    std::vector<wchar_t> names(size, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = Owner();
    dialog.lpstrFilter = filterText.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = names.data();
    dialog.nMaxFile = static_cast<DWORD>(names.size());
    dialog.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
    dialog.lpstrTitle = wideTitle.c_str();
    dialog.Flags = OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_ENABLESIZING |
                   OFN_EXPLORER;
    if (GetOpenFileNameW(&dialog)) {
      const std::string chosen = DialogResult(names);
      return SplitDialogSelection(chosen.data(), chosen.size());
    }
    // More names were chosen than the buffer holds: ask again with a larger one.
    if (CommDlgExtendedError() != FNERR_BUFFERTOOSMALL) break;
  }
  return {};
}

std::string Win32Dialogs::BrowseForFolder(const std::string& title) {
  ComScope com;
  const std::wstring wideTitle = Wide(title);
  BROWSEINFOW info{};
  info.hwndOwner = Owner();
  info.pidlRoot = nullptr;
  info.pszDisplayName = nullptr;
  info.lpszTitle = wideTitle.c_str();
  info.ulFlags = kBrowseFlags;
  info.lpfn = BrowseCallback;
  info.lParam = 0;
  info.iImage = 0;
  UniquePidl chosen(SHBrowseForFolderW(&info));
  if (!chosen) return "";
  return Utf8(PathOfItem(chosen.get()));
}

bool Win32Dialogs::PickColor(unsigned& rgb) {
  // Custom colours the user mixes stay for the rest of the run, as in every Windows program.
  static COLORREF custom[16] = {};
  CHOOSECOLORW choose{};
  choose.lStructSize = sizeof choose;
  choose.hwndOwner = Owner();
  choose.rgbResult = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
  choose.lpCustColors = custom;
  choose.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR;
  if (!ChooseColorW(&choose)) return false;
  const COLORREF c = choose.rgbResult;
  rgb = (static_cast<unsigned>(GetRValue(c)) << 16) | (static_cast<unsigned>(GetGValue(c)) << 8) |
        GetBValue(c);
  return true;
}

}  // namespace dova
