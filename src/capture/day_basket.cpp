#include "capture/day_basket.h"

#include <map>
#include <tuple>

#include "store/literal.h"

namespace capture {
namespace {

// The conditions every statement of the day shares: module, destination and date.
std::string moduleAndDestination(const std::string& module, std::int64_t destination) {
  return " where Reg_Pre.Cve_Mod=" + store::sqlText(module) + " " +
         " and Reg_Pre.Cve_Des=" + store::sqlInteger(destination) + " ";
}

}  // namespace

std::optional<BasketEntry> DayBasket::at(std::int64_t position) const {
  if (position < 1 || position > size()) return std::nullopt;
  return entries_[static_cast<std::size_t>(position - 1)];
}

std::vector<std::int64_t> DayBasket::uncapturedPositions(
    const std::vector<BasketEntry>& captured) const {
  std::map<std::tuple<std::int64_t, std::int64_t, std::int64_t>, int> unmatched;
  for (const BasketEntry& entry : captured) {
    ++unmatched[{entry.product, entry.presentation, entry.origin}];
  }
  std::vector<std::int64_t> positions;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const BasketEntry& entry = entries_[i];
    auto found = unmatched.find({entry.product, entry.presentation, entry.origin});
    if (found != unmatched.end() && found->second > 0) {
      --found->second;
    } else {
      positions.push_back(static_cast<std::int64_t>(i) + 1);
    }
  }
  return positions;
}

std::string lastEarlierDateStatement(const std::string& module, std::int64_t destination,
                                     const text::Date& date) {
  return "SELECT top 1 Fecha from Reg_Pre  where Cve_Mod=" + store::sqlText(module) + " " +
         " and Cve_Des=" + store::sqlInteger(destination) + " " + " and Fecha<" +
         store::sqlDate(date) + " " + " order by Fecha desc ";
}

// Fruits are grouped by the first letter of their type; sugar has no origin to sort by.
std::string basketStatement(const std::string& module, std::int64_t destination,
                            const text::Date& date) {
  return "SELECT Cve_des, Reg_Pre.Cve_prod, Reg_Pre.Cve_pres, Reg_Pre.Cve_ori, Pre_min, "
         "Pre_max, Pre_frec, Pre_uni, Fecha, Cat_Prod.desc_prod, Cat_Ori.desc_ori, "
         "Cat_Pres.desc_pres "
         " from (((Reg_Pre "
         " INNER JOIN Cat_Prod ON Reg_Pre.Cve_prod = Cat_Prod.Num_Prod) "
         " INNER JOIN Cat_Ori ON Reg_Pre.Cve_ori = Cat_Ori.cve_ori) "
         " INNER JOIN Cat_Pres ON Reg_Pre.Cve_pres = Cat_Pres.Cve_Pres) " +
         moduleAndDestination(module, destination) + " and Fecha=" + store::sqlDate(date) + " " +
         " ORDER BY " + (module == "FRU" ? " left(Cat_Prod.tipo,1), " : "") +
         " Cat_Prod.desc_prod, " + (module != "AZU" ? " Cat_Ori.desc_ori," : "") +
         " Cat_Pres.desc_pres, Reg_Pre.Consec ;";
}

std::string dayCountStatement(const std::string& module, std::int64_t destination,
                              const text::Date& date) {
  return "SELECT count(*) from Reg_Pre  where Cve_Mod=" + store::sqlText(module) + " " +
         " and Cve_Des=" + store::sqlInteger(destination) + " " +
         " and Fecha=" + store::sqlDate(date) + " ";
}

std::string dayEntriesStatement(const std::string& module, std::int64_t destination,
                                const text::Date& date) {
  return "SELECT Cve_prod, Cve_pres, Cve_ori from Reg_Pre " +
         moduleAndDestination(module, destination) + " and Fecha=" + store::sqlDate(date) + " ";
}

// The saved records in the order they are shown: oils by their variety after the product,
// sugar by its mill where the others go by origin.
std::string savedKeysStatement(const std::string& module, std::int64_t destination,
                               const text::Date& date) {
  const bool oils = module == "ACE";
  const bool sugar = module == "AZU";
  return std::string("SELECT Consec ") + (oils ? " from ((((Reg_Pre " : " from (((Reg_Pre ") +
         " INNER JOIN Cat_Prod ON Reg_Pre.Cve_prod = Cat_Prod.Num_Prod) " +
         (oils ? " left join Cat_Var_Ace ON mid(Cat_Prod.Cve_Prod,3,1) = Cat_Var_Ace.Variedad) "
               : "") +
         (sugar ? " INNER JOIN Cat_Ing ON Reg_Pre.Cve_ori = Cat_Ing.consecutivo) "
                : " INNER JOIN Cat_Ori ON Reg_Pre.Cve_ori = Cat_Ori.cve_ori) ") +
         " INNER JOIN Cat_Pres ON Reg_Pre.Cve_pres = Cat_Pres.Cve_Pres) " +
         moduleAndDestination(module, destination) + " and Fecha=" + store::sqlDate(date) + " " +
         " ORDER BY " + (module == "FRU" || module == "VOL" ? " left(Cat_Prod.tipo,1), " : "") +
         " Cat_Prod.desc_prod, " + (oils ? " Cat_Var_Ace.Descripcion, " : "") +
         (sugar ? " Cat_Ing.desc_Ing," : " Cat_Ori.desc_ori,") +
         " Cat_Pres.desc_pres, Reg_Pre.Consec ;";
}

}  // namespace capture
