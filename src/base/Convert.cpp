#include "base/Convert.h"
#include "base/AppError.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {
char g_decimalSeparator = '.';

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// Length of the numeric prefix of `s` (sign, digits, separator, digits, exponent), written with
// '.' into `out`; 0 when no digit was seen.
size_t ScanNumber(std::string_view s, std::string& out, char separator = g_decimalSeparator) {
    size_t i = 0;
    out.clear();
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        out += s[i++];
    size_t digits = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
        out += s[i++];
        ++digits;
    }
    if (i < s.size() && s[i] == separator) {
        size_t j = i + 1;
        std::string frac;
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j])))
            frac += s[j++];
        if (digits > 0 || !frac.empty()) {
            out += '.';
            out += frac;
            digits += frac.size();
            i = j;
        }
    }
    if (digits == 0)
        return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        std::string exp = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            exp += s[j++];
        size_t expDigits = 0;
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) {
            exp += s[j++];
            ++expDigits;
        }
        if (expDigits > 0) {
            out += exp;
            i = j;
        }
    }
    return i;
}

// The C runtime's correctly rounded conversions stand in for <charconv>'s floating-point ones, whose
// tables for every floating-point type would make up a sixth of the program. `number` is what
// ScanNumber accepted: never empty.
std::optional<double> ParseText(const std::string& number) {
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(number.c_str(), &end);
    if (errno == ERANGE)
        return std::numeric_limits<double>::infinity();
    if (end != number.c_str() + number.size())
        return std::nullopt;
    return value;
}

std::string WholeNumber(float value) {
    char text[48];
    std::snprintf(text, sizeof text, "%.0f", static_cast<double>(value));
    return text;
}

// The fewest significant digits that read back as `value`, as printf's %e writes them, and the
// decimal exponent: 1234.5f gives "12345" and 3.
std::string ShortestDigits(float value, int& exponent) {
    char text[32];
    for (int digits = 1;; ++digits) {
        std::snprintf(text, sizeof text, "%.*e", digits - 1, static_cast<double>(value));
        // Nine significant digits always read back as the same single.
        if (digits >= 9 || std::strtof(text, nullptr) == value)
            break;
    }
    const char* e = std::strchr(text, 'e');
    exponent = std::atoi(e + 1);
    std::string mantissa;
    for (const char* c = text; c != e; ++c)
        if (std::isdigit(static_cast<unsigned char>(*c)))
            mantissa += *c;
    return mantissa;
}
} // namespace

char DecimalSeparator() {
    return g_decimalSeparator;
}
void SetDecimalSeparator(char separator) {
    g_decimalSeparator = separator ? separator : '.';
}

// The default rounding mode rounds ties to even.
double RoundHalfEven(double value) {
    return std::rint(value);
}

double RoundDecimals(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return std::rint(value * scale) / scale;
}

std::optional<int32_t> TryRoundToInt32(double value) {
    if (!std::isfinite(value))
        return std::nullopt;
    const double r = RoundHalfEven(value);
    if (r < -2147483648.0 || r > 2147483647.0)
        return std::nullopt;
    return static_cast<int32_t>(r);
}

std::string FormatNumber(double value) {
    if (value == 0)
        return "0"; // never "-0"
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15G", value);
    std::string text = buf;
    for (char& c : text) {
        if (c == '.')
            c = g_decimalSeparator;
    }
    return text;
}

std::string FormatSingle(float value) {
    if (value == 0)
        return "0";
    if (!std::isfinite(value))
        return std::isnan(value) ? "nan" : value < 0 ? "-inf" : "inf";
    // Fixed or scientific notation, whichever is shorter, fixed on a tie: the text std::to_chars
    // writes, except at a few powers of two beyond 1e25 or below 1e-28, where this has one digit more.
    int exponent = 0;
    const std::string digits = ShortestDigits(std::fabs(value), exponent);
    const int count = static_cast<int>(digits.size());
    std::string fixed;
    if (exponent < 0)
        fixed.append("0.").append(static_cast<size_t>(-exponent - 1), '0').append(digits);
    else if (count <= exponent + 1)
        fixed = WholeNumber(std::fabs(value)); // as long as the digits padded with zeros, and exact
    else
        fixed = digits.substr(0, static_cast<size_t>(exponent) + 1) + "." +
                digits.substr(static_cast<size_t>(exponent) + 1);
    char power[16];
    std::snprintf(power, sizeof power, "e%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
    std::string scientific = digits.substr(0, 1);
    if (count > 1)
        scientific.append(".").append(digits, 1);
    scientific += power;
    std::string text = value < 0 ? "-" : "";
    text += scientific.size() < fixed.size() ? scientific : fixed;
    for (char& c : text) {
        if (c == '.')
            c = g_decimalSeparator;
    }
    return text;
}

std::string BoolText(bool value) {
    return value ? "True" : "False";
}

std::optional<double> TryParseDouble(std::string_view text) {
    const std::string_view t = Trim(text);
    std::string number;
    const size_t used = ScanNumber(t, number);
    if (used == 0 || used != t.size())
        return std::nullopt;
    auto value = ParseText(number);
    if (value && !std::isfinite(*value))
        return std::nullopt;
    return value;
}

std::optional<bool> TryParseBool(std::string_view text) {
    const std::string_view t = Trim(text);
    if (EqualsNoCase(t, "True"))
        return true;
    if (EqualsNoCase(t, "False"))
        return false;
    const auto number = TryParseDouble(t);
    if (!number)
        return std::nullopt;
    return *number != 0;
}

std::optional<int32_t> TryParseInt32(std::string_view text) {
    const auto number = TryParseDouble(text);
    if (!number)
        return std::nullopt;
    return TryRoundToInt32(*number);
}

std::optional<float> TryParseSingle(std::string_view text) {
    const auto number = TryParseDouble(text);
    if (!number || std::fabs(*number) > std::numeric_limits<float>::max())
        return std::nullopt;
    return static_cast<float>(*number);
}

namespace {
[[noreturn]] void RaiseConversion(std::string_view text) {
    // A number that is well formed but too large is an overflow; anything else a type mismatch.
    std::string number;
    const std::string_view t = Trim(text);
    if (!t.empty() && ScanNumber(t, number) == t.size())
        throw AppError(kErrOverflow, "", "Overflow");
    throw AppError(kErrTypeMismatch, "", "Type mismatch");
}
} // namespace

bool CBool(std::string_view text) {
    if (auto v = TryParseBool(text))
        return *v;
    RaiseConversion(text);
}

double CDbl(std::string_view text) {
    if (auto v = TryParseDouble(text))
        return *v;
    RaiseConversion(text);
}

int32_t CLng(std::string_view text) {
    if (auto v = TryParseInt32(text))
        return *v;
    RaiseConversion(text);
}

float CSng(std::string_view text) {
    if (auto v = TryParseSingle(text))
        return *v;
    RaiseConversion(text);
}

double LeadingNumber(std::string_view text) {
    std::string_view t = text;
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t'))
        t.remove_prefix(1);
    std::string number;
    // Like a programmer's literal, the leading number always takes "." as its decimal point.
    if (ScanNumber(t, number, '.') == 0)
        return 0;
    const auto value = ParseText(number);
    return value && std::isfinite(*value) ? *value : 0;
}
