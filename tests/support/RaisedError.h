#pragma once
#include "base/AppError.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

// The error an action raises, or none.
inline std::optional<AppError> RaisedError(const std::function<void()>& action) {
    try {
        action();
    } catch (const AppError& e) {
        return e;
    }
    return std::nullopt;
}

// Checks the error's number, source and description each on its own, so that a failure names the one
// that differs.
inline void ExpectRaised(const std::function<void()>& action, int32_t number, const std::string& source,
                         const std::string& description) {
    const auto raised = RaisedError(action);
    ASSERT_TRUE(raised.has_value()) << "no error raised";
    EXPECT_EQ(raised->Number, number) << "number";
    EXPECT_EQ(raised->Source, source) << "source";
    EXPECT_EQ(raised->Description, description) << "description";
}

// The failure also names the line of the test that expected the error.
#define EXPECT_RAISES(number, source, description, ...)                                                      \
    do {                                                                                                     \
        SCOPED_TRACE("the error expected here");                                                             \
        ExpectRaised(__VA_ARGS__, number, source, description);                                              \
    } while (0)
