#include "platform/decimal.h"

namespace vargul {

DecimalRead read_decimal(const char* text, bool signed_text) {
    const char* p = text;
    bool negative = false;
    if (signed_text && (*p == '+' || *p == '-')) negative = *p++ == '-';
    // Accumulated as a negative number so that INT64_MIN fits too.
    constexpr std::int64_t kLow = INT64_MIN;
    std::int64_t value = 0;
    const char* digits = p;
    for (; *p >= '0' && *p <= '9'; ++p) {
        const int digit = *p - '0';
        value = value < (kLow + digit) / 10 ? kLow : value * 10 - digit;
    }
    if (!negative) value = value == kLow ? INT64_MAX : -value;
    return {value, p, p != digits};
}

std::int32_t leading_int32(const char* text) {
    const std::int64_t value = read_decimal(text, true).value;
    if (value < INT32_MIN) return INT32_MIN;
    if (value > INT32_MAX) return INT32_MAX;
    return static_cast<std::int32_t>(value);
}

bool whole_unsigned(const char* text, int max_digits, std::int64_t low, std::int64_t high, std::int64_t& value) {
    const DecimalRead read = read_decimal(text, false);
    if (!read.has_digits || *read.end || read.end - text > max_digits) return false;
    value = read.value;
    return value >= low && value <= high;
}

int write_decimal(std::uint64_t n, char* out) {
    char digits[20];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n);
    for (int i = 0; i < count; ++i) out[i] = digits[count - 1 - i];
    return count;
}

}  // namespace vargul
