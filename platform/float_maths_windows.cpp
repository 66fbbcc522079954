// glibc's float sine, cosine and base-10 logarithm, step for step, so that
// the Windows build computes the bits the Linux one does. sinf and cosf
// evaluate in double: the argument reduced to [-pi/4, pi/4] by one multiply
// below 120, by a 192-bit table of 4/pi above, then a polynomial of sine or
// cosine by quadrant (Arm's optimized routines, MIT licence). log10f is the
// Sun algorithm in float around the table-driven logf (Arm's, MIT): k log10(2)
// in two parts plus log(m) / ln(10). Every operation keeps its order: a
// reordered sum rounds differently. (Their notices: packaging/windows/
// float-maths.txt, in the zip's licences.)

#include "platform/float_maths.h"

#include <bit>
#include <cstdint>
#include <limits>

namespace {

// One quadrant's constants; the second table gives -cos, negation for free.
struct SinCosTable {
  double sign[4];
  double hpiInv;  // 2/pi * 2^24: the quadrant comes out * 2^24
  double hpi;     // pi/2
  double c0, c1, c2, c3, c4;  // cosine polynomial
  double s1, s2, s3;          // sine polynomial
};
constexpr SinCosTable kSinCos[2] = {
    {{1.0, -1.0, -1.0, 1.0}, 0x1.45F306DC9C883p+23, 0x1.921FB54442D18p0, 0x1p0, -0x1.ffffffd0c621cp-2,
     0x1.55553e1068f19p-5, -0x1.6c087e89a359dp-10, 0x1.99343027bf8c3p-16, -0x1.555545995a603p-3,
     0x1.1107605230bc4p-7, -0x1.994eb3774cf24p-13},
    {{1.0, -1.0, -1.0, 1.0}, 0x1.45F306DC9C883p+23, 0x1.921FB54442D18p0, -0x1p0, 0x1.ffffffd0c621cp-2,
     -0x1.55553e1068f19p-5, 0x1.6c087e89a359dp-10, -0x1.99343027bf8c3p-16, -0x1.555545995a603p-3,
     0x1.1107605230bc4p-7, -0x1.994eb3774cf24p-13},
};
// 4/pi to 192 bits, 8 new bits an entry so that no read is unaligned.
constexpr uint32_t kInvPio4[24] = {
    0xa2,       0xa2f9,     0xa2f983,   0xa2f9836e, 0xf9836e4e, 0x836e4e44, 0x6e4e4415, 0x4e441529,
    0x441529fc, 0x1529fc27, 0x29fc2757, 0xfc2757d1, 0x2757d1f5, 0x57d1f534, 0xd1f534dd, 0xf534ddc0,
    0x34ddc0db, 0xddc0db62, 0xc0db6295, 0xdb629599, 0x6295993c, 0x95993c43, 0x993c4390, 0x3c439041};
constexpr double kPi64 = 0x1.921FB54442D18p-62;  // pi * 2^-64
constexpr float kPio4 = 0x1.921FB54442D18p-1;

// The sign and the exponent with the top mantissa bits: compares magnitudes.
uint32_t AbsTop12(float x) { return (std::bit_cast<uint32_t>(x) >> 20) & 0x7ff; }

// Sine of x (x2 = x * x) in an even quadrant n, cosine in an odd one.
float Polynomial(double x, double x2, const SinCosTable& p, int n) {
  if ((n & 1) == 0) {
    const double x3 = x * x2;
    const double s1 = p.s2 + x2 * p.s3;
    const double x7 = x3 * x2;
    const double s = x + x3 * p.s1;
    return static_cast<float>(s + x7 * s1);
  }
  const double x4 = x2 * x2;
  const double c2 = p.c3 + x2 * p.c4;
  const double c1 = p.c0 + x2 * p.c1;
  const double x6 = x4 * x2;
  const double c = c1 + x4 * p.c2;
  return static_cast<float>(c + x6 * c2);
}

// x modulo pi/2 for |x| < 120, its quadrant in n.
double ReduceFast(double x, const SinCosTable& p, int& n) {
  const double r = x * p.hpiInv;
  n = (static_cast<int>(r) + 0x800000) >> 24;
  return x - n * p.hpi;
}

// The float with bits xi (|x| >= 120) modulo pi/2 by fixed-point arithmetic
// on 4/pi, its quadrant in n.
double ReduceLarge(uint32_t xi, int& n) {
  const uint32_t* arr = &kInvPio4[(xi >> 26) & 15];
  const int shift = (xi >> 23) & 7;
  xi = (xi & 0xffffff) | 0x800000;
  xi <<= shift;
  uint64_t res0 = static_cast<uint32_t>(xi * arr[0]);
  const uint64_t res1 = static_cast<uint64_t>(xi) * arr[4];
  const uint64_t res2 = static_cast<uint64_t>(xi) * arr[8];
  res0 = (res2 >> 32) | (res0 << 32);
  res0 += res1;
  const uint64_t quadrant = (res0 + (1ULL << 61)) >> 62;
  res0 -= quadrant << 62;
  n = static_cast<int>(quadrant);
  return static_cast<double>(static_cast<int64_t>(res0)) * kPi64;
}

// Sine (odd = 0) or cosine (odd = 1), which is the sine a quadrant on.
float SineOrCosine(float y, int odd) {
  double x = y;
  const SinCosTable* p = &kSinCos[0];
  int n = 0;
  if (AbsTop12(y) < AbsTop12(kPio4)) {
    if (AbsTop12(y) < AbsTop12(0x1p-12f)) return odd ? 1.0f : y;
    return Polynomial(x, x * x, *p, odd);
  }
  if (AbsTop12(y) < AbsTop12(120.0f)) {
    x = ReduceFast(x, *p, n);
    const double s = p->sign[n & 3];
    if (n & 2) p = &kSinCos[1];
    return Polynomial(x * s, x * x, *p, n ^ odd);
  }
  if (AbsTop12(y) < AbsTop12(std::numeric_limits<float>::infinity())) {
    const uint32_t xi = std::bit_cast<uint32_t>(y);
    const int sign = static_cast<int>(xi >> 31);
    x = ReduceLarge(xi, n);
    const double s = p->sign[(n + sign) & 3];
    if ((n + sign) & 2) p = &kSinCos[1];
    return Polynomial(x * s, x * x, *p, n ^ odd);
  }
  return y - y;  // infinity or NaN: NaN
}

// log(x) for x in 16 intervals around c: log1p(z/c - 1) + log(c) + k ln 2.
struct LogEntry {
  double invc, logc;
};
constexpr LogEntry kLogTable[16] = {
    {0x1.661ec79f8f3bep+0, -0x1.57bf7808caadep-2}, {0x1.571ed4aaf883dp+0, -0x1.2bef0a7c06ddbp-2},
    {0x1.49539f0f010bp+0, -0x1.01eae7f513a67p-2},  {0x1.3c995b0b80385p+0, -0x1.b31d8a68224e9p-3},
    {0x1.30d190c8864a5p+0, -0x1.6574f0ac07758p-3}, {0x1.25e227b0b8eap+0, -0x1.1aa2bc79c81p-3},
    {0x1.1bb4a4a1a343fp+0, -0x1.a4e76ce8c0e5ep-4}, {0x1.12358f08ae5bap+0, -0x1.1973c5a611cccp-4},
    {0x1.0953f419900a7p+0, -0x1.252f438e10c1ep-5}, {0x1p+0, 0x0p+0},
    {0x1.e608cfd9a47acp-1, 0x1.aa5aa5df25984p-5},  {0x1.ca4b31f026aap-1, 0x1.c5e53aa362eb4p-4},
    {0x1.b2036576afce6p-1, 0x1.526e57720db08p-3},  {0x1.9c2d163a1aa2dp-1, 0x1.bc2860d22477p-3},
    {0x1.886e6037841edp-1, 0x1.1058bc8a07ee1p-2},  {0x1.767dcf5534862p-1, 0x1.4043057b6ee09p-2},
};
constexpr double kLn2 = 0x1.62e42fefa39efp-1;
constexpr double kLogPoly[3] = {-0x1.00ea348b88334p-2, 0x1.5575b0be00b6ap-2, -0x1.ffffef20a4123p-2};

float LogF(float x) {
  uint32_t ix = std::bit_cast<uint32_t>(x);
  if (ix == 0x3f800000) return 0.0f;
  if (ix - 0x00800000 >= 0x7f800000 - 0x00800000) {
    if (ix * 2 == 0) return -std::numeric_limits<float>::infinity();
    if (ix == 0x7f800000) return x;
    if ((ix & 0x80000000) || ix * 2 >= 0xff000000) return std::numeric_limits<float>::quiet_NaN();
    ix = std::bit_cast<uint32_t>(x * 0x1p23f);  // subnormal: normalized
    ix -= 23 << 23;
  }
  constexpr uint32_t kOff = 0x3f330000;
  const uint32_t tmp = ix - kOff;
  const int i = static_cast<int>((tmp >> (23 - 4)) % 16);
  const int k = static_cast<int32_t>(tmp) >> 23;
  const uint32_t iz = ix - (tmp & (0x1ffu << 23));
  const double z = std::bit_cast<float>(iz);
  const double r = z * kLogTable[i].invc - 1;
  const double y0 = kLogTable[i].logc + static_cast<double>(k) * kLn2;
  const double r2 = r * r;
  double y = kLogPoly[1] * r + kLogPoly[2];
  y = kLogPoly[0] * r2 + y;
  y = y * r2 + (y0 + r);
  return static_cast<float>(y);
}

}  // namespace

