// Catches size texts that differ from the list's by a digit: unit bounds tested on the
// rounded value instead of the exact count, double instead of single precision, 1024-based
// units, and parsing that is case-blind or converts a negative product.
#include "appsManager/AMPublicUtilities.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(AMPublicUtilitiesSizeText, WritesTheListsDigits) {
    struct Case {
        std::uint64_t bytes;
        const char* text;
        const char* number;
    };
    const Case cases[] = {
        {0, "0.00 KB", "0.00"},
        {1, "0.00 KB", "0.00"},
        {999, "1.00 KB", "1.00"},
        {1500, "1.50 KB", "1.50"},
        {999999, "1000.00 KB", "1000.00"},
        {1000000, "1.00 MB", "1.00"},
        {12345678, "12.35 MB", "12.35"},
        {999999999, "1000.00 MB", "1000.00"},
        {1000000000, "1.00 GB", "1.00"},
        {1234567890123, "1234.57 GB", "1234.57"},
        {1000000000000, "1000.00 GB", "1000.00"},
        {1024, "1.02 KB", "1.02"},
        // 16777217 has no float: it rounds to 16777216 before the division.
        {16777217, "16.78 MB", "16.78"},
        {UINT64_MAX, "18446743552.00 GB", "18446743552.00"},  // single-precision quotient
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AMPublicUtilities::convertVolSpace(c.bytes), c.text) << c.bytes;
        EXPECT_EQ(AMPublicUtilities::getSizeNoB(c.bytes), c.number) << c.bytes;
    }
}

TEST(AMPublicUtilitiesSizeText, ReadsBackWithSinglePrecision) {
    struct Case {
        NSStringOpt text;
        std::uint64_t bytes;
    };
    const Case cases[] = {
        {std::nullopt, 0},
        {"", 0},
        {"0KB", 0},
        {"0.00 KB", 0},
        {"1.50 KB", 1500},
        {"12.35 MB", 12350000},
        {"12.35MB", 12350000},
        {"999.99 MB", 999990016},
        {"1.00 GB", 1000000000},
        {"1.00 TB", 999999995904},
        {"5 kb", 0},
        {"5 KB", 5000},
        {"MB", 0},
        {"abc MB", 0},
        {"12.35 XB", 0},
        {"7", 0},
        {"-5.00 KB", 0},
        {"-5.00 MB", 0},
        {"1e30 TB", UINT64_MAX},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AMPublicUtilities::volSpaceFromString(c.text), c.bytes)
            << c.text.value_or("(nil)");
}

TEST(AMPublicUtilitiesSizeText, RoundTripOfSummedSizes) {
    // The freed-space report adds read-back values and writes the sum again.
    std::uint64_t sum =
        AMPublicUtilities::volSpaceFromString(AMPublicUtilities::convertVolSpace(12345678)) +
        AMPublicUtilities::volSpaceFromString(AMPublicUtilities::convertVolSpace(1500));
    EXPECT_EQ(sum, 12351500u);
    EXPECT_EQ(AMPublicUtilities::convertVolSpace(sum), "12.35 MB");
}

}  // namespace
