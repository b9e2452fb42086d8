// What the operator types into a price or volume box: reading, the price format, the save's
// number rule and the literal that goes into the statement, which must agree with each other.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "capture/price_record.h"
#include "store/error.h"
#include "store/literal.h"
#include "text/money.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string typed(reinterpret_cast<const char*>(data), size);
  text::readNumber(typed);
  const auto price = text::readPrice(typed);
  try {
    const std::string shown = text::FormatoPrecio(typed);
    // A price the program can read is shown in a form it reads back as the same amount.
    if (price && !shown.empty()) {
      const auto again = text::readPrice(shown);
      if (!again) std::abort();
    }
  } catch (const std::range_error&) {
    // An amount too large to be finite is refused.
  }
  if (const auto amount = capture::amountOf(typed)) {
    // What the save accepts always makes a valid decimal literal.
    try {
      store::sqlDecimal(*amount);
    } catch (const store::StoreError&) {
      std::abort();
    }
  }
  return 0;
}
