#pragma once

#include <string>

#include "forms/host.h"
#include "text/dates.h"

namespace session {

// Today's date by the host's clock.
text::Date today(forms::Host& host);

// A capture date after today, or one whose records the next start's purge deletes, is asked
// about before it is taken: true when the operator goes on with it.
bool confirmCaptureDate(forms::Host& host, const text::Date& date,
                        const std::string& moduleCaption);

}  // namespace session
