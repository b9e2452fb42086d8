#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "text/dates.h"

namespace capture {

// One record of Reg_Pre as the capture screen gathers it for a save. Amounts are plain
// non-negative decimal texts, written into the statements as they stand; a catalogue key
// a module neither shows nor needs may be missing and is then written as null.
struct PriceRecord {
  std::string delegation;
  std::string module;
  text::Date date;
  std::int64_t destination = 0;
  std::int64_t product = 0;
  std::int64_t presentation = 0;
  std::int64_t origin = 0;  // the sugar mill's number in "AZU"
  std::optional<std::int64_t> source;
  std::optional<std::int64_t> municipality;
  std::optional<std::int64_t> transport;  // "VOL" only
  std::string minimum = "0";
  std::string maximum = "0";
  std::string frequent = "0";
  std::string single = "0";
  std::string volume = "0";  // "VOL" only
  std::string observations;
  std::int64_t runningNumber = 0;
  std::string periodFrom;  // "VOL" only: the entry period, year first
  std::string periodTo;
};

// A price box's text as an amount for a statement: every "," removed, an empty text is
// "0". Nothing when what is left is not a plain non-negative number of at most fifteen
// digits before and after the point.
std::optional<std::string> amountOf(std::string_view boxText);

// The first of the five price checks that the record fails: the operator's message and the
// price it is about.
enum class PriceField { Minimum, Maximum, Frequent };
struct PriceCheckFailure {
  std::string message;
  PriceField field;
};
std::optional<PriceCheckFailure> priceCheckFailure(const PriceRecord& record);

}  // namespace capture
