#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace capture {

// What the earlier prices of a record are looked up by.
struct PriceKey {
  std::string module;
  std::int64_t destination = 0;
  std::int64_t product = 0;
  std::int64_t presentation = 0;
  std::int64_t origin = 0;  // the sugar mill's number in "AZU"
};

// The reference of the variation warning: the sum of the minimum prices over the number
// of them greater than 0 (a price of 0 counts for nothing), or 0 when none is.
double referencePrice(const std::vector<double>& minimums);

// Whether a minimum price departs from the reference by strictly more than 30%. A price
// of 0 and a reference of 0 never do.
bool variesTooMuch(double minimum, double reference);

}  // namespace capture
