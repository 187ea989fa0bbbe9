// The number rules the skin arithmetic is computed with: rounding to whole numbers with halves to
// the even neighbour, storing as single precision, and the integer division that rounds first.
#pragma once

#include <cstdint>

#include <emmintrin.h>

#include "result.h"

namespace tess {

// Nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double RoundHalfEven(double value);

// The value rounded half-even and stored in a 16-bit or 32-bit integer; a value that does not
// fit (or is not a number) is an Overflow error rather than a wrapped result.
Result<int16_t> ToInt16(double value);
Result<int32_t> ToInt32(double value);

// The value stored as a single-precision float and read back as a double. Written with SSE2
// conversions rather than casts: GCC 12 at -O3 on x86-64 vectorises neighbouring cast pairs
// away, which would make the host build compute in double where the Windows build does not.
inline double Single(double value) {
    const __m128 single = _mm_cvtsd_ss(_mm_setzero_ps(), _mm_set_sd(value));
    return _mm_cvtsd_f64(_mm_cvtss_sd(_mm_setzero_pd(), single));
}

// Integer division a \ b: both operands are rounded half-even to 32-bit integers first, then
// divided with truncation toward zero. A divisor that rounds to 0 is a DivisionByZero error.
Result<int32_t> IntDivide(double dividend, double divisor);

} // namespace tess
