#include "snapshot/clipboardwindow.h"

std::string_view ExecutableFileName(std::string_view path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}
