#pragma once

#include <cstdint>

#include "store/connection.h"
#include "text/dates.h"

namespace tarvel_db {

// The size and shape of a generated store.
struct GeneratedStore {
  std::int64_t records = 0;
  int days = 30;
  std::uint64_t seed = 1;
};

// Fills an empty file with catalogues of a real delegation's size (60 destinations, 800
// products over the modules, 300 presentations, 120 origins, 40 sugar mills, 2,000
// municipalities) and `records` Reg_Pre rows over the `days` days before `today`, in every
// module at several destinations of delegation 5: each day repeats the day before's basket
// with small changes. The same seed gives the same file.
void generateStore(store::Connection& connection, const GeneratedStore& shape,
                   const text::Date& today);

}  // namespace tarvel_db
