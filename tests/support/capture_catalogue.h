#pragma once

#include "store/connection.h"
#include "text/dates.h"

namespace testing_support {

// The catalogues the screen tests work on (three delegations, every module's products,
// presentations, origins and side catalogues) and three capture days of every module before
// `today`. Kept apart from the demo data so that the demo can change without moving tests.
// The catalogues alone.
void writeCatalogues(store::Connection& connection);
void writeCaptureCatalogue(store::Connection& connection, const text::Date& today);

}  // namespace testing_support
