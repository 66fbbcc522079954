// The C library's own float functions.

#include "platform/float_maths.h"

#include <cmath>

float SinF(float x) { return std::sin(x); }
float CosF(float x) { return std::cos(x); }
float Log10F(float x) { return std::log10(x); }
