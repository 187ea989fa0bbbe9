// The number rules the skin arithmetic is computed with: rounding to whole numbers with halves to
// the even neighbour, storing as single precision, and the integer division that rounds first.
#pragma once

#include <cstdint>

#include "result.h"

namespace tess {

// Nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double RoundHalfEven(double value);

// The value rounded half-even and stored in a 16-bit or 32-bit integer; a value that does not
// fit (or is not a number) is an Overflow error rather than a wrapped result.
Result<int16_t> ToInt16(double value);
Result<int32_t> ToInt32(double value);

// The value stored as a single-precision float and read back as a double.
inline double Single(double value) { return static_cast<double>(static_cast<float>(value)); }

// Integer division a \ b: both operands are rounded half-even to 32-bit integers first, then
// divided with truncation toward zero. A divisor that rounds to 0 is a DivisionByZero error.
Result<int32_t> IntDivide(double dividend, double divisor);

} // namespace tess
