#include "capture/price_record.h"

#include <charconv>
#include <regex>

namespace capture {
namespace {

double numberOf(const std::string& amount) {
  double value = 0;
  std::from_chars(amount.data(), amount.data() + amount.size(), value);
  return value;
}

}  // namespace

std::optional<std::string> amountOf(std::string_view boxText) {
  // Fifteen digits each side keep every amount exact in the stored real.
  static const std::regex kPlain(R"(^(\d{1,15}(\.\d{0,15})?|\.\d{1,15})$)");
  std::string amount(boxText);
  std::erase(amount, ',');
  if (amount.empty()) return "0";
  if (!std::regex_match(amount, kPlain)) return std::nullopt;
  return amount;
}

std::optional<PriceCheckFailure> priceCheckFailure(const PriceRecord& record) {
  const double minimum = numberOf(record.minimum);
  const double maximum = numberOf(record.maximum);
  const double frequent = numberOf(record.frequent);
  using enum PriceField;
  if (minimum == 0 && maximum == 0 && frequent == 0) {
    return PriceCheckFailure{"¡Faltan precios!", Minimum};
  }
  if (maximum == minimum && maximum > 0) {
    return PriceCheckFailure{"¡Máximo es igual que mínimo!", Maximum};
  }
  if (maximum < minimum && maximum > 0) {
    return PriceCheckFailure{"¡Mínimo es mayor que máximo!", Minimum};
  }
  if (maximum < frequent && maximum > 0) {
    return PriceCheckFailure{"¡Frecuente es mayor que máximo!", Frequent};
  }
  if (minimum > frequent && minimum > 0 && frequent > 0) {
    return PriceCheckFailure{"¡Frecuente es menor que mínimo!", Frequent};
  }
  return std::nullopt;
}

}  // namespace capture
