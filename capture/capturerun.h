// One capture of the clipboard to a file, apart from the platform: which of
// the clipboard's formats are read and in which order, where each block goes
// in the file, which formats are left out and why, and the texts the user
// reads while it runs and when it ends. The shell reads each format and
// writes its bytes; this decides everything else.
//
// The file's table is reserved for every format that may be captured (its
// number and name allow it); a format whose read then fails or is skipped
// takes no slot, and the slots it leaves are empty (format 0) at the
// table's end, which every reader skips.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "capture/clpfile.h"

// A format as the clipboard enumerated it, before anything of it is read.
struct CaptureFormat {
  std::uint32_t format;
  std::optional<std::string> registeredName;  // UTF-8; none when the platform named none
};

// Why a read left a format out.
inline constexpr char kReadFailedReason[] = "its data could not be read";
inline constexpr char kSkippedReason[] = "it was skipped while its owner had not rendered it";
inline constexpr char kCutReason[] = "its data is longer than a clipboard file can hold";
// "the owner did not render it in 30 s".
std::string NotRenderedInReason(std::uint32_t seconds);

class CaptureRun {
 public:
  explicit CaptureRun(std::vector<CaptureFormat> formats);

  const ClpFilePlan& plan() const { return plan_; }
  std::uint32_t FormatCount() const { return static_cast<std::uint32_t>(formats_.size()); }
  std::uint32_t CapturedCount() const { return static_cast<std::uint32_t>(plan_.entries().size()); }
  const std::vector<std::string>& NotCaptured() const { return notCaptured_; }

  // The index of the next format to read, in the clipboard's order; formats
  // that cannot be captured by their number or name are left out on the way.
  // None when every format has had its turn.
  std::optional<std::uint32_t> Next();
  std::uint32_t FormatAt(std::uint32_t index) const { return formats_[index].format; }
  // The format as the available list names it: "HTML Format(0xC0A1)".
  std::string ListText(std::uint32_t index) const;
  // "Reading 7 of 23: HTML Format(0xC0A1)".
  std::string ReadingText(std::uint32_t index) const;

  // The read of the format at index gave a block of length bytes: where it
  // goes, or why it cannot go into the file (and it is then left out).
  ClpPlacement Captured(std::uint32_t index, std::uint32_t length);
  void LeftOut(std::uint32_t index, const std::string& reason);

  // "Captured 12 of 14 formats (3.4 MB) to C:\x\bug.clp.", then for a
  // capture that left formats out " Not captured:" and one line for each.
  std::string FinalMessage(const std::string& path) const;

 private:
  std::vector<CaptureFormat> formats_;
  ClpFilePlan plan_;
  std::uint32_t next_ = 0;
  std::vector<std::string> notCaptured_;  // "HTML Format(0xC0A1): reason"
};

// A size for people: "812 bytes", "12.5 KB", "3.4 MB", "1.2 GB" (units of 1024).
std::string SizeText(std::uint64_t bytes);

// The formats the final message lists before it only counts the rest.
inline constexpr std::uint32_t kMostListedLeftOut = 24;
