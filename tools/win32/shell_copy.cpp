// Copies files the way the shell's own file views do: the shell's data
// object for the items, put on the clipboard and flushed there, so that
// "Shell IDList Array" and the shell's other formats are as the system's
// shell writes them. For keeping real producers' data as test samples
// (clipboard_dump.exe writes a format to a file afterwards):
//
//   shell_copy.exe <path> [<path> ...]
//
// Every path must lie in the folder of the first.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <vector>

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: shell_copy <path> [<path> ...]\n");
    return 2;
  }
  if (FAILED(::OleInitialize(nullptr))) return 1;
  std::vector<PIDLIST_ABSOLUTE> absolute;
  std::vector<PCUITEMID_CHILD> children;
  IShellFolder* parent = nullptr;
  for (int i = 1; i < argc; ++i) {
    PIDLIST_ABSOLUTE pidl = nullptr;
    if (FAILED(::SHParseDisplayName(argv[i], nullptr, &pidl, 0, nullptr))) {
      std::fprintf(stderr, "the shell knows no %ls\n", argv[i]);
      return 1;
    }
    absolute.push_back(pidl);
    PCUITEMID_CHILD child = nullptr;
    IShellFolder* folder = nullptr;
    if (FAILED(::SHBindToParent(pidl, IID_IShellFolder, reinterpret_cast<void**>(&folder), &child))) return 1;
    if (parent == nullptr) {
      parent = folder;
    } else {
      folder->Release();
    }
    children.push_back(child);
  }
  IDataObject* data = nullptr;
  HRESULT hr = parent->GetUIObjectOf(nullptr, static_cast<UINT>(children.size()), children.data(),
                                     IID_IDataObject, nullptr, reinterpret_cast<void**>(&data));
  if (SUCCEEDED(hr)) hr = ::OleSetClipboard(data);
  if (SUCCEEDED(hr)) hr = ::OleFlushClipboard();
  if (data != nullptr) data->Release();
  parent->Release();
  for (PIDLIST_ABSOLUTE pidl : absolute) ::CoTaskMemFree(pidl);
  ::OleUninitialize();
  if (FAILED(hr)) std::fprintf(stderr, "the shell's data object failed: 0x%08lX\n", static_cast<unsigned long>(hr));
  return FAILED(hr) ? 1 : 0;
}
