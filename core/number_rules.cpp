// Rounding, narrowing and integer division as the skin arithmetic defines them; every narrowing
// reports overflow instead of wrapping, so callers can skip a failed step deliberately.
#include "number_rules.h"

#include <cmath>
#include <limits>

namespace tess {

double RoundHalfEven(double value) {
    double floor = std::floor(value);
    double diff = value - floor;
    if (diff < 0.5)
        return floor;
    if (diff > 0.5)
        return floor + 1.0;
    // Exactly half way: take the even neighbour.
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

namespace {

template <typename Int>
Result<Int> RoundTo(double value, const char* typeName) {
    double rounded = RoundHalfEven(value);
    if (!(rounded >= static_cast<double>(std::numeric_limits<Int>::min()) &&
          rounded <= static_cast<double>(std::numeric_limits<Int>::max())))
        return Error{ErrorCode::Overflow, std::string("Overflow: value does not fit a ") + typeName};
    return static_cast<Int>(rounded);
}

} // namespace

Result<int16_t> ToInt16(double value) { return RoundTo<int16_t>(value, "16-bit integer"); }

Result<int32_t> ToInt32(double value) { return RoundTo<int32_t>(value, "32-bit integer"); }

Result<int32_t> IntDivide(double dividend, double divisor) {
    auto a = ToInt32(dividend);
    if (!a)
        return a.error();
    auto b = ToInt32(divisor);
    if (!b)
        return b.error();
    if (b.value() == 0)
        return Error{ErrorCode::DivisionByZero, "Division by zero"};
    // INT32_MIN / -1 is the one quotient that does not fit.
    if (a.value() == std::numeric_limits<int32_t>::min() && b.value() == -1)
        return Error{ErrorCode::Overflow, "Overflow: quotient does not fit a 32-bit integer"};
    return a.value() / b.value();
}

} // namespace tess
