#include "platform/win32/dialogs_win32.h"

#include <cderr.h>
#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>

#include <memory>

#include "platform/file_dialog_text.h"

namespace dova {

namespace {

constexpr std::size_t kInitialNamesBuffer = 1 << 20;
constexpr std::size_t kLargestNamesBuffer = 64 << 20;
constexpr UINT kBrowseFlags = 0x45;  // file-system folders only, status text, new style

struct PidlFree {
  void operator()(ITEMIDLIST* list) const { CoTaskMemFree(list); }
};
using UniquePidl = std::unique_ptr<ITEMIDLIST, PidlFree>;

// COM for the new-style folder dialog, for the time it is open.
class ComScope {
 public:
  ComScope() : initialized_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComScope() {
    if (initialized_) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  bool initialized_;
};

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
UniquePidl ListedFolderItems(const char* path) {
  IShellFolder* raw = nullptr;
  if (FAILED(SHGetDesktopFolder(&raw))) return nullptr;
  ComPtr<IShellFolder> folder(raw);
  wchar_t wide[MAX_PATH];
  if (!MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH)) return nullptr;
  ITEMIDLIST* parsedRaw = nullptr;
  if (FAILED(folder->ParseDisplayName(nullptr, nullptr, wide, nullptr, &parsedRaw, nullptr)))
    return nullptr;
  UniquePidl parsed(parsedRaw);

  UniquePidl result(static_cast<ITEMIDLIST*>(CoTaskMemAlloc(sizeof(USHORT))));
  if (!result) return nullptr;
  result->mkid.cb = 0;
  for (PCUIDLIST_RELATIVE level = parsed.get(); level->mkid.cb != 0; level = ILNext(level)) {
    UniquePidl wanted(ILCloneFirst(level));
    IEnumIDList* listRaw = nullptr;
    if (!wanted || folder->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN,
                                       &listRaw) != S_OK)
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

int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM data, LPARAM) {
  if (message == BFFM_INITIALIZED) {
    char current[MAX_PATH];
    if (GetCurrentDirectoryA(MAX_PATH, current)) {
      // Walked twice: the first walk reads each folder on the way, which updates the folder's
      // access time, part of its file data; the second sees the data the dialog will see.
      ListedFolderItems(current);
      if (UniquePidl listed = ListedFolderItems(current))
        SendMessageA(dialog, BFFM_SETSELECTIONA, FALSE, reinterpret_cast<LPARAM>(listed.get()));
      else
        SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(current));
    }
  } else if (message == BFFM_SELCHANGED) {
    char path[MAX_PATH];
    if (SHGetPathFromIDListA(reinterpret_cast<PCIDLIST_ABSOLUTE>(data), path))
      SendMessageA(dialog, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(path));
  }
  return 0;
}

}  // namespace

std::vector<std::string> Win32Dialogs::OpenPictureFiles(const std::string& title,
                                                        const std::string& filter) {
  const std::string filterText = FilterForDialog(filter);
  char initialDir[MAX_PATH] = "";
  GetCurrentDirectoryA(MAX_PATH, initialDir);

  for (std::size_t size = kInitialNamesBuffer; size <= kLargestNamesBuffer; size *= 4) {
    std::vector<char> names(size, '\0');
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = Owner();
    dialog.lpstrFilter = filterText.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = names.data();
    dialog.nMaxFile = static_cast<DWORD>(names.size());
    dialog.lpstrInitialDir = initialDir[0] ? initialDir : nullptr;
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST |
                   OFN_ENABLESIZING | OFN_EXPLORER;
    if (GetOpenFileNameA(&dialog)) return SplitDialogSelection(names.data(), names.size());
    // More names were chosen than the buffer holds: ask again with a larger one.
    if (CommDlgExtendedError() != FNERR_BUFFERTOOSMALL) break;
  }
  return {};
}

std::string Win32Dialogs::BrowseForFolder(const std::string& title) {
  ComScope com;
  BROWSEINFOA info{};
  info.hwndOwner = Owner();
  info.pidlRoot = nullptr;
  info.pszDisplayName = nullptr;
  info.lpszTitle = title.c_str();
  info.ulFlags = kBrowseFlags;
  info.lpfn = BrowseCallback;
  info.lParam = 0;
  info.iImage = 0;
  UniquePidl chosen(SHBrowseForFolderA(&info));
  if (!chosen) return "";
  char path[MAX_PATH] = "";
  if (!SHGetPathFromIDListA(chosen.get(), path)) return "";
  return path;
}

}  // namespace dova
