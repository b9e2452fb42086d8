#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "store/connection.h"
#include "store/database.h"
#include "store/error.h"
#include "store/literal.h"
#include "store/sqlite_failure.h"
#include "temp_folder.h"

namespace {

// Each operation opens the file anew and sees the commits of the ones before. Texts are
// stored exactly as given (capture/saving_test.cpp).
TEST(Connection, KeysAreNeverReusedEvenAfterTheNewestRowIsDeleted) {
  testing_support::TempFolder folder;
  testing_support::createDatabase(folder.path());
  const auto newest = [&] {
    return store::run(folder.path(), "SELECT max(Consec) from Reg_Pre")[0][0].asInteger();
  };
  store::run(folder.path(), "INSERT INTO Reg_Pre ( Cve_Mod) values ('FRU')");
  const auto first = newest();
  store::run(folder.path(), "DELETE from Reg_Pre  where Consec=" + std::to_string(first) + " ");
  EXPECT_EQ(newest(), 0);
  store::run(folder.path(), "INSERT INTO Reg_Pre ( Cve_Mod) values ('FRU')");
  EXPECT_GT(newest(), first);
}

TEST(Connection, EveryConnectionGetsTheSameSettings) {
  testing_support::TempFolder folder;
  // A file left in write-ahead mode by another tool comes back to a single file at rest.
  testing_support::createDatabase(folder.path()).runNative("PRAGMA journal_mode=WAL");
  for (int i = 0; i < 2; ++i) {
    auto db = store::Connection::open(store::databasePath(folder.path()));
    EXPECT_EQ(db.runNative("PRAGMA journal_mode")[0][0].asText(), "delete");
    EXPECT_EQ(db.runNative("PRAGMA synchronous")[0][0].asInteger(), 2);
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

// A second statement is refused before anything runs, hidden behind a NUL or not.
TEST(Connection, OnlyBlanksMayFollowTheOneStatement) {
  testing_support::TempFolder folder;
  auto db = testing_support::createDatabase(folder.path());
  db.run("INSERT INTO Config (Cve_Del) values (5)");
  const std::string hidden("SELECT 1\0; DROP TABLE Reg_Pre", 30);
  EXPECT_THROW(db.runNative(hidden), store::StoreError);
  EXPECT_THROW(db.run(hidden), store::StoreError);
  EXPECT_THROW(db.runNative(std::string("SELECT 1\0", 9)), store::StoreError);
  EXPECT_THROW(db.runNative("SELECT 1; -- nada"), store::StoreError);
  EXPECT_THROW(db.run("DELETE FROM Config; DROP TABLE Reg_Pre"), store::StoreError);
  EXPECT_EQ(db.runNative("SELECT count(*) FROM Config \n\t\r ")[0][0].asInteger(), 1);
  EXPECT_EQ(db.run("SELECT count(*) from Reg_Pre;  ")[0][0].asInteger(), 0);
}

// The explanation must never show the statement: it may hold the typed access key.
using Kind = store::StoreError::Kind;

void expectExplained(const store::StoreError& error, Kind kind, const std::string& words) {
  EXPECT_EQ(error.kind(), kind) << error.engineMessage();
  EXPECT_EQ(error.cause(), error.what());
  EXPECT_NE(error.cause().find(words), std::string::npos) << error.cause();
  EXPECT_EQ(error.cause().find("746"), std::string::npos) << error.cause();
  if (kind != Kind::Program) {
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
  expectExplained(busy, Kind::Busy, "ocupada por otro programa");
  EXPECT_EQ(busy.statement(), insert);
  writer.runNative("ROLLBACK");

  expectExplained(failureOf([&] { other.run("SELECT * from Reg_Nada where x='746'"); }),
                  Kind::MissingTable, "no tiene la tabla Reg_Nada");
  expectExplained(failureOf([&] { other.run("SELECT Nada from Config where Cve_Del='746'"); }),
                  Kind::MissingColumn, "no tiene la columna Nada");
  expectExplained(failureOf([&] { other.run("SELEC Cve_Del from Config where Cve_Del='746'"); }),
                  Kind::Other, "la base de datos no pudo completar la operación");

  // A missing file is never created.
  testing_support::TempFolder missing;
  expectExplained(failureOf([&] { store::run(missing.path(), "SELECT 746"); }), Kind::CannotOpen,
                  "no se pudo abrir el archivo");
  EXPECT_FALSE(std::filesystem::exists(store::databasePath(missing.path())));
  std::ofstream(store::databasePath(missing.path())) << std::string(4096, 'x');
  expectExplained(failureOf([&] { store::run(missing.path(), "SELECT 746"); }), Kind::NotADatabase,
                  "no es una base de datos");

  // Failures this machine cannot bring about on demand, by their codes.
  for (const auto& [code, kind, words] :
       {std::tuple{SQLITE_READONLY_DIRECTORY, Kind::ReadOnlyFolder, "solo lectura"},
        std::tuple{SQLITE_FULL, Kind::Full, "disco está lleno"},
        std::tuple{SQLITE_IOERR_WRITE, Kind::Io, "lectura o la escritura"},
        std::tuple{SQLITE_CORRUPT, Kind::NotADatabase, "dañado"},
        std::tuple{SQLITE_LOCKED, Kind::Busy, "ocupada"}}) {
    expectExplained(store::sqliteFailure("UPDATE Config SET Cve_Del='746'", nullptr, code), kind,
                    words);
  }
  // A failure the program found itself keeps its own Spanish sentence.
  expectExplained(store::StoreError("SELECT 746", "la fecha no existe"), Kind::Program,
                  "la fecha no existe");
}

}  // namespace

namespace {

// An event notes whether it changed rows, a nested event's changes counting for it; the
// next event starts afresh, on the same kept connection.
TEST(Database, AnEventNotesWhatItAndTheEventsInsideItChanged) {
  testing_support::TempFolder folder;
  testing_support::createDatabase(folder.path());
  store::Database db(folder.path());
  {
    const store::OperationScope operation(db);
    db.run("CREATE TEMP TABLE Apartado (x INTEGER)");
    db.run("UPDATE Apartado SET x=1");
    EXPECT_FALSE(db.changedRows()) << "no row was changed";
    {
      const store::OperationScope nested(db);
      db.run("INSERT INTO Apartado VALUES (1)");
      EXPECT_TRUE(db.changedRows());
    }
    EXPECT_TRUE(db.changedRows()) << "the nested change counts for the event";
  }
  const store::OperationScope next(db);
  EXPECT_FALSE(db.changedRows());
  EXPECT_EQ(db.run("SELECT x FROM Apartado").size(), 1u);
}

}  // namespace
