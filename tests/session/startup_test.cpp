#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "session/startup.h"
#include "store/connection.h"
#include "temp_folder.h"
#include "without_rights.h"

namespace {

namespace fs = std::filesystem;
using testing_support::withoutRights;

std::string problemIn(const fs::path& folder) {
  return session::databaseProblem(folder).value_or("");
}

TEST(Startup, AMissingOrUnreadableDatabaseIsNamedWithItsPathAndCause) {
  testing_support::TempFolder folder;
  const auto file = store::databasePath(folder.path());

  const auto missing = session::databaseProblem(folder.path());
  ASSERT_TRUE(missing);
  EXPECT_NE(missing->find(file.string()), std::string::npos);
  EXPECT_NE(missing->find("no existe"), std::string::npos);
  // In the user's data folder the operator is told the command that creates it.
  const auto to_create = session::databaseProblem(folder.path(), false);
  ASSERT_TRUE(to_create);
  EXPECT_NE(to_create->find("tarvel-db create \"" + file.string() + "\""), std::string::npos);
  EXPECT_FALSE(fs::exists(file));

  std::ofstream(file) << "esto no es una base de datos, solo texto suficiente para llenar una "
                         "cabecera de archivo y un poco más de relleno";
  const auto unreadable = session::databaseProblem(folder.path());
  ASSERT_TRUE(unreadable);
  EXPECT_NE(unreadable->find(file.string()), std::string::npos);
  // Spanish first; the engine's English closes the message as its detail.
  EXPECT_NE(unreadable->find("Causa: el archivo no es una base de datos de este programa o está "
                             "dañado; recupere una copia de respaldo\n\nDetalle técnico: file is "
                             "not a database"),
            std::string::npos)
      << *unreadable;
}

TEST(Startup, EveryTableAndColumnTheProgramReadsMustBeThere) {
  testing_support::TempFolder folder;
  {
    auto db = testing_support::createDatabase(folder.path());
    db.runNative("DROP TABLE Cat_Trans");
    db.runNative("ALTER TABLE Cat_Ori DROP COLUMN Abrev");
  }
  const std::string problem = problemIn(folder.path());
  EXPECT_NE(problem.find("la tabla Cat_Trans"), std::string::npos) << problem;
  EXPECT_NE(problem.find("la columna Abrev de la tabla Cat_Ori"), std::string::npos) << problem;
  EXPECT_EQ(problem.find("Cat_Deleg"), std::string::npos) << problem;
}

// A file or a folder the program cannot write is found before the operator signs in, and
// the check itself leaves the file as it was.
TEST(Startup, ADatabaseThatCannotBeWrittenIsFoundAtTheStart) {
  testing_support::TempFolder folder;
  const auto file = store::databasePath(folder.path());
  testing_support::createDatabase(folder.path());
  const auto size = fs::file_size(file);

  fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  const std::string read_only = withoutRights([&] { return problemIn(folder.path()); });
  EXPECT_NE(read_only.find("solo lectura"), std::string::npos) << read_only;
  EXPECT_NE(read_only.find(fs::absolute(file).string()), std::string::npos) << read_only;

  fs::permissions(file, fs::perms::all & ~(fs::perms::owner_exec | fs::perms::group_exec |
                                           fs::perms::others_exec));
  fs::permissions(folder.path(),
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  const std::string locked_folder = withoutRights([&] { return problemIn(folder.path()); });
  fs::permissions(folder.path(), fs::perms::owner_write, fs::perm_options::add);
  EXPECT_NE(locked_folder.find("no permite crear archivos"), std::string::npos) << locked_folder;

  EXPECT_EQ(problemIn(folder.path()), "");
  EXPECT_EQ(fs::file_size(file), size);
  EXPECT_FALSE(fs::exists(file.string() + "-journal"));
}

// A file made before the program's lookups had their indexes gets them when the program
// opens it; its rows stay exactly as they were.
TEST(Startup, AnOlderFileGetsTheIndexesItLacksWithoutChangingItsRows) {
  testing_support::TempFolder folder;
  const auto file = store::databasePath(folder.path());
  const std::string ownIndexes =
      "SELECT name FROM sqlite_master WHERE type='index' AND name NOT LIKE 'sqlite_%'";
  const auto indexes = [&] { return store::Connection::open(file).runNative(ownIndexes).size(); };
  const auto rows = [&] {
    return testing_support::rowsText(
        store::Connection::open(file).runNative("SELECT * FROM Reg_Pre ORDER BY Consec"));
  };
  std::size_t made = 0;
  {
    auto db = testing_support::createDatabase(folder.path());
    const auto names = db.runNative(ownIndexes);
    made = names.size();
    ASSERT_GT(made, 0u);
    for (const auto& index : names) db.runNative("DROP INDEX " + index[0].asText());
    db.runNative(
        "INSERT INTO Reg_Pre (Cve_Mod, Fecha, Pre_min, Obs) VALUES ('FRU', "
        "'2006-07-20', 12.5, 'Llegó poca oferta')");
  }
  const std::string before = rows();
  EXPECT_EQ(indexes(), 0u);
  EXPECT_EQ(problemIn(folder.path()), "");
  EXPECT_EQ(indexes(), made);
  EXPECT_EQ(rows(), before);
  EXPECT_EQ(problemIn(folder.path()), "") << "a second start finds them there";
}

}  // namespace
