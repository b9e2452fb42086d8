#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "session/startup.h"
#include "store/connection.h"
#include "temp_folder.h"

namespace {

TEST(Startup, AMissingOrUnreadableDatabaseIsNamedWithItsPathAndCause) {
  testing_support::TempFolder folder;
  const auto file = store::databasePath(folder.path());

  const auto missing = session::databaseProblem(folder.path());
  ASSERT_TRUE(missing);
  EXPECT_NE(missing->find(file.string()), std::string::npos);
  EXPECT_NE(missing->find("no existe"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(file));

  std::ofstream(file) << "esto no es una base de datos, solo texto suficiente para llenar una "
                         "cabecera de archivo y un poco más de relleno";
  const auto unreadable = session::databaseProblem(folder.path());
  ASSERT_TRUE(unreadable);
  EXPECT_NE(unreadable->find(file.string()), std::string::npos);
  EXPECT_NE(unreadable->find("Causa"), std::string::npos);

  std::filesystem::remove(file);
  testing_support::createDatabase(folder.path());
  EXPECT_FALSE(session::databaseProblem(folder.path()));
}

}  // namespace
