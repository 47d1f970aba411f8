// Whether the compiler may use SSE2, which every x86-64 processor has: the
// byte scans then read 16 bytes at a time. Elsewhere (a 32-bit build without
// SSE2, other processors) they take their portable loops.
#pragma once

#if defined(__SSE2__) || defined(_M_X64) || defined(_M_AMD64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define KELVANE_SSE2 1
#include <emmintrin.h>
#endif
