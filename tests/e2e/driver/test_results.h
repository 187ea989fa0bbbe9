// The driver's results in GoogleTest terms: a value taken from a Result with a failure recorded
// when there is none, and an assertion on a Status or Result that shows its error.
#pragma once

#include <gtest/gtest.h>

#include <utility>

#include "core/result.h"

namespace tess::e2e {

template <typename T>
T Must(Result<T> r, const char* what) {
    if (!r) ADD_FAILURE() << what << ": " << r.error().message;
    return r ? std::move(r).value() : T{};
}

} // namespace tess::e2e

#define MUST(expr) ::tess::e2e::Must((expr), #expr)
#define ASSERT_OK(expr)                                                          \
    do {                                                                         \
        const auto& outcome_ = (expr);                                           \
        ASSERT_TRUE(outcome_.ok()) << #expr << ": " << outcome_.error().message; \
    } while (0)
