#include "app/Convert.h"
#include "app/AppError.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {
struct SeparatorGuard {
    explicit SeparatorGuard(char c) { SetDecimalSeparator(c); }
    ~SeparatorGuard() { SetDecimalSeparator('.'); }
};
} // namespace

TEST(Convert, RoundingIsToNearestWithTiesToEven) {
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(*TryRoundToInt32(2100.5), 2100);
    EXPECT_EQ(*TryRoundToInt32(2101.5), 2102);
    EXPECT_FALSE(TryRoundToInt32(2147483647.5).has_value()); // rounds to 2^31
    EXPECT_EQ(*TryRoundToInt32(-2147483648.4), INT32_MIN);
}

TEST(Convert, NumbersAreWrittenInTheirShortestFormAndReadWithTheUserSeparatorOnly) {
    EXPECT_EQ(FormatNumber(-0.0), "0");
    EXPECT_EQ(FormatNumber(2048 / 1024.0), "2");
    EXPECT_EQ(FormatNumber(987 * 1.05 / 2), "518.175");
    SeparatorGuard comma(',');
    EXPECT_EQ(FormatSingle(3000.0f), "3000");
    EXPECT_EQ(FormatSingle(1234.5f), "1234,5");
    EXPECT_EQ(TryParseDouble("1,5"), 1.5);
    EXPECT_FALSE(TryParseDouble("1.5").has_value());
    EXPECT_EQ(TryParseSingle("3000"), 3000.0f);
    EXPECT_FALSE(TryParseSingle("1e39").has_value());
}

TEST(Convert, SinglesAreWrittenAsStdToCharsWritesThem) {
    // Shortest digits that read back, fixed or scientific by length, exact whole numbers.
    EXPECT_EQ(FormatSingle(3e6f), "3e+06");
    EXPECT_EQ(FormatSingle(-0.0f), "0");
    EXPECT_EQ(FormatSingle(-HUGE_VALF), "-inf");
    for (uint64_t bits = 1; bits < 0x7F800000u; bits += 131071) {
        float value = 0;
        const auto b = static_cast<uint32_t>(bits);
        std::memcpy(&value, &b, sizeof value);
        char text[64];
        const std::string expected(text, std::to_chars(text, text + sizeof text, value).ptr);
        ASSERT_EQ(FormatSingle(value), expected) << std::hex << b;
        ASSERT_EQ(FormatSingle(-value), "-" + expected) << std::hex << b;
    }
}

TEST(Convert, BooleansAcceptWordsInAnyCaseAndNumbers) {
    EXPECT_EQ(TryParseBool("True"), true);
    EXPECT_EQ(TryParseBool("fALSE"), false);
    EXPECT_EQ(TryParseBool("0"), false);
    EXPECT_EQ(TryParseBool("-1"), true);
    EXPECT_EQ(TryParseBool("2.5"), true);
    EXPECT_FALSE(TryParseBool("yes").has_value());
    EXPECT_FALSE(TryParseBool("").has_value());
    EXPECT_EQ(BoolText(true), "True");
    EXPECT_EQ(BoolText(false), "False");
}

TEST(Convert, WholeNumbersRoundAndRefuseWhatDoesNotFit) {
    EXPECT_EQ(TryParseInt32("16777215"), 16777215);
    EXPECT_EQ(TryParseInt32(" -5 "), -5);
    EXPECT_EQ(TryParseInt32("3.5"), 4);
    EXPECT_EQ(TryParseInt32("1e3"), 1000);
    EXPECT_FALSE(TryParseInt32("2147483648").has_value());
    EXPECT_FALSE(TryParseInt32("99999999999999999999999").has_value());
    EXPECT_FALSE(TryParseInt32("12abc").has_value());
    EXPECT_FALSE(TryParseInt32("").has_value());
    EXPECT_FALSE(TryParseInt32("-").has_value());
    EXPECT_FALSE(TryParseInt32("1e999").has_value());
}

TEST(Convert, RefusedConversionsRaiseTypeMismatchOrOverflow) {
    const auto error = [](auto convert) {
        try {
            convert();
        } catch (const AppError& e) {
            return e.Number;
        }
        return 0;
    };
    EXPECT_EQ(error([] { CLng("garbage"); }), kErrTypeMismatch);
    EXPECT_EQ(error([] { CLng("99999999999"); }), kErrOverflow);
    EXPECT_EQ(error([] { CBool("maybe"); }), kErrTypeMismatch);
    EXPECT_EQ(CDbl("75"), 75.0);
}

TEST(Convert, LeadingNumberTakesTheNumericStartOfAText) {
    EXPECT_EQ(LeadingNumber("1"), 1);
    EXPECT_EQ(LeadingNumber("  12abc"), 12);
    EXPECT_EQ(LeadingNumber("0"), 0);
    EXPECT_EQ(LeadingNumber("abc"), 0);
    EXPECT_EQ(LeadingNumber(""), 0);
    EXPECT_EQ(LeadingNumber("1.0x"), 1);
    EXPECT_EQ(LeadingNumber("1e999"), 0);
    SeparatorGuard comma(',');
    EXPECT_EQ(LeadingNumber("1.5"), 1.5);
    EXPECT_EQ(LeadingNumber("1,5"), 1);
}
