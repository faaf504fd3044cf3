#include "design/root_finder.h"

#include <array>
#include <cmath>

#include "design/filter_spec.h"

namespace qv {
namespace {

constexpr int kMaxIterations = 1000;
constexpr double kSecantDamping = 0.1;
// Both searches start from the same two points for every root.
constexpr Complex kStartA{0.707, 0.5};
constexpr Complex kStartB{-0.5, -0.707};
// Above this |im/re| a root counts as complex and its conjugate is taken as the next root.
constexpr double kComplexRatio = 0.001;

using WorkingPolynomial = std::array<Complex, kMaxCoefficients + 1>;

// p(x) = sum C[k] x^k for k = 0..degree, powers by repeated multiplication.
Complex Evaluate(const WorkingPolynomial& c, int degree, Complex x) {
  Complex sum{};
  Complex power{1.0, 0.0};
  for (int k = 0; k <= degree; ++k) {
    sum = sum + c[k] * power;
    power = power * x;
  }
  return sum;
}

// Synthetic division by (x - root); the remainder is dropped.
void Deflate(WorkingPolynomial& c, int& degree, Complex root) {
  if (degree < 1) return;
  WorkingPolynomial quotient{};
  for (int k = degree; k >= 1; --k) {
    quotient[k - 1] = c[k];
    c[k - 1] = c[k - 1] + root * c[k];
  }
  c = quotient;
  --degree;
}

// One damped secant search from the fixed start points. Returns false when no point is
// accepted within the iteration limit.
bool SearchRoot(const WorkingPolynomial& c, int degree, double tol, Complex& root) {
  Complex xa = kStartA;
  Complex xb = kStartB;
  for (int iteration = 0; iteration < kMaxIterations; ++iteration) {
    const Complex fa = Evaluate(c, degree, xa);
    const Complex fb = Evaluate(c, degree, xb);
    const Complex r = Divide(fb * (xb - xa), fb - fa);
    const Complex next = xb - kSecantDamping * r;
    xa = xb;
    xb = next;
    // The acceptance test judges the point the step started from, yet the root is the point
    // after the step.
    if (Magnitude(fb) <= tol) {
      root = next;
      return true;
    }
  }
  return false;
}

}  // namespace

int FindRoots(int degree, std::span<const double> coef, std::span<Complex> roots, double tol) {
  if (degree < 1 || degree > kMaxOrder || coef.size() < static_cast<std::size_t>(degree) + 1 ||
      roots.size() < static_cast<std::size_t>(degree) + 1) {
    return kRootsNotFound;
  }
  WorkingPolynomial c{};
  for (int k = 0; k <= degree; ++k) c[k] = {coef[degree - k], 0.0};

  int current = degree;
  int found = 0;
  while (found < degree) {
    Complex root{};
    if (!SearchRoot(c, current, tol, root)) return kRootsNotFound;
    roots[found++] = root;
    Deflate(c, current, root);
    if (std::abs(root.im / root.re) > kComplexRatio) {
      const Complex conjugate = Conjugate(root);
      roots[found++] = conjugate;
      Deflate(c, current, conjugate);
    }
  }
  return 0;
}

}  // namespace qv
