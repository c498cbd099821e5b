#pragma once
#include "base/AppError.h"

#include <functional>
#include <string>

// The error an action raises, as "number source: description" so that one comparison checks all three;
// "none" when it raises none.
inline std::string RaisedError(const std::function<void()>& action) {
    try {
        action();
    } catch (const AppError& e) {
        return std::to_string(e.Number) + " " + e.Source + ": " + e.Description;
    }
    return "none";
}
