#pragma once

#include <string>
#include <string_view>

#include "store/value.h"
#include "text/dates.h"

namespace outputs {

// The statement of the export: the stored keys and values of every record of `delegation` in
// `module` on `date`, sorted by destination, product, origin and presentation keys, then Consec.
std::string exportStatement(std::string_view delegation, std::string_view module,
                            const text::Date& date);

// One line of the export file, without its line end: 14 values in double quotes separated by
// commas, each value as stored; in "VOL" transport, volume and entry period stand where the
// four prices stand in other modules.
std::string exportLine(std::string_view module, const store::Row& row);

}  // namespace outputs
