#pragma once

#include <cstdint>
#include <optional>

#include "forms/controls.h"

#include "store/value.h"

namespace capture {

// The datum of the list's selected item, if an item is selected.
inline std::optional<std::int64_t> selectedKey(const forms::ComboBox& list) {
  if (list.listIndex() < 0) return std::nullopt;
  return list.itemData(list.listIndex());
}

// A catalogue key as a list entry's item datum.
inline std::int32_t keyDatum(const store::Value& key) {
  return key.asInt32();
}

}  // namespace capture
