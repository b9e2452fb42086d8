#pragma once

#include "store/connection.h"
#include "text/dates.h"

namespace testing_support {

// The catalogues the screen tests work on (three delegations and the demo's rows the tests
// count on: every module's products, presentations, origins and side catalogues) and three
// capture days of every module before `today`. New demo rows do not move the tests.
// The catalogues alone.
void writeCatalogues(store::Connection& connection);
void writeCaptureCatalogue(store::Connection& connection, const text::Date& today);

}  // namespace testing_support
