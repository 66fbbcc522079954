// The float sine, cosine and base-10 logarithm the show draws with, the same
// bits on every system: glibc's on Linux (float_maths_posix.cpp), and on
// Windows the same algorithms rebuilt (float_maths_windows.cpp), since the
// MinGW-w64 runtime rounds about one sine in eighty and one logarithm in
// thirty differently, enough to move pixels and break the frame-for-frame
// likeness of the two builds. Angles in radians.
#pragma once

float SinF(float x);
float CosF(float x);
float Log10F(float x);
