// The 64-bit division that stands in for the compiler's helpers in tarrow.exe, checked
// against the host's own division.
#include "base/arith64.h"

#include <gtest/gtest.h>

struct UnsignedCase {
    uint64_t dividend;
    uint64_t divisor;
};

static const UnsignedCase unsignedCases[] = {
    {0, 1},
    {7, 7},
    {6, 7},
    {0xFFFFFFFFull, 3},                      // both fit 32 bits
    {0x100000000ull, 3},                     // dividend just past 32 bits
    {1536ull * 1024 * 1024 * 1024, 1 << 30}, // a 1.5 TB drive in GB
    {0xFFFFFFFFFFFFFFFFull, 1},
    {0xFFFFFFFFFFFFFFFFull, 0xFFFFFFFFFFFFFFFFull},
    {0xFFFFFFFFFFFFFFFFull, 0x8000000000000000ull}, // divisor with its top bit set
    {0x8000000000000000ull, 0xFFFFFFFFFFFFFFFFull},
    {0x123456789ABCDEF0ull, 0x100000001ull}, // divisor past 32 bits
    {0x123456789ABCDEF0ull, 0xFFFFFFFFull},
    {12345678901234ull, 1000000},            // time-stamp ticks to MHz
    {5, 0x100000000ull},                     // divisor above the dividend
};

TEST(Arith64, UnsignedDivisionMatchesTheHost)
{
    for (const UnsignedCase &c : unsignedCases) {
        uint64_t remainder = 0;
        uint64_t quotient = DivideUnsigned64(c.dividend, c.divisor, &remainder);
        EXPECT_EQ(c.dividend / c.divisor, quotient) << c.dividend << " / " << c.divisor;
        EXPECT_EQ(c.dividend % c.divisor, remainder) << c.dividend << " % " << c.divisor;
    }
}

struct SignedCase {
    int64_t dividend;
    int64_t divisor;
};

static const SignedCase signedCases[] = {
    {7, 2},
    {-7, 2},
    {7, -2},
    {-7, -2},
    {-1, 0x100000000ll},
    {INT64_MIN, 1},
    {INT64_MIN, INT64_MAX},
    {INT64_MAX, -3},
    {-0x123456789ABCll, 1000},
};

TEST(Arith64, SignedDivisionCutsTowardsZero)
{
    for (const SignedCase &c : signedCases) {
        int64_t remainder = 0;
        int64_t quotient = DivideSigned64(c.dividend, c.divisor, &remainder);
        EXPECT_EQ(c.dividend / c.divisor, quotient) << c.dividend << " / " << c.divisor;
        EXPECT_EQ(c.dividend % c.divisor, remainder) << c.dividend << " % " << c.divisor;
    }
}
