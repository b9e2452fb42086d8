#include "capture/statements.h"

#include "store/literal.h"

namespace capture {
namespace {

// The conditions every statement of the day shares: module, destination and date.
std::string moduleAndDestination(const std::string& module, std::int64_t destination) {
  return " where Reg_Pre.Cve_Mod=" + store::sqlText(module) + " " +
         " and Reg_Pre.Cve_Des=" + store::sqlInteger(destination) + " ";
}

std::string keyOrNull(const std::optional<std::int64_t>& key) {
  return key ? store::sqlInteger(*key) : "NULL";
}

}  // namespace

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

std::string previousPricesStatement(const PriceKey& key, const text::Date& date) {
  return "SELECT top 5 Pre_min, Pre_max, Pre_frec, Pre_uni, Fecha from Reg_Pre  where Cve_Mod=" +
         store::sqlText(key.module) + " " + " and Cve_des=" + store::sqlInteger(key.destination) +
         " and Cve_prod=" + store::sqlInteger(key.product) +
         " and Cve_pres=" + store::sqlInteger(key.presentation) +
         " and Cve_ori=" + store::sqlInteger(key.origin) + " and Fecha<" + store::sqlDate(date) +
         " " + " order by Fecha desc ";
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
