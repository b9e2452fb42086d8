#include "text/collation.h"

#include <unicode/ucol.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace text {
namespace {

struct CollatorCloser {
  void operator()(UCollator* collator) const { ucol_close(collator); }
};
using CollatorHandle = std::unique_ptr<UCollator, CollatorCloser>;

CollatorHandle openSpanishCollator() {
  UErrorCode status = U_ZERO_ERROR;
  CollatorHandle collator(ucol_open("es", &status));
  if (U_FAILURE(status)) {
    throw std::runtime_error(std::string("no se pudo abrir el orden alfabético español: ") +
                             u_errorName(status));
  }
  // Secondary strength: case is ignored, accents only break ties between equal base letters.
  ucol_setStrength(collator.get(), UCOL_SECONDARY);
  return collator;
}

}  // namespace

int compareSpanish(std::string_view a, std::string_view b) {
  // A collator is not shared between threads; each thread opens its own once.
  thread_local const CollatorHandle collator = openSpanishCollator();
  UErrorCode status = U_ZERO_ERROR;
  const UCollationResult result =
      ucol_strcollUTF8(collator.get(), a.data(), static_cast<int32_t>(a.size()), b.data(),
                       static_cast<int32_t>(b.size()), &status);
  if (U_FAILURE(status)) return a.compare(b);
  return result == UCOL_LESS ? -1 : (result == UCOL_GREATER ? 1 : 0);
}

}  // namespace text
