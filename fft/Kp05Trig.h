// Cosine and sine in extended precision for the plan's tables. The library's
// own reduction to |r| <= pi/4 keeps the C library on its fast path: building
// the tables of a 131072-point plan took most of a second without it.
#pragma once

namespace kp05 {

long double Cos(long double angle);
long double Sin(long double angle);

}  // namespace kp05
