// The byte rules of every encoding Kelvane reads, each written once: code
// page 932 (the system's lead and trail bytes, the text column's lenient
// lead bytes, the conversion table), EUC-JP's row and cell arithmetic,
// surrogates, UTF-16 little-endian units, strict UTF-8 and the column's
// UTF-8 reading, and the decoding of copied text. Portable: the system's
// conversions come in through a Cp932Table or a caller's encoder.
#pragma once

#include "encoding/codepage932.h"
#include "encoding/eucjp.h"
#include "encoding/textdecode.h"
#include "encoding/unicode.h"
