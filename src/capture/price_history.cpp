#include "capture/price_history.h"

#include <cmath>

#include "store/literal.h"

namespace capture {

std::string previousPricesStatement(const PriceKey& key, const text::Date& date) {
  return "SELECT top 5 Pre_min, Pre_max, Pre_frec, Pre_uni, Fecha from Reg_Pre  where Cve_Mod=" +
         store::sqlText(key.module) + " " + " and Cve_des=" + store::sqlInteger(key.destination) +
         " and Cve_prod=" + store::sqlInteger(key.product) +
         " and Cve_pres=" + store::sqlInteger(key.presentation) +
         " and Cve_ori=" + store::sqlInteger(key.origin) + " and Fecha<" + store::sqlDate(date) +
         " " + " order by Fecha desc ";
}

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
