#include "snapshot/clipboardwindow.h"

namespace {

// "owner.exe (process 1234" without its closing parenthesis, so that more
// can go inside it; empty when the program cannot be named.
std::string OpenProgramName(const ClipboardWindow& window) {
  const std::string_view file = ExecutableFileName(window.executable);
  if (window.window == 0 || file.empty()) return {};
  return std::string(file) + " (process " + std::to_string(window.processId);
}

}  // namespace

std::string_view ExecutableFileName(std::string_view path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string OwnerWaitText(const ClipboardWindow& owner, std::string_view formatListText) {
  const std::string program = OpenProgramName(owner);
  return "Waiting for " + (program.empty() ? std::string("the clipboard's owner") : program + ")") +
         " to render " + std::string(formatListText) + ". Esc cancels.";
}

std::string HeldClipboardTitle(const ClipboardWindow& holder) {
  const std::string program = OpenProgramName(holder);
  return "Kelvane - clipboard held open by " +
         (program.empty() ? std::string("another program") : program + ")");
}

std::string HeldClipboardProblem(const ClipboardWindow& holder) {
  std::string program = OpenProgramName(holder);
  const std::string windowClass = holder.window != 0 ? holder.windowClass : std::string();
  if (program.empty()) {
    program = "another program";
    if (!windowClass.empty()) program += " (window class " + windowClass + ")";
  } else {
    program += (windowClass.empty() ? "" : ", window class " + windowClass) + ")";
  }
  return "Clipboard held open by " + program;
}
