#include "platform/decimal.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace vargul {

// Signs, saturation at both int64 ends, and where the reading stops.
TEST(Decimal, ReadsUpToTheFirstOtherCharacter) {
    const struct {
        const char* text;
        bool signed_text;
        std::int64_t value;
        int length;
        bool has_digits;
    } cases[] = {
        {"0", true, 0, 1, true},
        {"42 rest", true, 42, 2, true},
        {"-17x", true, -17, 3, true},
        {"+8", true, 8, 2, true},
        {"-8", false, 0, 0, false},
        {"", true, 0, 0, false},
        {"-", true, 0, 1, false},
        {" 5", true, 0, 0, false},
        {"9223372036854775807", true, INT64_MAX, 19, true},
        {"9223372036854775808", true, INT64_MAX, 19, true},
        {"-9223372036854775808", true, INT64_MIN, 20, true},
        {"-99999999999999999999999", true, INT64_MIN, 24, true},
        {"99999999999999999999999", false, INT64_MAX, 23, true},
    };
    for (const auto& c : cases) {
        const DecimalRead read = read_decimal(c.text, c.signed_text);
        EXPECT_EQ(read.value, c.value) << c.text;
        EXPECT_EQ(read.end - c.text, c.length) << c.text;
        EXPECT_EQ(read.has_digits, c.has_digits) << c.text;
    }
}

TEST(Decimal, LeadingInt32SaturatesAtItsBounds) {
    const struct {
        const char* text;
        std::int32_t value;
    } cases[] = {
        {"2147483647", INT32_MAX},
        {"2147483648", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"-2147483649", INT32_MIN},
        {"12abc", 12},
        {"abc", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(leading_int32(c.text), c.value) << c.text;
}

TEST(Decimal, WholeUnsignedTakesOnlyTheWholeText) {
    const struct {
        const char* text;
        bool ok;
    } cases[] = {
        {"1", true},   {"20", true},  {"21", false}, {"0", false}, {"005", false},
        {"+5", false}, {" 5", false}, {"5 ", false}, {"", false},  {"-1", false},
    };
    for (const auto& c : cases) {
        std::int64_t value = -1;
        EXPECT_EQ(whole_unsigned(c.text, 2, 1, 20, value), c.ok) << '"' << c.text << '"';
    }
}

TEST(Decimal, SkipsTheBlanksTheCLibrarySkips) {
    EXPECT_STREQ(after_blanks(" \t\n\v\f\r-5"), "-5");
    EXPECT_STREQ(after_blanks("5 "), "5 ");
    EXPECT_STREQ(after_blanks("\x01 5"), "\x01 5");
}

TEST(Decimal, WritesEveryDigitOnce) {
    for (std::uint64_t n : {0ULL, 7ULL, 10ULL, 1234567890ULL, 18446744073709551615ULL}) {
        char out[21] = {};
        const int count = write_decimal(n, out);
        EXPECT_EQ(std::string(out, count), std::to_string(n));
    }
}

}  // namespace vargul
