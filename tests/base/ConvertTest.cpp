#include "base/Convert.h"
#include "support/RaisedError.h"

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

TEST(Convert, NumbersAreWrittenInTheirShortestFormAndReadWithTheUserSeparatorOnly) {
    EXPECT_EQ(FormatNumber(-0.0), "0");
    SeparatorGuard comma(',');
    EXPECT_EQ(FormatSingle(1234.5f), "1234,5");
    EXPECT_EQ(TryParseDouble("1,5"), 1.5);
    EXPECT_FALSE(TryParseDouble("1.5").has_value());
    EXPECT_EQ(TryParseSingle("3000"), 3000.0f);
    EXPECT_FALSE(TryParseSingle("1e39").has_value());
}

TEST(Convert, SinglesAreWrittenAsStdToCharsWritesThem) {
    // Shortest digits that read back, fixed or scientific by length, exact whole numbers.
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
    EXPECT_RAISES(13, "", "Type mismatch", [] { CBool("maybe"); });
}

TEST(Convert, WholeNumbersRoundHalvesToEvenAndRefuseWhatDoesNotFit) {
    // 2147483647.5 rounds to 2^31, one past the range.
    const std::pair<const char*, std::optional<int32_t>> cases[] = {
        {" -5 ", -5},        {"3.5", 4},    {"2.5", 2},         {"16777215", 16777215},
        {"1e3", 1000},       {"12abc", {}}, {"", {}},           {"-2147483648.4", INT32_MIN},
        {"-", {}},           {"1e999", {}}, {"2147483648", {}}, {"99999999999999999999999", {}},
        {"2147483647.5", {}}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(TryParseInt32(text), value) << text;
    // The raising conversion tells a well-formed number that does not fit from one that is no number.
    EXPECT_RAISES(13, "", "Type mismatch", [] { CLng("garbage"); });
    EXPECT_RAISES(6, "", "Overflow", [] { CLng("99999999999"); });
}

TEST(Convert, LeadingNumberTakesTheNumericStartOfAText) {
    for (const auto& [text, number] :
         {std::pair{"1", 1}, {"  12abc", 12}, {"0", 0}, {"abc", 0}, {"", 0}, {"1.0x", 1}, {"1e999", 0}})
        EXPECT_EQ(LeadingNumber(text), number) << text;
    SeparatorGuard comma(',');
    EXPECT_EQ(LeadingNumber("1.5"), 1.5);
    EXPECT_EQ(LeadingNumber("1,5"), 1);
}
