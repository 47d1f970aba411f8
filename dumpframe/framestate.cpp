#include "dumpframe/framestate.h"

PendingRead Superseding(const PendingRead& waiting, PendingRead next) {
  if (waiting.ticket != kNoRead && waiting.first) next.first = true;
  return next;
}

FrameTitleState TitleAfterRead(FrameTitleState title, bool firstRead, bool read) {
  if (firstRead) title.firstReadFailed = !read;
  title.showsReadError = !read || title.firstReadFailed;
  return title;
}
