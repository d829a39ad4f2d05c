// The SSE2 switch. The SSE2 bodies are compiled wherever the compiler offers SSE2, so that
// a test can hold them against the portable ones in every build; they are used unless the
// build turns them off (CUECHECK_NO_SIMD).
#pragma once

#if defined(__SSE2__)
#define CUECHECK_SSE2_BUILT 1
#include <emmintrin.h>
#else
#define CUECHECK_SSE2_BUILT 0
#endif

#if CUECHECK_SSE2_BUILT && !defined(CUECHECK_NO_SIMD)
#define CUECHECK_SSE2 1
#else
#define CUECHECK_SSE2 0
#endif