float SinF(float x) { return SineOrCosine(x, 0); }
float CosF(float x) { return SineOrCosine(x, 1); }

float Log10F(float x) {
  constexpr float kTwo25 = 3.3554432000e+07f;
  constexpr float kInvLn10 = 4.3429449201e-01f;
  constexpr float kLog10Of2High = 3.0102920532e-01f;
  constexpr float kLog10Of2Low = 7.9034151668e-07f;
  int32_t hx = std::bit_cast<int32_t>(x);
  int32_t k = 0;
  if (hx < 0x00800000) {
    if ((hx & 0x7fffffff) == 0) return -std::numeric_limits<float>::infinity();
    if (hx < 0) return std::numeric_limits<float>::quiet_NaN();
    k -= 25;  // subnormal: scaled up
    x *= kTwo25;
    hx = std::bit_cast<int32_t>(x);
  }
  if (hx >= 0x7f800000) return x + x;
  k += (hx >> 23) - 127;
  // The mantissa in [1, 2), or in [0.5, 1) with k one up when k < 0.
  const int32_t i = static_cast<int32_t>((static_cast<uint32_t>(k) & 0x80000000u) >> 31);
  hx = (hx & 0x007fffff) | ((0x7f - i) << 23);
  const float y = static_cast<float>(k + i);
  x = std::bit_cast<float>(hx);
  const float z = y * kLog10Of2Low + kInvLn10 * LogF(x);
  return z + y * kLog10Of2High;
}
