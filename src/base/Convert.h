#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Number and text conversions shared by settings, graph and tooltip code.
// Rounding is always to nearest with ties to even; texts use the user's decimal separator.

char DecimalSeparator();
void SetDecimalSeparator(char separator);

// Nearest whole number, ties to even (2.5 -> 2, 3.5 -> 4).
double RoundHalfEven(double value);
// Rounded to `decimals` places, ties to even on the scaled value (0.25 -> 0.2, 0.75 -> 0.8).
double RoundDecimals(double value, int decimals);
// Nearest signed 32-bit number, ties to even; empty when the value is out of range or not a number.
std::optional<int32_t> TryRoundToInt32(double value);

// Shortest decimal form with up to 15 significant digits: 0, 12, 1.5, 518.175.
std::string FormatNumber(double value);
// Shortest form that reads back as the same single-precision value: 3000, 1234.5.
std::string FormatSingle(float value);
std::string BoolText(bool value); // "True" or "False"

// Text to value. The Try forms return nothing for text that does not convert; the C forms raise
// AppError 13 (type mismatch) or 6 (overflow), as a caller that skips the item expects.
std::optional<bool> TryParseBool(std::string_view text);     // True/False in any case, or a number (0 false)
std::optional<double> TryParseDouble(std::string_view text); // decimal text with the user's separator
std::optional<int32_t> TryParseInt32(std::string_view text); // rounded, refused out of range
std::optional<float> TryParseSingle(std::string_view text);
bool CBool(std::string_view text);
double CDbl(std::string_view text);
int32_t CLng(std::string_view text);
float CSng(std::string_view text);

// The number at the start of a text, 0 when there is none ("12abc" -> 12, "abc" -> 0); its decimal
// point is always ".", whatever the user's separator.
double LeadingNumber(std::string_view text);
