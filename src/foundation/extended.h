// SPDX-License-Identifier: MIT
// Extended: the program's 80-bit extended value (64-bit significand, 15-bit
// exponent), with + - * /, comparisons and negation as operators, and the
// operations every backend provides alike:
//
//   BitsOf(x), ExtendedFromBits(bits)   the value's fields, and back
//   MakeExtended(negative, e, m)        a normal constant from its fields
//   Abs(x), Infinity()
//   StoreDouble(x)     rounds to double: the one rounding point helper,
//                      which also raises a trapped overflow or invalid
//                      operation there
//   RoundToInt64(x)    to the nearest 64-bit integer, ties to even
//   ExtendedSine(x)    the unit's sine; +0.0 from magnitude 2^63 on
//   ResetArithmetic(w) clears pending conditions and sets the control word
//                      (arithmetic_policy.h); RaisePendingFaults() makes a
//                      pending unmasked condition fault now. Nothing to do
//                      for the software backend, which faults at once.
//
// Construction from double, float and integers is explicit in spirit: write
// Extended(x) wherever a double enters an extended operation.
//
// The backend: the x87 unit where long double is its 80-bit type, and the
// bit-exact software arithmetic everywhere else (or when the build asks
// for it). Invalid operation, division by zero and overflow fault in both,
// exactly where the program's control word makes the x87 trap.
#pragma once

#if SURVEY_SOFT_EXTENDED
#include "foundation/soft/extended_soft.h"
#else
#include "foundation/x87/extended_x87.h"
#endif
