#pragma once
#include <cstdint>
#include <exception>
#include <string>

// The one error type raised to callers: a number, the source that raised it and a description.
// Numbers in the object-error range are the base 0x80040000 combined with a code.
class AppError : public std::exception {
public:
    AppError(int32_t number, std::string source = {}, std::string description = {})
        : Number(number), Source(std::move(source)), Description(std::move(description)) {}

    const char* what() const noexcept override { return Description.c_str(); }

    int32_t Number;
    std::string Source;
    std::string Description;
};

constexpr int32_t ObjectError(int32_t code) {
    return static_cast<int32_t>(0x80040000u | static_cast<uint32_t>(code));
}

// Regions that must not stop (settings read at start-up, anchoring, theme values): each statement is
// tried on its own, and one that fails is skipped.
template <class Statement>
void IgnoringErrors(Statement&& statement) {
    try {
        statement();
    } catch (const std::exception&) {
    }
}

// Run-time error numbers used by the conversions and argument checks.
constexpr int32_t kErrInvalidArgument = 5;
constexpr int32_t kErrOverflow = 6;
constexpr int32_t kErrTypeMismatch = 13;
