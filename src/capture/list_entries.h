#pragma once

#include <cstdint>

#include "store/value.h"

namespace capture {

// A catalogue key as a list entry's item datum.
inline std::int32_t keyDatum(const store::Value& key) {
  return key.asInt32();
}

}  // namespace capture
