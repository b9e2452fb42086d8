#include "outputs/report.h"
#include "store/literal.h"

namespace outputs {

std::string reportStatement(std::string_view delegation, std::string_view module,
                            const text::Date& date) {
  const bool sugar = module == "AZU";
  const bool oils = module == "ACE";
  const bool inputs = module == "INS";
  const bool volumes = module == "VOL";
  const bool typed = module == "FRU" || volumes;
  const char* origin = sugar ? " Cat_Ing.desc_Ing," : " Cat_Ori.desc_ori,";

  std::string sql = "SELECT Cat_Dest.desc_des, ";
  sql += " Cat_Prod.desc_prod, ";
  sql += origin;
  sql += " Cat_Pres.desc_pres, ";
  sql += " Reg_Pre.Pre_min, Reg_Pre.Pre_max, Reg_Pre.Pre_frec, Reg_Pre.Pre_uni, Reg_Pre.Obs ";
  if (oils) {
    sql += ", Cat_Var_Ace.Descripcion ";
  } else {
    sql += ", Cat_Prod.Calidad ";
    if (inputs) sql += std::string(", Cat_Fte.Desc_inf ") + ", Cat_Muni.Municipio ";
    if (volumes) {
      sql += std::string(", Cat_Trans.Desc_tra ") + ", Reg_Pre.Vol " + ", Reg_Pre.Fecha_de " +
             ", Reg_Pre.Fecha_a ";
    }
  }
  if (typed) sql += ", Cat_Prod.tipo ";
  // One parenthesis per join.
  if (oils || volumes) {
    sql += " FROM (((((Reg_Pre ";
  } else if (inputs) {
    sql += " FROM ((((((Reg_Pre ";
  } else {
    sql += " FROM ((((Reg_Pre ";
  }
  sql += " INNER JOIN Cat_Prod ON Reg_Pre.Cve_prod = Cat_Prod.Num_Prod) ";
  sql += sugar ? " INNER JOIN Cat_Ing ON Reg_Pre.Cve_ori = Cat_Ing.consecutivo) "
               : " INNER JOIN Cat_Ori ON Reg_Pre.Cve_ori = Cat_Ori.cve_ori) ";
  sql += " INNER JOIN Cat_Pres ON Reg_Pre.Cve_pres = Cat_Pres.Cve_Pres) ";
  sql += " INNER JOIN Cat_Dest ON Reg_Pre.Cve_des = Cat_Dest.cve_des) ";
  if (oils) sql += " left join Cat_Var_Ace ON mid(Cat_Prod.Cve_Prod,3,1) = Cat_Var_Ace.Variedad) ";
  if (inputs) {
    sql += " left join Cat_Fte ON Reg_Pre.Cve_Inf = Cat_Fte.Cve_inf) ";
    sql += " left join Cat_Muni ON Reg_Pre.Cve_Mun = Cat_Muni.Mun) ";
  }
  if (volumes) sql += " left join Cat_Trans ON Reg_Pre.Cve_Tra = Cat_Trans.Cve_Tra) ";
  // The signed-in delegation's records, and those that name none (loaded without one).
  sql += " Where (Reg_Pre.Fecha = " + store::sqlDate(date) +
         ") And (Reg_Pre.Cve_Mod = " + store::sqlText(module) +
         ") And (Reg_Pre.Cve_del = " + store::sqlKey(delegation) + " Or Reg_Pre.Cve_del Is Null) ";
  sql += " ORDER BY ";
  if (typed) sql += " left(Cat_Prod.tipo,1), ";
  sql += " Cat_Dest.desc_des, Cat_Prod.desc_prod, ";
  if (oils) sql += " Cat_Var_Ace.Descripcion, ";
  sql += origin;
  sql += " Cat_Pres.desc_pres, Reg_Pre.Consec ;";
  return sql;
}

}  // namespace outputs
