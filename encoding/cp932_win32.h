// Code page 932 as this system converts it: one table, built on first use
// from the system's conversion of each byte and pair, that the dump's text
// column, Copy as Text and the text search all read, so that what is shown,
// what is copied and what is found agree.
#pragma once

#include "encoding/codepage932.h"

struct SystemCp932 {
  Cp932Table decoded;
  Cp932Forms encoded;
};

// Null while memory is too short to build it (a later call tries again).
const SystemCp932* SystemCp932Conversion();
