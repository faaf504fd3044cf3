#include "analysis/compensated_horner.h"

namespace qv {
namespace {

// Dekker's splitting constant for a 64-bit significand: 2^32 + 1.
constexpr long double kSplitter = 4294967297.0L;

// a + b = sum + error exactly (Knuth).
void TwoSum(long double a, long double b, long double& sum, long double& error) {
  sum = a + b;
  const long double bb = sum - a;
  error = (a - (sum - bb)) + (b - bb);
}

// a = high + low, each half of the significand.
void Split(long double a, long double& high, long double& low) {
  const long double c = kSplitter * a;
  high = c - (c - a);
  low = a - high;
}

// a * b = product + error exactly (Dekker).
void TwoProduct(long double a, long double b, long double& product, long double& error) {
  product = a * b;
  long double ah = 0.0L;
  long double al = 0.0L;
  long double bh = 0.0L;
  long double bl = 0.0L;
  Split(a, ah, al);
  Split(b, bh, bl);
  error = ((ah * bh - product) + ah * bl + al * bh) + al * bl;
}

}  // namespace

std::complex<long double> CompensatedHorner(std::span<const double> c,
                                            std::complex<long double> z) {
  const long double zr = z.real();
  const long double zi = z.imag();
  long double re = 0.0L;
  long double im = 0.0L;
  // The rounding errors of the steps so far, themselves carried by Horner's rule.
  std::complex<long double> carried = 0.0L;
  for (std::size_t k = c.size(); k-- > 0;) {
    long double p1 = 0.0L;
    long double e1 = 0.0L;
    long double p2 = 0.0L;
    long double e2 = 0.0L;
    long double p3 = 0.0L;
    long double e3 = 0.0L;
    long double p4 = 0.0L;
    long double e4 = 0.0L;
    TwoProduct(re, zr, p1, e1);
    TwoProduct(im, zi, p2, e2);
    TwoProduct(re, zi, p3, e3);
    TwoProduct(im, zr, p4, e4);
    long double real = 0.0L;
    long double e5 = 0.0L;
    long double e6 = 0.0L;
    long double e7 = 0.0L;
    TwoSum(p1, -p2, real, e5);
    TwoSum(p3, p4, im, e6);
    TwoSum(real, static_cast<long double>(c[k]), re, e7);
    carried = carried * z + std::complex<long double>(e1 - e2 + e5 + e7, e3 + e4 + e6);
  }
  return std::complex<long double>(re, im) + carried;
}

}  // namespace qv
