#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "store/connection.h"
#include "store/error.h"
#include "store/literal.h"
#include "temp_folder.h"

namespace {

TEST(Connection, AMissingFileIsAnErrorAndIsNeverCreated) {
  testing_support::TempFolder folder;
  EXPECT_THROW(store::run(folder.path(), "SELECT 1"), store::StoreError);
  EXPECT_FALSE(std::filesystem::exists(store::databasePath(folder.path())));
}

TEST(Connection, EachOperationSeesTheCommitsOfTheOnesBefore) {
  testing_support::TempFolder folder;
  testing_support::createDatabase(folder.path());
  const std::string observation = "Llegó poca oferta; precio 'alto' -- revisar";
  store::run(folder.path(), "INSERT INTO Reg_Pre ( Cve_Mod, Obs) values ('FRU', " +
                                store::sqlText(observation) + ")");
  const auto rows = store::run(folder.path(), "SELECT Consec, Obs from Reg_Pre");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][1].asText(), observation);
  // Keys are never reused, even after the newest row is deleted.
  store::run(folder.path(), "DELETE from Reg_Pre  where Consec=" + rows[0][0].asText() + " ");
  store::run(folder.path(), "INSERT INTO Reg_Pre ( Cve_Mod) values ('FRU')");
  EXPECT_GT(store::run(folder.path(), "SELECT Consec from Reg_Pre")[0][0].asInteger(),
            rows[0][0].asInteger());
}

TEST(Connection, EveryConnectionGetsTheSameSettings) {
  testing_support::TempFolder folder;
  // A file left in write-ahead mode by another tool comes back to a single file at rest.
  testing_support::createDatabase(folder.path()).runNative("PRAGMA journal_mode=WAL");
  for (int i = 0; i < 2; ++i) {
    auto db = store::Connection::open(store::databasePath(folder.path()));
    EXPECT_EQ(db.runNative("PRAGMA journal_mode")[0][0].asText(), "delete");
    EXPECT_EQ(db.runNative("PRAGMA synchronous")[0][0].asInteger(), 2);
    EXPECT_GE(db.runNative("PRAGMA busy_timeout")[0][0].asInteger(), 1000);
    // Defensive: the journal cannot be switched off by a statement.
    db.runNative("PRAGMA journal_mode=OFF");
    EXPECT_EQ(db.runNative("PRAGMA journal_mode")[0][0].asText(), "delete");
    try {
      db.runNative("SELECT \"nope\"");
      ADD_FAILURE() << "a double-quoted name was taken as a literal";
    } catch (const store::StoreError& error) {
      EXPECT_EQ(error.engineMessage(), "no such column: nope");
    }
  }
  EXPECT_FALSE(std::filesystem::exists(store::databasePath(folder.path()).string() + "-wal"));
}

TEST(Connection, OnlyBlanksMayFollowTheOneStatement) {
  testing_support::TempFolder folder;
  auto db = testing_support::createDatabase(folder.path());
  const std::string hidden("SELECT 1\0; DROP TABLE Reg_Pre", 30);
  EXPECT_THROW(db.runNative(hidden), store::StoreError);
  EXPECT_THROW(db.run(hidden), store::StoreError);
  EXPECT_THROW(db.runNative(std::string("SELECT 1\0", 9)), store::StoreError);
  EXPECT_THROW(db.runNative("SELECT 1; -- nada"), store::StoreError);
  EXPECT_EQ(db.runNative("SELECT count(*) FROM Reg_Pre \n\t\r ")[0][0].asInteger(), 0);
}

// The explanation must never show the statement: it may hold the typed access key.
void expectExplained(const store::StoreError& error, int primary_code, const std::string& words) {
  EXPECT_EQ(error.code() & 0xFF, primary_code) << error.engineMessage();
  EXPECT_EQ(error.cause(), error.what());
  EXPECT_NE(error.cause().find(words), std::string::npos) << error.cause();
  EXPECT_EQ(error.cause().find("746"), std::string::npos) << error.cause();
  if (error.code() != 0) {
    EXPECT_NE(error.cause().find("(" + error.engineMessage() + ")"), std::string::npos);
  }
}

template <typename Action>
store::StoreError failureOf(Action action) {
  try {
    action();
  } catch (const store::StoreError& error) {
    return error;
  }
  ADD_FAILURE() << "no failure";
  return store::StoreError("", "");
}

TEST(StoreErrors, ExplainWhatWentWrongInSpanishWithoutTheStatement) {
  testing_support::TempFolder folder;
  auto writer = testing_support::createDatabase(folder.path());
  const std::string insert = "INSERT INTO Config (Cve_Del) values ('746')";
  writer.runNative("BEGIN IMMEDIATE");
  auto other = store::Connection::open(store::databasePath(folder.path()));
  other.runNative("PRAGMA busy_timeout=20");
  const auto busy = failureOf([&] { other.run(insert); });
  expectExplained(busy, SQLITE_BUSY, "ocupada por otro programa");
  EXPECT_EQ(busy.statement(), insert);
  writer.runNative("ROLLBACK");

  expectExplained(failureOf([&] { other.run("SELECT * from Reg_Nada where x='746'"); }),
                  SQLITE_ERROR, "no tiene la tabla Reg_Nada");
  expectExplained(failureOf([&] { other.run("SELECT Nada from Config where Cve_Del='746'"); }),
                  SQLITE_ERROR, "no tiene la columna Nada");
  expectExplained(failureOf([&] { other.run("SELEC Cve_Del from Config where Cve_Del='746'"); }),
                  SQLITE_ERROR, "la base de datos no pudo completar la operación");

  testing_support::TempFolder missing;
  expectExplained(failureOf([&] { store::run(missing.path(), "SELECT 746"); }), SQLITE_CANTOPEN,
                  "no se pudo abrir el archivo");
  std::ofstream(store::databasePath(missing.path())) << std::string(4096, 'x');
  expectExplained(failureOf([&] { store::run(missing.path(), "SELECT 746"); }), SQLITE_NOTADB,
                  "no es una base de datos");

  // Failures this machine cannot bring about on demand, by their codes.
  const auto explained = [](int code, const char* message) {
    return store::StoreError("UPDATE Config SET Cve_Del='746'", message, code);
  };
  expectExplained(explained(SQLITE_READONLY_DIRECTORY, "attempt to write a readonly database"),
                  SQLITE_READONLY, "solo lectura");
  expectExplained(explained(SQLITE_FULL, "database or disk is full"), SQLITE_FULL,
                  "disco está lleno");
  expectExplained(explained(SQLITE_IOERR_WRITE, "disk I/O error"), SQLITE_IOERR,
                  "lectura o la escritura");
  expectExplained(explained(SQLITE_CORRUPT, "database disk image is malformed"), SQLITE_CORRUPT,
                  "dañado");
  expectExplained(explained(SQLITE_LOCKED, "database table is locked"), SQLITE_LOCKED, "ocupada");
  // A failure the program found itself keeps its own Spanish sentence.
  expectExplained(store::StoreError("SELECT 746", "la fecha no existe"), 0, "la fecha no existe");
}

}  // namespace
