// The dates the operator types on the access screen and in the entry-period dialog.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "capture/period_dates.h"
#include "store/error.h"
#include "store/literal.h"
#include "text/dates.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string typed(reinterpret_cast<const char*>(data), size);
  // A date read is a real date, and its forms read back as the same day.
  if (const auto date = text::parseDayFirst(typed)) {
    if (!text::isValid(*date)) std::abort();
    if (text::parseDayFirst(text::shortDate(*date)) != date) std::abort();
    if (text::dateOfLabel(text::dateLabel(*date)) != date) std::abort();
    if (text::parseYearFirst(text::yearSlashDate(*date)) != date) std::abort();
  }
  text::parseYearFirst(typed);
  text::dateOfLabel(typed);
  text::parseIso(typed);
  const std::string year_first = capture::FormatoAMD(typed);
  capture::FormatoDMA(typed);
  if (const auto period = capture::periodDate(year_first)) {
    try {
      store::sqlYearFirstDate(year_first);
    } catch (const store::StoreError&) {
      std::abort();
    }
  }
  return 0;
}
