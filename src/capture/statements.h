#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "capture/price_history.h"
#include "capture/price_record.h"
#include "text/dates.h"

namespace capture {

// The capture screen's statements that are built from its values, each in the statements'
// dialect, as the store runs it.

// The statements that build the basket and the day's record list, for a module, a
// destination and a date.
std::string lastEarlierDateStatement(const std::string& module, std::int64_t destination,
                                     const text::Date& date);
std::string basketStatement(const std::string& module, std::int64_t destination,
                            const text::Date& date);
std::string dayCountStatement(const std::string& module, std::int64_t destination,
                              const text::Date& date);
// The product, presentation and origin of each record of the day.
std::string dayEntriesStatement(const std::string& module, std::int64_t destination,
                                const text::Date& date);
std::string savedKeysStatement(const std::string& module, std::int64_t destination,
                               const text::Date& date);

// The five most recent records of the key strictly before `date`, newest first.
std::string previousPricesStatement(const PriceKey& key, const text::Date& date);

// Whether record `key` holds what the change of `r` writes (one row) or not (none).
std::string changedCountStatement(const PriceRecord& r, std::int64_t key);

std::string insertStatement(const PriceRecord& record);
// The change writes the single price the screen shows; in "VOL" it writes the transport
// and the volume too, the record's only data.
std::string updateStatement(const PriceRecord& record, std::int64_t key);
// Counts the saved records with the record's identity: module, destination, product,
// presentation, origin and date, and the transport in "VOL", municipality and source in
// "INS". A change leaves its own record out.
std::string duplicateCountStatement(const PriceRecord& record,
                                    std::optional<std::int64_t> ownKey = std::nullopt);

}  // namespace capture
