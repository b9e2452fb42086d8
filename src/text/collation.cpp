#include "text/collation.h"

#include <unicode/ucol.h>

#include <cstdint>
#include <limits>
#include <memory>

namespace text {
namespace {

struct CollatorCloser {
  void operator()(UCollator* collator) const { ucol_close(collator); }
};
using CollatorHandle = std::unique_ptr<UCollator, CollatorCloser>;

// Null when ICU cannot give the Spanish order; the comparison then falls back to bytes.
CollatorHandle openSpanishCollator() noexcept {
  UErrorCode status = U_ZERO_ERROR;
  CollatorHandle collator(ucol_open("es", &status));
  if (U_FAILURE(status)) return nullptr;
  // Secondary strength: case is ignored, accents only break ties between equal base letters.
  ucol_setStrength(collator.get(), UCOL_SECONDARY);
  return collator;
}

int compareBytes(std::string_view a, std::string_view b) {
  const int result = a.compare(b);
  return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

bool fitsICU(std::string_view s) {
  return s.size() <= static_cast<std::size_t>(std::numeric_limits<int32_t>::max());
}

}  // namespace

// Never throws: the database engine calls it through a C callback. Whatever stops the
// Spanish order (no collator, a text ICU cannot take) gives the byte order instead.
int compareSpanish(std::string_view a, std::string_view b) {
  try {
    // A collator is not shared between threads; each thread opens its own once.
    thread_local const CollatorHandle collator = openSpanishCollator();
    if (!collator || !fitsICU(a) || !fitsICU(b)) return compareBytes(a, b);
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult result =
        ucol_strcollUTF8(collator.get(), a.data(), static_cast<int32_t>(a.size()), b.data(),
                         static_cast<int32_t>(b.size()), &status);
    if (U_FAILURE(status)) return compareBytes(a, b);
    return result == UCOL_LESS ? -1 : (result == UCOL_GREATER ? 1 : 0);
  } catch (...) {
    return compareBytes(a, b);
  }
}

}  // namespace text
