#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "access/access_file.h"
#include "access/access_listing.h"
#include "loading/csv.h"
#include "loading/loader.h"
#include "temp_folder.h"

namespace {

namespace fs = std::filesystem;
using tarvel_db::AccessFile;
using tarvel_db::AccessKind;
using tarvel_db::AccessRow;

fs::path fixture(const std::string& name) {
  return fs::path(ACCESS_FILES) / name;
}

std::vector<AccessRow> rowsOf(const tarvel_db::AccessSource& file, const std::string& table) {
  std::vector<AccessRow> rows;
  file.readRows(table, [&](const AccessRow& row) { rows.push_back(row); });
  std::sort(rows.begin(), rows.end());
  return rows;
}

// What a command prints.
std::string output(const std::string& command) {
  std::string text;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return text;
  char buffer[4096];
  while (const std::size_t read = fread(buffer, 1, sizeof buffer, pipe)) text.append(buffer, read);
  pclose(pipe);
  return text;
}

// Every generation holds the same first table; each kind of column reads as stored.
TEST(AccessFiles, EveryGenerationReadsItsKnownValues) {
  const std::vector<AccessRow> expected{
      {"a", "b", "0", "0", "0", "0", "1981-12-12", "0.0000", "0"},
      {"abcdefg", "hijklmnop", "2", "222", "333333333", "444.555", "1974-09-21", "3.5000", "1"}};
  for (const auto& [name, format] :
       {std::pair{"jet3-test.mdb", "Jet 3 (formato de Access 97)"},
        std::pair{"jet4-test.mdb", "Jet 4 (formato de Access 2000 a 2003)"},
        std::pair{"ace14-test.accdb", "ACE 14 (formato de Access 2010)"}}) {
    SCOPED_TRACE(name);
    const AccessFile file(fixture(name));
    EXPECT_EQ(file.format(), format);
    ASSERT_GE(file.tables().size(), 1u);
    const tarvel_db::AccessTable& table = file.tables()[0];
    std::vector<AccessKind> kinds;
    for (const auto& column : table.columns) kinds.push_back(column.kind);
    EXPECT_EQ(kinds, (std::vector<AccessKind>{AccessKind::Text, AccessKind::Text, AccessKind::Byte,
                                              AccessKind::Integer, AccessKind::LongInteger,
                                              AccessKind::Double, AccessKind::DateTime,
                                              AccessKind::Currency, AccessKind::Boolean}));
    EXPECT_EQ(rowsOf(file, "Table1"), expected);
  }
  const AccessFile numeric(fixture("jet4-numeric.mdb"));
  EXPECT_EQ(rowsOf(numeric, "test"),
            (std::vector<AccessRow>{{"some data", "1", "0", "0", "4", "-1", "1"}}));
  EXPECT_EQ(numeric.tables()[0].columns[0].kind, AccessKind::Memo);
  EXPECT_EQ(numeric.tables()[0].columns[1].kind, AccessKind::Decimal);
  const AccessFile currency(fixture("ace16-currency.accdb"));
  EXPECT_EQ(currency.format(), "ACE 12 (formato de Access 2007)");
  EXPECT_EQ(rowsOf(currency, "Table"), (std::vector<AccessRow>{{"1", "42.0000"}}));
}

// The tables, their row counts and their column types are what mdbtools' own tools list.
TEST(AccessFiles, TheListingAgreesWithMdbTools) {
  for (const char* name : {"jet3-test.mdb", "jet4-test.mdb", "jet4-numeric.mdb", "ace14-test.accdb",
                           "ace16-currency.accdb"}) {
    SCOPED_TRACE(name);
    const std::string path = fixture(name).string();
    const AccessFile file(path);
    std::string tables;
    for (const auto& table : file.tables()) tables += table.name + "\n";
    EXPECT_EQ(tables, output("mdb-tables -1 '" + path + "'"));
    const std::string schema = output("mdb-schema '" + path + "' access");
    for (const auto& table : file.tables()) {
      const std::string exported = output("mdb-export '" + path + "' '" + table.name + "'");
      EXPECT_EQ(std::count(exported.begin(), exported.end(), '\n'), table.rows + 1) << table.name;
      for (const auto& column : table.columns) {
        EXPECT_NE(schema.find("[" + column.name + "]\t\t\t" + column.typeName), std::string::npos)
            << table.name << "." << column.name << " " << column.typeName;
      }
    }
    std::ostringstream listing;
    tarvel_db::listAccessFile(path, file, listing);
    EXPECT_NE(listing.str().find("Tablas del programa que tiene: ninguna"), std::string::npos);
  }
}

// A table written as CSV reads back, field for field, as the file holds it. A table under
// another name comes in by hand: its CSV with the program's column names in the header loads
// through tarvel-db load, every Access kind in its stored form.
TEST(AccessFiles, ATableAsCsvReadsBackAsStoredAndLoadsUnderTheProgramsNames) {
  const AccessFile access(fixture("jet4-test.mdb"));
  std::ostringstream csv;
  tarvel_db::writeAccessTable("jet4-test.mdb", access, "table1", csv);
  std::string text = csv.str();
  std::istringstream in(text);
  std::vector<tarvel_db::CsvRecord> records = tarvel_db::readCsv(in);
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0], (tarvel_db::CsvRecord{"A", "B", "C", "D", "E", "F", "G", "H", "I"}));
  records.erase(records.begin());
  std::sort(records.begin(), records.end());
  EXPECT_EQ(records, rowsOf(access, "Table1"));
  EXPECT_THROW(tarvel_db::writeAccessTable("jet4-test.mdb", access, "Productos", csv),
               tarvel_db::AccessError);

  testing_support::TempFolder folder;
  auto db = testing_support::createDatabase(folder.path());
  text.replace(0, text.find('\n'),
               "Obs,Cve_Mod,Cve_des,Cve_prod,Consec,Pre_min,Fecha,Pre_max,Cve_tra");
  const fs::path file = folder.path() / "Reg_Pre.csv";
  std::ofstream(file) << text;
  EXPECT_EQ(tarvel_db::loadCsv(db, "Reg_Pre", file.string()), 2u);
  EXPECT_EQ(testing_support::rowsText(
                db.runNative("SELECT Consec, Obs, Cve_Mod, Cve_des, Cve_prod, Pre_min, Fecha, "
                             "Pre_max, Cve_tra FROM Reg_Pre ORDER BY Consec")),
            "0|a|B|0|0|0|1981-12-12|0|0|\n"
            "333333333|abcdefg|HIJKLMNOP|2|222|444.555|1974-09-21|3.5|1|\n");
}

