#include "app/Convert.h"
#include "app/AppError.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>

namespace {
struct SeparatorGuard {
    explicit SeparatorGuard(char c) { SetDecimalSeparator(c); }
    ~SeparatorGuard() { SetDecimalSeparator('.'); }
};
} // namespace

TEST(Convert, RoundingIsToNearestWithTiesToEven) {
    for (const auto& [value, rounded] : {std::pair{2.5, 2.0}, {3.5, 4.0}, {-2.5, -2.0}})
        EXPECT_EQ(RoundHalfEven(value), rounded) << value;
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
    const std::pair<const char*, std::optional<bool>> cases[] = {
        {"True", true}, {"fALSE", false}, {"0", false}, {"-1", true}, {"2.5", true}, {"yes", {}}, {"", {}}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(TryParseBool(text), value) << text;
    EXPECT_EQ(BoolText(true), "True");
    EXPECT_EQ(BoolText(false), "False");
}

TEST(Convert, WholeNumbersRoundAndRefuseWhatDoesNotFit) {
    const std::pair<const char*, std::optional<int32_t>> cases[] = {
        {"16777215", 16777215},          {" -5 ", -5},  {"3.5", 4}, {"1e3", 1000}, {"2147483648", {}},
        {"99999999999999999999999", {}}, {"12abc", {}}, {"", {}},   {"-", {}},     {"1e999", {}}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(TryParseInt32(text), value) << text;
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
    for (const auto& [text, number] :
         {std::pair{"1", 1}, {"  12abc", 12}, {"0", 0}, {"abc", 0}, {"", 0}, {"1.0x", 1}, {"1e999", 0}})
        EXPECT_EQ(LeadingNumber(text), number) << text;
    SeparatorGuard comma(',');
    EXPECT_EQ(LeadingNumber("1.5"), 1.5);
    EXPECT_EQ(LeadingNumber("1,5"), 1);
}
