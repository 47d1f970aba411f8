// Copies files the way the shell's own file views do: the shell's data
// object for the items, put on the clipboard and flushed there, so that
// "Shell IDList Array" and the shell's other formats are as the system's
// shell writes them; then writes the "Shell IDList Array" block to a file,
// for keeping a real producer's data as a test sample (the clipboard may
// not outlive this process under Wine, whose clipboard goes with the OLE
// window that owns it):
//
//   shell_copy.exe <file> <path> [<path> ...]
//
// Every path must lie in the folder of the first.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <vector>

namespace {

HRESULT WriteIdListArray(const wchar_t* path) {
  if (!::OpenClipboard(nullptr)) return HRESULT_FROM_WIN32(::GetLastError());
  HRESULT hr = E_FAIL;
  HANDLE block = ::GetClipboardData(::RegisterClipboardFormatA("Shell IDList Array"));
  const void* bytes = block != nullptr ? ::GlobalLock(block) : nullptr;
  if (bytes != nullptr) {
    HANDLE file =
        ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (file != INVALID_HANDLE_VALUE &&
        ::WriteFile(file, bytes, static_cast<DWORD>(::GlobalSize(block)), &written, nullptr)) {
      hr = S_OK;
    }
    if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
    ::GlobalUnlock(block);
  }
  ::CloseClipboard();
  return hr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: shell_copy <file> <path> [<path> ...]\n");
    return 2;
  }
  if (FAILED(::OleInitialize(nullptr))) return 1;
  std::vector<PIDLIST_ABSOLUTE> absolute;
  std::vector<PCUITEMID_CHILD> children;
  IShellFolder* parent = nullptr;
  for (int i = 2; i < argc; ++i) {
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
  if (SUCCEEDED(hr)) hr = WriteIdListArray(argv[1]);
  if (data != nullptr) data->Release();
  parent->Release();
  for (PIDLIST_ABSOLUTE pidl : absolute) ::CoTaskMemFree(pidl);
  ::OleUninitialize();
  if (FAILED(hr))
    std::fprintf(stderr, "the shell's data object failed: 0x%08lX\n", static_cast<unsigned long>(hr));
  return FAILED(hr) ? 1 : 0;
}
