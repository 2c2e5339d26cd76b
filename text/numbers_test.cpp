#include "text/numbers.h"

#include <gtest/gtest.h>

#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

#include "text/gbk_literal.h"

namespace tovmira {
namespace {

TEST(HalfWidthFold, FoldsFullWidthFormsAndKeepsTheRest) {
    struct Case {
        Text input;
        Text expected;
    };
    const Case cases[] = {
        {"", ""},
        {"abc 123", "abc 123"},
        {"２５"_gbk, "25"},
        {"ＡＢｃ！～"_gbk, "ABc!~"},
        {Text("\xA1\xA1"), " "},                               // full-width space
        {Text("\xA1\xAB"), "~"},                               // wave dash
        {Text("\xA1\xEE\xA1\xEF"), "**"},                      // the two star signs
        {Text("\xA3\xA1\xA3\xFE"), "!~"},                      // both ends of the A3 row
        {Text("\xA3\xA0\xA3\xFF"), Text("\xA3\xA0\xA3\xFF")},  // just outside it
        {"日期"_gbk, "日期"_gbk},
        {Text("12\xA3"), "12"},  // a lone lead byte at the end is dropped
        {Text("\xA3\xB1") + "x" + Text("\xD6"), "1x"},
        // A trail byte in the ASCII range belongs to its lead byte and is not read alone.
        {Text("\x81\x41"
              "A"),
         Text("\x81\x41"
              "A")},
    };
    for (const Case& c : cases) EXPECT_EQ(half_width_fold(c.input), c.expected) << c.input;
}

TEST(TextToInteger, ReadsSignAndLeadingDigits) {
    struct Case {
        Text input;
        int expected;
    };
    const Case cases[] = {
        {"", 0},
        {"abc", 0},
        {"25", 25},
        {"２５"_gbk, 25},
        {" 25,", 25},
        {"  -42abc", -42},
        {"\t\n\v\f\r+7", 7},
        {"12.7", 12},
        {"0x1F", 0},
        {"1e5", 1},
        {"- 5", 0},
        {"+-5", 0},
        {"－３"_gbk, -3},  // full-width minus and digit
        {Text("\xA1\xA1") + "9", 9},
        {"007", 7},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        // Overflow wraps modulo 2^32 as 32-bit arithmetic does.
        {"2147483648", INT_MIN},
        {"4294967295", -1},
        {"4294967296", 0},
        {"4294967301", 5},
        {"-4294967297", -1},
        {"99999999999999999999", 1661992959},
    };
    for (const Case& c : cases) EXPECT_EQ(text_to_integer(c.input), c.expected) << c.input;
}

TEST(IntegerToText, WritesDecimalDigits) {
    struct Case {
        int input;
        const char* expected;
    };
    const Case cases[] = {
        {0, "0"},
        {7, "7"},
        {-12, "-12"},
        {40, "40"},
        {INT_MAX, "2147483647"},
        {INT_MIN, "-2147483648"},
        {-1, "-1"},
    };
    for (const Case& c : cases) EXPECT_EQ(integer_to_text(c.input), Text(c.expected)) << c.input;
    for (int i : {0, 1, -1, 12345, INT_MAX, INT_MIN})
        EXPECT_EQ(text_to_integer(integer_to_text(i)), i);
}

double from_bits(std::uint64_t bits) {
    return std::bit_cast<double>(bits);
}

TEST(NumberToText, WritesThirteenSignificantDigits) {
    struct Case {
        double input;
        const char* expected;
    };
    const Case cases[] = {
        {50, "50"},
        {33.33, "33.33"},
        {100, "100"},
        {0.05, "0.05"},
        {0.0001, "0.0001"},
        {0.00001234, "1.234e-005"},
        {1e20, "1e+020"},
        {1234567890123456, "1.234567890123e+015"},
        {-2.35, "-2.35"},
        {0.0, "0"},
        {-0.0, "0"},
        {1.0 / 3, "0.3333333333333"},
        {2.0 / 3, "0.6666666666667"},
        {-2.0 / 3, "-0.6666666666667"},
        {0.1 + 0.2, "0.3"},
        // Exponent boundaries: -5 and 13 switch to exponent form, -4 and 12 do not.
        {0.00012345, "0.00012345"},
        {0.000012345, "1.2345e-005"},
        {999999999999.0, "999999999999"},
        {1e12, "1000000000000"},
        {9999999999999.0, "9999999999999"},
        {1e13, "1e+013"},
        // Rounding to 13 digits can carry into a new leading digit and change the form.
        {99999999999999.0, "1e+014"},
        {0.000099999999999999, "0.0001"},
        // Exact halves at the 14th digit round up, not to even.
        {1234567890122.5, "1234567890123"},
        {1234567890123.5, "1234567890124"},
        {-1234567890122.5, "-1234567890123"},
        {0.5, "0.5"},
        // Just below a half stays down even though a 17-digit rendering would show a 5.
        {1234567890122.4998, "1234567890122"},
        {1.7976931348623157e308, "1.797693134862e+308"},
        {4.9406564584124654e-324, "4.940656458412e-324"},
        {2.2250738585072014e-308, "2.225073858507e-308"},
        {1e100, "1e+100"},
        {123456.789, "123456.789"},
    };
    for (const Case& c : cases) EXPECT_EQ(number_to_text(c.input), Text(c.expected)) << c.expected;
}

// Away from exact halves, which random values never hit, the result is printf's "%.13g" with
// the exponent widened to three digits.
TEST(NumberToText, AgreesWithPrintfOverRandomValues) {
    std::mt19937_64 random(20200828);
    for (int i = 0; i < 20000; ++i) {
        double x = i % 2 == 0 ? from_bits(random())
                              : static_cast<double>(random() % 100000000) /
                                    std::pow(10.0, static_cast<int>(random() % 30) - 10);
        if (!std::isfinite(x) || x == 0) continue;
        char printed[64];
        std::snprintf(printed, sizeof printed, "%.13g", x);
        std::string expected = printed;
        std::size_t e = expected.find('e');
        if (e != std::string::npos && expected.size() - e == 4) expected.insert(e + 2, "0");
        ASSERT_EQ(number_to_text(x), Text(expected.c_str())) << printed;
    }
}

TEST(NumberToText, WritesNotANumberAndInfinityInTheirSpecialForms) {
    volatile double zero = 0;
    EXPECT_EQ(number_to_text(zero / zero), Text("-1.#IND"));
    EXPECT_EQ(number_to_text(from_bits(0xFFF8000000000000ull)), Text("-1.#IND"));
    EXPECT_EQ(number_to_text(std::numeric_limits<double>::quiet_NaN()), Text("1.#QNAN"));
    EXPECT_EQ(number_to_text(from_bits(0xFFF8000000000001ull)), Text("-1.#QNAN"));
    EXPECT_EQ(number_to_text(from_bits(0x7FF0000000000001ull)), Text("1.#QNAN"));  // signalling
    EXPECT_EQ(number_to_text(from_bits(0xFFF0000000000001ull)), Text("-1.#QNAN"));
    EXPECT_EQ(number_to_text(std::numeric_limits<double>::infinity()), Text("1.#INF"));
    EXPECT_EQ(number_to_text(-std::numeric_limits<double>::infinity()), Text("-1.#INF"));
}

TEST(RoundTo, RoundsHalvesAwayFromZeroWithTheNudge) {
    struct Case {
        double input;
        int decimals;
        const char* expected;  // as number_to_text writes the result
    };
    const Case cases[] = {
        {100.0 * 1 / 3, 2, "33.33"},
        {100.0 * 2 / 3, 2, "66.67"},
        {100.0 * 1 / 7, 2, "14.29"},
        {0, 2, "0"},
        {100, 2, "100"},
        {0.125, 2, "0.13"},
        {-2.345, 2, "-2.35"},
        {1.005, 2, "1.01"},
        {-1.005, 2, "-1.01"},
        {2.5, 0, "3"},
        {-2.5, 0, "-3"},
        {2.4999, 0, "2"},
        {0.004, 2, "0"},
        {1234.5678, 3, "1234.568"},
        {1250, -2, "1300"},
        {1249, -2, "1200"},
        {-1550, -2, "-1600"},
        {4.4, -1, "0"},
        {5, -1, "10"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(number_to_text(round_to(c.input, c.decimals)), Text(c.expected))
            << c.input << " to " << c.decimals;
}

TEST(RoundTo, HandsBackZeroNotANumberAndInfinity) {
    volatile double zero = 0;
    double nan = zero / zero * 100;
    EXPECT_EQ(std::bit_cast<std::uint64_t>(round_to(nan, 2)), std::bit_cast<std::uint64_t>(nan));
    EXPECT_EQ(number_to_text(round_to(nan, 2)), Text("-1.#IND"));
    EXPECT_TRUE(std::signbit(round_to(-0.0, 2)));
    double infinity = std::numeric_limits<double>::infinity();
    EXPECT_EQ(round_to(infinity, 2), infinity);
    EXPECT_EQ(round_to(-infinity, 2), -infinity);
    EXPECT_EQ(round_to(1e300, 2), 1e300);
}

}  // namespace
}  // namespace tovmira
