// 64-bit division by shifts and subtractions: no 64-bit divide is written here, so the
// compiler emits no call to its own helpers while compiling the stand-ins for them.
#include "arith64.h"

#include <stddef.h>

static const uint64_t topBit64 = (uint64_t)1 << 63;

// Restoring division: the divisor is shifted up under the dividend, then one quotient bit
// is decided per step on the way back down.
static uint64_t DivideByShifting(uint64_t dividend, uint64_t divisor, uint64_t *remainder)
{
    uint64_t bit = 1;
    while (divisor < dividend && !(divisor & topBit64)) {
        divisor <<= 1;
        bit <<= 1;
    }
    uint64_t quotient = 0;
    while (bit) {
        if (dividend >= divisor) {
            dividend -= divisor;
            quotient |= bit;
        }
        divisor >>= 1;
        bit >>= 1;
    }
    *remainder = dividend;
    return quotient;
}

uint64_t DivideUnsigned64(uint64_t dividend, uint64_t divisor, uint64_t *remainder)
{
    uint64_t rest;
    uint64_t quotient;
    if (divisor == 0) {
        volatile uint32_t zero = 0;
        quotient = (uint32_t)dividend / zero;
        rest = 0;
    } else if ((dividend >> 32) == 0 && (divisor >> 32) == 0) {
        // Both fit 32 bits: one hardware division.
        uint32_t low = (uint32_t)dividend, by = (uint32_t)divisor;
        quotient = low / by;
        rest = low % by;
    } else {
        quotient = DivideByShifting(dividend, divisor, &rest);
    }
    if (remainder)
        *remainder = rest;
    return quotient;
}

static uint64_t Magnitude(int64_t value)
{
    return value < 0 ? (uint64_t)0 - (uint64_t)value : (uint64_t)value;
}

int64_t DivideSigned64(int64_t dividend, int64_t divisor, int64_t *remainder)
{
    uint64_t rest;
    uint64_t quotient = DivideUnsigned64(Magnitude(dividend), Magnitude(divisor), &rest);
    if ((dividend < 0) != (divisor < 0))
        quotient = (uint64_t)0 - quotient;
    if (dividend < 0)
        rest = (uint64_t)0 - rest;
    if (remainder)
        *remainder = (int64_t)rest;
    return (int64_t)quotient;
}
