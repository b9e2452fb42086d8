#pragma once

#include <string>
#include <string_view>

#include "text/money.h"

namespace capture {

// A price as the capture screen shows it, in boxes and in the previous-prices panel: the
// money form without "$" (1,234.50), and nothing for 0 or an empty text.
inline std::string shownPrice(std::string_view price) {
  std::string shown = text::FormatoPrecio(price);
  std::erase(shown, '$');
  return shown;
}

}  // namespace capture
