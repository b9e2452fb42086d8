#include "outputs/export_file.h"

#include <array>
#include <type_traits>

#include "store/literal.h"

namespace outputs {
namespace {

// Positions in the rows of exportStatement, in the order of the line.
constexpr std::array<std::size_t, 14> kPriceLine = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
constexpr std::array<std::size_t, 14> kVolumeLine = {0,  1,  2,  3,  4,  5,  14,
                                                     15, 16, 17, 10, 11, 12, 13};
// Fecha, and in "VOL" Fecha_De and Fecha_A.
constexpr bool isDate(std::size_t field) {
  return field == 1 || field == 16 || field == 17;
}

}  // namespace

std::string exportStatement(std::string_view delegation, std::string_view module,
                            const text::Date& date) {
  std::string sql = "SELECT Cve_Mod, Fecha, Cve_Des, Cve_Prod, Cve_Ori, Cve_Pres, ";
  sql +=
      " Reg_Pre.Pre_min, Reg_Pre.Pre_max, Reg_Pre.Pre_frec, Reg_Pre.Pre_uni, Reg_Pre.Obs, "
      "Reg_Pre.Consec ";
  sql += ", Cve_Inf, Cve_Mun ";
  if (module == "VOL") sql += std::string(", Cve_Tra, Vol ") + ", Fecha_De, Fecha_A ";
  sql += " FROM Reg_Pre ";
  // The signed-in delegation's records, and those that name none (loaded without one).
  sql += " Where (Reg_Pre.Fecha = " + store::sqlDate(date) +
         ") And (Reg_Pre.Cve_Mod = " + store::sqlText(module) +
         ") And (Reg_Pre.Cve_del = " + store::sqlKey(delegation) + " Or Reg_Pre.Cve_del Is Null) ";
  sql += " ORDER BY Cve_Des, Cve_Prod, Cve_Ori, Cve_Pres, Reg_Pre.Consec ;";
  return sql;
}

std::string exportLine(std::string_view module, const store::Row& row) {
  std::string line;
  for (const std::size_t field : module == "VOL" ? kVolumeLine : kPriceLine) {
    const store::Value& value = row[field];
    const auto date = isDate(field) ? value.asDate() : std::nullopt;
    if (!line.empty()) line += ',';
    // Values are written unchanged, a quote or a comma inside one included: the national
    // office's reader takes the file in exactly this form.
    line += '"';
    if (date) {
      line += text::shortDate(*date);
    } else if (value.isText()) {
      value.visit([&](const auto& held) {
        if constexpr (std::is_same_v<std::decay_t<decltype(held)>, std::string>) line += held;
      });
    } else {
      line += value.asText();
    }
    line += '"';
  }
  return line;
}

}  // namespace outputs
