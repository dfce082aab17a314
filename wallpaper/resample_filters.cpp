// The seven reconstruction filters and their table. Each is evaluated in double precision and
// rounded once to single precision, so a weight does not depend on how the compiler orders the
// single-precision steps.
#include <cmath>

#include "wallpaper/resample.h"

namespace dova {

namespace {
constexpr double kPi = 3.14159265358979323846;

// sin(pi t) from additions and multiplications only, so that the weights come out the same
// whichever C library's sin the program is linked with. The argument is brought to
// [-0.5, 0.5] exactly; the series then converges far below single-precision rounding.
double SinPi(double t) {
  const double n = std::nearbyint(t);
  const double a = kPi * (t - n);  // t - n is exact
  const double a2 = a * a;
  // sin(a) = a - a^3 / 3! + a^5 / 5! - ... to a^23 / 23!, by Horner's rule.
  double p = -1.0 / 25852016738884976640000.0;
  p = 1.0 / 51090942171709440000.0 + a2 * p;
  p = -1.0 / 121645100408832000.0 + a2 * p;
  p = 1.0 / 355687428096000.0 + a2 * p;
  p = -1.0 / 1307674368000.0 + a2 * p;
  p = 1.0 / 6227020800.0 + a2 * p;
  p = -1.0 / 39916800.0 + a2 * p;
  p = 1.0 / 362880.0 + a2 * p;
  p = -1.0 / 5040.0 + a2 * p;
  p = 1.0 / 120.0 + a2 * p;
  p = -1.0 / 6.0 + a2 * p;
  const double sine = a + a * a2 * p;
  return std::fmod(n, 2.0) == 0.0 ? sine : -sine;
}

double Sinc(double t) {
  if (t == 0.0) return 1.0;
  return SinPi(t) / (kPi * t);
}
}  // namespace

float BoxFilter(float x) { return (x > -0.5f && x <= 0.5f) ? 1.0f : 0.0f; }

float TriangleFilter(float x) {
  const double a = std::fabs(static_cast<double>(x));
  return a < 1.0 ? static_cast<float>(1.0 - a) : 0.0f;
}

float HermiteFilter(float x) {
  const double a = std::fabs(static_cast<double>(x));
  if (a >= 1.0) return 0.0f;
  return static_cast<float>((2.0 * a - 3.0) * a * a + 1.0);
}

float BellFilter(float x) {
  const double a = std::fabs(static_cast<double>(x));
  if (a < 0.5) return static_cast<float>(0.75 - a * a);
  if (a < 1.5) {
    const double t = a - 1.5;
    return static_cast<float>(0.5 * t * t);
  }
  return 0.0f;
}

float SplineFilter(float x) {
  const double a = std::fabs(static_cast<double>(x));
  if (a < 1.0) return static_cast<float>(0.5 * a * a * a - a * a + 2.0 / 3.0);
  if (a < 2.0) {
    const double t = 2.0 - a;
    return static_cast<float>(t * t * t / 6.0);
  }
  return 0.0f;
}

float Lanczos3Filter(float x) {
  const double a = std::fabs(static_cast<double>(x));
  if (a >= 3.0) return 0.0f;
  return static_cast<float>(Sinc(a) * Sinc(a / 3.0));
}

float MitchellFilter(float x) {
  const double a = std::fabs(static_cast<double>(x));
  const double a2 = a * a;
  const double a3 = a2 * a;
  if (a < 1.0) return static_cast<float>((7.0 * a3 - 12.0 * a2 + 16.0 / 3.0) / 6.0);
  if (a < 2.0) {
    return static_cast<float>((-7.0 / 3.0 * a3 + 12.0 * a2 - 20.0 * a + 32.0 / 3.0) / 6.0);
  }
  return 0.0f;
}

const ResampleFilter ResampleFilters[7] = {
    {"Box", BoxFilter, 0.5f},           {"Triangle", TriangleFilter, 1.0f},
    {"Hermite", HermiteFilter, 1.0f},   {"Bell", BellFilter, 1.5f},
    {"B-Spline", SplineFilter, 2.0f},   {"Lanczos3", Lanczos3Filter, 3.0f},
    {"Mitchell", MitchellFilter, 2.0f},
};

const ResampleFilter& FilterForIndex(int index) {
  if (index < 0 || index >= 7) index = kDefaultFilterIndex;
  return ResampleFilters[index];
}

}  // namespace dova
