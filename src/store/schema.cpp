#include "store/schema.h"

#include "store/connection.h"

namespace store {
namespace {

// Column types follow the storage contract: keys and counts INTEGER, prices REAL, dates
// TEXT as YYYY-MM-DD, names and codes TEXT.
constexpr const char* kCreateStatements[] = {
    "CREATE TABLE Reg_Pre (Consec INTEGER PRIMARY KEY AUTOINCREMENT, Cve_del INTEGER, "
    "Cve_Mod TEXT, Fecha TEXT, Cve_prod INTEGER, Cve_ori INTEGER, Cve_des INTEGER, "
    "Cve_pres INTEGER, Pre_min REAL, Pre_max REAL, Pre_frec REAL, Pre_uni REAL, "
    "Consecutivo INTEGER, Obs TEXT, Cve_inf INTEGER, Cve_mun INTEGER, Cve_tra INTEGER, "
    "Vol REAL, Fecha_de TEXT, Fecha_a TEXT)",
    "CREATE TABLE Cat_Ori (Cve_Ori INTEGER PRIMARY KEY, Desc_Ori TEXT, Abrev TEXT)",
    "CREATE TABLE Cat_Dest (Cve_Des INTEGER PRIMARY KEY, Desc_Des TEXT, Coord TEXT, "
    "FRU TEXT DEFAULT 'N', AZU TEXT DEFAULT 'N', ACE TEXT DEFAULT 'N', GRA TEXT DEFAULT 'N', "
    "FLO TEXT DEFAULT 'N')",
    "CREATE TABLE Cat_Prod (Num_Prod INTEGER PRIMARY KEY, Cve_Prod TEXT, Desc_Prod TEXT, "
    "Calidad TEXT, Cve_Mod TEXT, Tipo TEXT)",
    "CREATE TABLE Cat_Var_Ace (Variedad TEXT PRIMARY KEY, Descripcion TEXT)",
    "CREATE TABLE Cat_Pres (Cve_Pres INTEGER PRIMARY KEY, Desc_Pres TEXT, Cla_Pres TEXT, "
    "Tipo TEXT)",
    "CREATE TABLE Cat_Ing (Consecutivo INTEGER PRIMARY KEY, Cve_Ing TEXT, Desc_Ing TEXT)",
    "CREATE TABLE Cat_Fte (Cve_Inf INTEGER PRIMARY KEY, Desc_Inf TEXT)",
    "CREATE TABLE Cat_Muni (Mun INTEGER PRIMARY KEY, Municipio TEXT, edo INTEGER)",
    "CREATE TABLE Cat_Trans (Cve_Tra INTEGER PRIMARY KEY, Desc_Tra TEXT)",
    "CREATE TABLE Cat_Deleg (Cve_Del INTEGER PRIMARY KEY, desc_del TEXT, acceso TEXT, "
    "edo INTEGER)",
    "CREATE TABLE Config (Cve_Del TEXT, Cve_Ope TEXT)",
};

// The day's records of a module and destination, the basket's last date, the history of
// one product key and the duplicate check, the purge and the day of a module.
constexpr const char* kIndexStatements[] = {
    "CREATE INDEX IF NOT EXISTS Reg_Pre_Modulo_Destino_Fecha ON Reg_Pre (Cve_Mod, Cve_des, Fecha)",
    "CREATE INDEX IF NOT EXISTS Reg_Pre_Clave_Producto ON Reg_Pre (Cve_Mod, Cve_des, Cve_prod, "
    "Cve_pres, "
    "Cve_ori, Fecha)",
    "CREATE INDEX IF NOT EXISTS Reg_Pre_Fecha ON Reg_Pre (Fecha, Cve_Mod)",
    "CREATE INDEX IF NOT EXISTS Cat_Prod_Modulo ON Cat_Prod (Cve_Mod)",
    "CREATE INDEX IF NOT EXISTS Cat_Dest_Coord ON Cat_Dest (Coord)",
    "CREATE INDEX IF NOT EXISTS Cat_Muni_Estado ON Cat_Muni (edo)",
};

}  // namespace

void createSchema(Connection& connection) {
  createTables(connection);
  createIndexes(connection);
}

void createTables(Connection& connection) {
  for (const char* statement : kCreateStatements) connection.runNative(statement);
}

void createIndexes(Connection& connection) {
  for (const char* statement : kIndexStatements) connection.runNative(statement);
}

}  // namespace store
