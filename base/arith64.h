// 64-bit division built from 32-bit operations only, so the program carries its own
// i486-safe stand-ins for the compiler's division helpers (runtime_win32.cpp).
#ifndef TARROW_ARITH64_H
#define TARROW_ARITH64_H

#include <stdint.h>

// Quotient of dividend / divisor; the remainder goes to *remainder when it is not NULL.
// A zero divisor divides by zero in 32 bits, so it traps as the hardware division does.
uint64_t DivideUnsigned64(uint64_t dividend, uint64_t divisor, uint64_t *remainder);

// C division: the quotient is cut towards zero and the remainder has the dividend's sign.
int64_t DivideSigned64(int64_t dividend, int64_t divisor, int64_t *remainder);

#endif
