// The SSE2 scans: used where the compiler offers SSE2 and the build does not turn them off
// (CUECHECK_NO_SIMD), so that the portable loops can be built and tested on x86 too.
#pragma once

#if defined(__SSE2__) && !defined(CUECHECK_NO_SIMD)
#define CUECHECK_SSE2 1
#include <emmintrin.h>
#else
#define CUECHECK_SSE2 0
#endif
