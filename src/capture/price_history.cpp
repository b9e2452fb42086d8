#include "capture/price_history.h"

#include <cmath>

namespace capture {

double referencePrice(const std::vector<double>& minimums) {
  double sum = 0;
  int positive = 0;
  for (double minimum : minimums) {
    sum += minimum;
    if (minimum > 0) ++positive;
  }
  return positive == 0 ? 0 : sum / positive;
}

bool variesTooMuch(double minimum, double reference) {
  if (minimum <= 0 || reference == 0) return false;
  // A departure of exactly 30% must not warn, whatever binary fractions make of it.
  constexpr double kTolerance = 1e-9;
  return std::fabs(minimum - reference) / reference > 0.3 + kTolerance;
}

}  // namespace capture
