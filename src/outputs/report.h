#pragma once

#include <string>
#include <string_view>

#include "outputs/output_file.h"
#include "session/session_state.h"
#include "store/value.h"
#include "text/dates.h"

namespace outputs {

// The statement of the day's report: every record of `delegation` in `module` on `date`, with
// catalogue names in place of keys, sorted for the bands.
std::string reportStatement(std::string_view delegation, std::string_view module,
                            const text::Date& date);

// Writes the report's head, the rows of reportStatement in bands by destination (and by
// product type in "FRU" and "VOL") and its tail. Values read from the file are written as
// HTML text, so "&", "<" and ">" show as stored.
void writeReportFile(OutputFile& file, const session::SessionState& state, const store::Rows& rows);

}  // namespace outputs
