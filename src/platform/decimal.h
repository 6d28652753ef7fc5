#pragma once

#include <cstdint>

namespace vargul {

// Decimal integers in text, read and written without the C library's locale
// or allocation.

// What read_decimal found at the start of the text.
struct DecimalRead {
    std::int64_t value;  // saturated at the int64 bounds; 0 when there are no digits
    const char* end;     // the first character not read
    bool has_digits;
};

// Reads an optional sign ('+' or '-', only when `signed_text`), then the
// digits that follow; stops at the first other character. Blanks are not
// skipped: each caller decides what may come before and after a number.
DecimalRead read_decimal(const char* text, bool signed_text);

// Past the blanks that strtol and atoi skip before a number: space, \t \n \v \f \r.
constexpr const char* after_blanks(const char* p) {
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    return p;
}

// The leading integer of a protocol field: a sign, then digits, saturated at
// the int32 bounds ("-99999999999" is INT32_MIN); no digits read as 0 and
// text after the digits is ignored.
std::int32_t leading_int32(const char* text);

// True when the whole of `text` is one number within [low, high], written
// with at most `max_digits` digits and no sign.
bool whole_unsigned(const char* text, int max_digits, std::int64_t low, std::int64_t high, std::int64_t& value);

// Writes n's digits, most significant first, without a terminator; returns
// how many (at most 20).
int write_decimal(std::uint64_t n, char* out);

}  // namespace vargul
