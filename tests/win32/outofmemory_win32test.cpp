// Allocations that fail inside the dump window: the test program's operator
// new throws std::bad_alloc on this thread while a test asks it to. The frame
// turns a read it cannot keep into a failed read, the Details pane says in
// its sentence that its text did not fit, and the program goes on; nothing
// reaches the system's dispatch.
#include <windows.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "app/resource.h"
#include "dumpframe/dumpframe.h"
#include "dumpframe/framelayout.h"
#include "dumpframe_harness.h"
#include "dumpview/dumpview.h"
#include "testsupport.h"

namespace {

std::atomic<DWORD> g_failingThread{0};

}  // namespace

void* operator new(std::size_t size) {
  if (g_failingThread.load(std::memory_order_relaxed) == ::GetCurrentThreadId()) throw std::bad_alloc();
  if (void* memory = std::malloc(size != 0 ? size : 1)) return memory;
  throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

namespace {

// Every allocation of this thread fails while one lives.
struct AllocationsFail {
  AllocationsFail() { g_failingThread = ::GetCurrentThreadId(); }
  ~AllocationsFail() { g_failingThread = 0; }
};

class OutOfMemory : public framehar::FrameTest {};

TEST_F(OutOfMemory, TheFrameAndThePaneSaySoAndGoOn) {
  ASSERT_TRUE(testsupport::PutClipboardBytes(CF_TEXT, "Kelvane", 8));
  frame_ = framehar::CreateFrame(owner_->window(), CF_TEXT, "CF_TEXT (1)");
  ASSERT_NE(frame_, nullptr);
  ::SendMessageA(frame_, WM_COMMAND, ID_VIEW_DETAILS, 0);
  const HWND pane = framehar::PaneOf(frame_);
  const HWND view = framehar::DumpViewOf(frame_);
  // Longer than a string keeps without an allocation of its own.
  const char* const text = "CF_TEXT (1), the same format once more";
  char title[64] = "";
  wchar_t sentence[128] = L"";
  UINT caret = 0;
  {
    const AllocationsFail failing;
    ::SendMessageA(frame_, DFM_SHOWFORMAT, CF_TEXT, reinterpret_cast<LPARAM>(text));
    ::GetWindowTextA(frame_, title, sizeof(title));
    ::GetWindowTextW(pane, sentence, 128);
    ::SendMessageA(view, WM_KEYDOWN, VK_RIGHT, 0);
    ::SendMessageA(frame_, WM_COMMAND, ID_VIEW_WHOLE_DATA, 0);
    ::SendMessageA(frame_, WM_COMMAND, ID_VIEW_WHOLE_DATA, 0);
    caret = static_cast<UINT>(::SendMessageA(view, DVM_GETCARET, 0, 0));
  }
  EXPECT_STREQ(title, kClipboardReadErrorTitle);
  EXPECT_STREQ(sentence, L"There is not enough memory to show this snapshot's details.");
  EXPECT_EQ(caret, 0u);

  // With memory again, the next read shows the data and the title is back.
  ::SendMessageA(frame_, DFM_SHOWFORMAT, CF_TEXT, reinterpret_cast<LPARAM>(text));
  EXPECT_EQ(testsupport::WindowText(frame_), kDumpFrameTitle);
  const int length = ::GetWindowTextLengthW(pane);
  std::wstring details(static_cast<std::size_t>(length) + 1, L'\0');
  details.resize(static_cast<std::size_t>(::GetWindowTextW(pane, details.data(), length + 1)));
  EXPECT_NE(details.find(L"At the caret"), std::wstring::npos);
  ::SendMessageA(frame_, WM_COMMAND, ID_VIEW_DETAILS, 0);  // the choice outlives the frame
}

}  // namespace
