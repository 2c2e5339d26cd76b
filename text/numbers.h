// Conversions between texts, integers and reals: the page count read from a page, page numbers
// written into addresses, shares rounded to two decimals and written as text.
#pragma once

#include "text/types.h"

namespace tovmira {

// Full-width spaces, digits, letters and signs (A3 A1..A3 FE, A1 A1, A1 AB, A1 EE/EF) become
// their single-byte forms; a malformed last lead byte is dropped.
Text half_width_fold(TextView text);

// Leading white space, an optional sign, decimal digits in wrapping 32-bit arithmetic; no digits
// give 0. '  -42abc' gives -42, '12.7' gives 12, '２５' gives 25.
int text_to_integer(TextView text);

// The decimal digits of `value` with a leading "-" when negative; 0 gives "0" and INT_MIN
// gives "-2147483648".
Text integer_to_text(int value);

// As printf's "%.13g" but with exact halves rounded up and three-digit exponents ('1e+020',
// '1.234e-005'); the NaN of 0/0 is "-1.#IND", other NaNs "1.#QNAN" (signed), infinities
// "1.#INF" and "-1.#INF"; zero of either sign is "0".
Text number_to_text(double x);

// x rounded to n decimals, halves away from zero, with a nudge of 1e-12 so that products a few
// units below a half still round up (1.005 gives 1.01); a negative n rounds to tens (-1),
// hundreds (-2) and so on. Zero, NaN and infinities come back unchanged.
double round_to(double x, int n);

}  // namespace tovmira
