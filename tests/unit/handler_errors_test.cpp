// The handlers' error rules: ending quietly stops on each kind of failed outcome a step can give,
// resuming gives nothing to check, and neither rule takes what cannot fail.
#include <gtest/gtest.h>

#include <string>
#include <type_traits>

#include "core/error_rules.h"

namespace tess {
namespace {

template <typename Rules, typename T>
concept TakesStep = requires(Rules on, T outcome) { on.step(outcome); };

static_assert(std::is_void_v<decltype(HandlerErrors<OnError::Resume>{}.step(Status::Ok()))>);
static_assert(!TakesStep<HandlerErrors<OnError::Resume>, int>);
static_assert(!TakesStep<HandlerErrors<OnError::EndQuietly>, std::string>);

TEST(HandlerErrors, EndQuietlyGoesOnOnlyAfterAStepThatWorked) {
    const Error failed{ErrorCode::WriteFailed, "not written"};
    HandlerErrors<OnError::EndQuietly> on;
    EXPECT_TRUE(on.step(Status::Ok()));
    EXPECT_FALSE(on.step(Status(failed)));
    EXPECT_TRUE(on.step(Result<int>(0)));
    EXPECT_FALSE(on.step(Result<int>(failed)));
    EXPECT_TRUE(on.step(true));
    EXPECT_FALSE(on.step(false));
}

} // namespace
} // namespace tess
