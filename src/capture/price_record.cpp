#include "capture/price_record.h"

#include <charconv>
#include <regex>

#include "store/literal.h"

namespace capture {
namespace {

double numberOf(const std::string& amount) {
  double value = 0;
  std::from_chars(amount.data(), amount.data() + amount.size(), value);
  return value;
}

std::string keyOrNull(const std::optional<std::int64_t>& key) {
  return key ? store::sqlInteger(*key) : "NULL";
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

std::string insertStatement(const PriceRecord& r) {
  const bool volumes = r.module == "VOL";
  return std::string(
             "INSERT INTO Reg_Pre ( Cve_del, Cve_Mod, Fecha, Cve_prod, Cve_ori, Cve_des, "
             "Cve_pres, ") +
         (volumes ? "Pre_min, Pre_max, Pre_frec, Pre_uni, Consecutivo, Obs, Cve_inf, Cve_mun, "
                    "Cve_tra, Vol, Fecha_de, Fecha_a)"
                  : "Pre_min, Pre_max, Pre_frec, Pre_uni, Consecutivo, Obs, Cve_inf, Cve_mun)") +
         " values (" + store::sqlKey(r.delegation) + "," + store::sqlText(r.module) + "," +
         store::sqlDate(r.date) + ", " + store::sqlInteger(r.product) + ", " +
         store::sqlInteger(r.origin) + ", " + store::sqlInteger(r.destination) + ", " +
         store::sqlInteger(r.presentation) + ", " + store::sqlDecimal(r.minimum) + "," +
         store::sqlDecimal(r.maximum) + "," + store::sqlDecimal(r.frequent) + ", " +
         store::sqlDecimal(r.single) + ", " + store::sqlInteger(r.runningNumber) + ", " +
         store::sqlText(r.observations) + ", " + keyOrNull(r.source) + ", " +
         keyOrNull(r.municipality) +
         (volumes ? ", " + keyOrNull(r.transport) + ", " + store::sqlDecimal(r.volume) + ", " +
                        store::sqlYearFirstDate(r.periodFrom) + ", " +
                        store::sqlYearFirstDate(r.periodTo) + ")"
                  : ")");
}

std::string updateStatement(const PriceRecord& r, std::int64_t key) {
  return "UPDATE Reg_Pre SET  Cve_del=" + store::sqlKey(r.delegation) + "," +
         " Cve_prod=" + store::sqlInteger(r.product) + "," +
         " Cve_ori=" + store::sqlInteger(r.origin) + "," +
         " Cve_pres=" + store::sqlInteger(r.presentation) + "," +
         " Pre_min=" + store::sqlDecimal(r.minimum) + "," +
         " Pre_max=" + store::sqlDecimal(r.maximum) + "," +
         " Pre_frec=" + store::sqlDecimal(r.frequent) + "," +
         " Pre_uni=" + store::sqlDecimal(r.single) + "," +
         " Obs=" + store::sqlText(r.observations) + "," + " Cve_inf=" + keyOrNull(r.source) + "," +
         " Cve_mun=" + keyOrNull(r.municipality) +
         (r.module == "VOL"
              ? ", Cve_tra=" + keyOrNull(r.transport) + ", Vol=" + store::sqlDecimal(r.volume)
              : "") +
         " " + " where Consec=" + store::sqlInteger(key) + " ";
}

std::string changedCountStatement(const PriceRecord& r, std::int64_t key) {
  std::string statement = "SELECT count(*) from Reg_Pre where Consec=" + store::sqlInteger(key) +
                          " and Cve_prod=" + store::sqlInteger(r.product) +
                          " and Cve_ori=" + store::sqlInteger(r.origin) +
                          " and Cve_pres=" + store::sqlInteger(r.presentation) +
                          " and Pre_min=" + store::sqlDecimal(r.minimum) +
                          " and Pre_max=" + store::sqlDecimal(r.maximum) +
                          " and Pre_frec=" + store::sqlDecimal(r.frequent) +
                          " and Pre_uni=" + store::sqlDecimal(r.single) +
                          " and Obs=" + store::sqlText(r.observations);
  if (r.module == "VOL") statement += " and Vol=" + store::sqlDecimal(r.volume);
  return statement;
}

std::string duplicateCountStatement(const PriceRecord& r, std::optional<std::int64_t> ownKey) {
  std::string statement =
      "SELECT Count(*)  from Reg_Pre  where Reg_Pre.Cve_Mod=" + store::sqlText(r.module) + " " +
      " and Cve_des=" + store::sqlInteger(r.destination) +
      " and Cve_prod=" + store::sqlInteger(r.product) +
      " and Cve_pres=" + store::sqlInteger(r.presentation) +
      " and Cve_ori=" + store::sqlInteger(r.origin);
  if (r.module == "VOL") statement += " and Cve_Tra=" + keyOrNull(r.transport);
  if (r.module == "INS") {
    statement +=
        " and Cve_Mun=" + keyOrNull(r.municipality) + " and Cve_Inf=" + keyOrNull(r.source);
  }
  statement += " and Fecha=" + store::sqlDate(r.date) + " ";
  if (ownKey) statement += " and not (Consec=" + store::sqlInteger(*ownKey) + ") ";
  return statement;
}

}  // namespace capture
