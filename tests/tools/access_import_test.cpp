#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "access/access_file.h"
#include "access/access_import.h"
#include "loading/loader.h"
#include "store/connection.h"
#include "temp_folder.h"

namespace {

using tarvel_db::AccessKind;
using tarvel_db::AccessRow;
using tarvel_db::AccessTable;

// An Access file as the import reads one: its tables and their rows.
class FakeAccess : public tarvel_db::AccessSource {
 public:
  void add(const std::string& name, const std::vector<std::pair<std::string, AccessKind>>& columns,
           std::vector<AccessRow> rows) {
    AccessTable table{name, {}, static_cast<std::int64_t>(rows.size())};
    for (const auto& [column, kind] : columns) table.columns.push_back({column, kind, "?"});
    tables_.push_back(table);
    rows_[name] = std::move(rows);
  }
  const std::vector<AccessTable>& tables() const override { return tables_; }
  void readRows(const std::string& table,
                const std::function<void(const AccessRow&)>& row) const override {
    for (const AccessRow& each : rows_.at(table)) row(each);
  }

 private:
  std::vector<AccessTable> tables_;
  std::map<std::string, std::vector<AccessRow>> rows_;
};

constexpr auto kText = AccessKind::Text;
constexpr auto kLong = AccessKind::LongInteger;

FakeAccess delegationFile(const AccessRow& second_record) {
  FakeAccess file;
  file.add("cat_prod",
           {{"Num_Prod", kLong},
            {"cve_prod", kText},
            {"Desc_Prod", kText},
            {"CVE_MOD", kText},
            {"Notas", kText}},
           {{"1", "fag", "Aguacate", "fru", "sin uso"}});
  file.add("REG_PRE",
           {{"Consec", kLong},
            {"Cve_Mod", kText},
            {"Fecha", AccessKind::DateTime},
            {"Cve_prod", kLong},
            {"Pre_min", AccessKind::Double},
            {"Obs", kText}},
           {{"5", "fru", "2006-07-21", "1", "12.5", "O'Hara"}, second_record});
  file.add("Config", {{"Cve_Del", kText}, {"Cve_Ope", kText}}, {{"5", "7"}});
  file.add("Productos viejos", {{"Nombre", kText}}, {{"Papa"}});
  return file;
}

// A new database file, as tarvel-db create makes one.
store::Connection newDatabase(const std::filesystem::path& file) {
  tarvel_db::createDatabaseFile(file.string(), std::nullopt);
  return store::Connection::open(file);
}

class AccessImport : public ::testing::Test {
 protected:
  std::string rows(const std::string& statement) {
    std::string text;
    for (const auto& row : db.runNative(statement)) {
      for (const auto& value : row) text += (value.isNull() ? "-" : value.asText()) + "|";
      text += "\n";
    }
    return text;
  }

  testing_support::TempFolder folder;
  store::Connection db = newDatabase(folder.path() / "importada.mdb");
};

// Columns are matched in any case, values stored as load stores them, keys kept and the
// configuration row replaced; the file's other tables and columns are left out.
TEST_F(AccessImport, TheProgramsTablesComeInThroughTheLoadersChecks) {
  const auto report = tarvel_db::importAccess(
      delegationFile({"9", "fru", "2006-07-20", "1", "0.30000000000000004", std::nullopt}), db);
  ASSERT_EQ(report.imported.size(), 3u);
  EXPECT_EQ(report.imported[0].table, "Reg_Pre");
  EXPECT_EQ(report.imported[0].read, 2);
  EXPECT_EQ(report.imported[0].written, 2);
  EXPECT_EQ(report.skipped, std::vector<std::string>{"Productos viejos"});
  EXPECT_EQ(report.missing.size(), 9u);
  EXPECT_EQ(rows("SELECT Num_Prod, Cve_Prod, Desc_Prod, Cve_Mod FROM Cat_Prod"),
            "1|FAG|Aguacate|FRU|\n");
  EXPECT_EQ(rows("SELECT Consec, Cve_Mod, Fecha, Pre_min, Obs FROM Reg_Pre ORDER BY Consec"),
            "5|FRU|2006-07-21|12.5|O'Hara|\n9|FRU|2006-07-20|0.30000000000000004|-|\n");
  EXPECT_EQ(rows("SELECT Cve_Del, Cve_Ope FROM Config"), "5|7|\n");
  db.runNative("INSERT INTO Reg_Pre (Cve_Mod) VALUES ('FRU')");
  EXPECT_EQ(db.lastInsertedKey(), 10) << "the key counter goes on after the highest key";
}

// One value that cannot be stored refuses the whole import, naming where it is.
TEST_F(AccessImport, ARefusedValueLeavesTheDatabaseAsItWas) {
  const std::string before = rows("SELECT Cve_Del, Cve_Ope FROM Config");
  for (const auto& [record, told] :
       {std::pair{AccessRow{"9", "fru", "2006-07-20", "1", "doce", {}},
                  "Reg_Pre, fila con Consec = «9», columna Pre_min, valor «doce»"},
        std::pair{AccessRow{"9", "fru", "2006-07-20 10:30:00", "1", "1", {}},
                  "Reg_Pre, fila con Consec = «9», columna Fecha"},
        std::pair{AccessRow{"9.5", "fru", "2006-07-20", "1", "1", {}},
                  "Reg_Pre, fila con Consec = «9.5», columna Consec"},
        std::pair{AccessRow{"9", "fru", "2006-07-20", "1", "1",
                            "Ma\xF1"
                            "ana"},
                  "Reg_Pre, fila con Consec = «9», columna Obs"},
        std::pair{AccessRow{"99999999999999999999", "fru", "2006-07-20", "1", "1", {}},
                  "columna Consec, valor «99999999999999999999»: se esperaba un número entero"}}) {
    try {
      tarvel_db::importAccess(delegationFile(record), db);
      ADD_FAILURE() << "imported " << told;
    } catch (const std::runtime_error& refused) {
      EXPECT_NE(std::string(refused.what()).find(told), std::string::npos) << refused.what();
    }
    EXPECT_EQ(rows("SELECT count(*) FROM Reg_Pre"), "0|\n");
    EXPECT_EQ(rows("SELECT count(*) FROM Cat_Prod"), "0|\n");
    EXPECT_EQ(rows("SELECT Cve_Del, Cve_Ope FROM Config"), before);
  }
  // A file without any of the program's tables is refused, naming them.
  FakeAccess foreign;
  foreign.add("Productos viejos", {{"Nombre", kText}}, {{"Papa"}});
  try {
    tarvel_db::importAccess(foreign, db);
    ADD_FAILURE() << "imported a file without the program's tables";
  } catch (const std::runtime_error& refused) {
    EXPECT_NE(std::string(refused.what()).find("Reg_Pre, Cat_Ori"), std::string::npos);
  }
  // A database that holds rows already is not imported into.
  tarvel_db::importAccess(delegationFile({"9", "fru", "2006-07-20", "1", "1", {}}), db);
  EXPECT_THROW(
      tarvel_db::importAccess(delegationFile({"9", "fru", "2006-07-20", "1", "1", {}}), db),
      std::runtime_error);
  EXPECT_EQ(rows("SELECT count(*) FROM Reg_Pre"), "2|\n");
}

}  // namespace
