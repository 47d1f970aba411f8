#include "capture/restoreprompt.h"

#include "formats/lines.h"

std::string RestoreQuestion(const ClpDirectory& directory) {
  std::string text;
  std::uint32_t listed = 0;
  for (const ClpEntry& entry : directory.entries) {
    if (listed == kMostListedFormats) break;
    text.append(ClpEntryLabel(entry.format, entry.name))
        .append(", ")
        .append(Bytes(entry.length))
        .append("\n");
    ++listed;
  }
  const std::uint64_t count = directory.entries.size();
  if (count > listed) text.append(MoreItemsText(count - listed, "formats")).append("\n");
  text.append("\nPut these ")
      .append(Decimal(count))
      .append(" formats on the clipboard? It replaces what the clipboard holds now.");
  return text;
}