// A file that is not a whole Access file is refused, named, before libmdb reads it.
TEST(AccessFiles, WhatIsNotAWholeAccessFileIsRefusedNamingIt) {
  testing_support::TempFolder folder;
  const fs::path bytes = fixture("jet4-test.mdb");
  std::ifstream in(bytes, std::ios::binary);
  const std::string whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const auto refusal = [&](const std::string& content) {
    const fs::path file = folder.path() / "copia.mdb";
    std::ofstream(file, std::ios::binary) << content;
    try {
      const AccessFile opened(file);
    } catch (const tarvel_db::AccessError& error) {
      EXPECT_NE(std::string(error.what()).find(file.string()), std::string::npos) << error.what();
      return std::string(error.what());
    }
    return std::string("leído");
  };
  EXPECT_NE(refusal("").find("no es un archivo de Access"), std::string::npos);
  EXPECT_NE(refusal("Nombre,Precio\nPapa,10\n").find("no es un archivo de Access"),
            std::string::npos);
  EXPECT_NE(refusal(whole.substr(0, 4096 + 100)).find("incompleto"), std::string::npos);
  EXPECT_NE(refusal(whole.substr(0, 4096)).find("incompleto"), std::string::npos);
  EXPECT_THROW(AccessFile(folder.path() / "no-existe.mdb"), tarvel_db::AccessError);
  // A password, and an encryption key, where a Jet 3 header keeps them.
  std::ifstream jet3(fixture("jet3-test.mdb"), std::ios::binary);
  const std::string plain((std::istreambuf_iterator<char>(jet3)), std::istreambuf_iterator<char>());
  EXPECT_NE(refusal(std::string(plain).replace(0x42, 7, "secreto")).find("contraseña"),
            std::string::npos);
  EXPECT_NE(refusal(std::string(plain).replace(0x3e, 4, "\x01\x02\x03\x04")).find("cifrado"),
            std::string::npos);
}

// A file cut short at any page, or with a page zeroed in place, is refused, whatever libmdb
// makes of what is left (it may crash or loop on it, in a process of its own), unless every
// row is still there: nothing is ever read half.
TEST(AccessFiles, AFileCutShortAtAnyPageIsRefusedOrReadWhole) {
  testing_support::TempFolder folder;
  std::ifstream in(fixture("jet3-test.mdb"), std::ios::binary);
  const std::string whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const fs::path cut = folder.path() / "cortado.mdb";
  const auto everything = [](const AccessFile& file) {
    std::vector<AccessRow> rows;
    for (const auto& table : file.tables()) {
      rows.push_back({table.name});
      file.readRows(table.name, [&](const AccessRow& row) { rows.push_back(row); });
    }
    return rows;
  };
  const std::vector<AccessRow> all = everything(AccessFile(fixture("jet3-test.mdb")));
  for (std::size_t size = 4096; size < 2 * whole.size(); size += 4096) {
    SCOPED_TRACE(size);
    const std::size_t zeroed = size - whole.size();  // past the file's size: a page zeroed
    std::ofstream(cut, std::ios::binary | std::ios::trunc)
        << (size < whole.size()
                ? whole.substr(0, size)
                : whole.substr(0, zeroed) + std::string(2048, '\0') + whole.substr(zeroed + 2048));
    try {
      EXPECT_EQ(everything(AccessFile(cut)), all);
    } catch (const tarvel_db::AccessError& refused) {
      EXPECT_NE(std::string(refused.what()).find(cut.string()), std::string::npos)
          << refused.what();
    }
  }
}

}  // namespace
