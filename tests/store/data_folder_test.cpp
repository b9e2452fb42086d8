#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "store/connection.h"
#include "store/data_folder.h"
#include "temp_folder.h"
#include "without_rights.h"

namespace {

namespace fs = std::filesystem;

// The database beside the program keeps everything there; without it, and in a program
// folder the operator cannot write in, the user's data folder is used.
TEST(DataFolder, TheProgramFolderOnlyWhenItHoldsTheDatabase) {
  testing_support::TempFolder program;
  const fs::path user = "/home/operador/.local/share/tarvel-captura";
  const store::DataFolder absent = store::chooseDataFolder(program.path(), user);
  EXPECT_EQ(absent.path, user);
  EXPECT_FALSE(absent.portable);

  fs::permissions(program.path(), fs::perms::owner_all | fs::perms::group_read |
                                      fs::perms::group_exec | fs::perms::others_read |
                                      fs::perms::others_exec);
  EXPECT_EQ(testing_support::withoutRights(
                [&] { return store::chooseDataFolder(program.path(), user).path.string(); }),
            user.string());

  std::ofstream(store::databasePath(program.path())) << "";
  const store::DataFolder present = store::chooseDataFolder(program.path(), user);
  EXPECT_EQ(present.path, program.path());
  EXPECT_TRUE(present.portable);
}

TEST(DataFolder, TheUserFolderFollowsXdgDataHomeThenHome) {
  const char* saved_data_home = std::getenv("XDG_DATA_HOME");
  const char* saved_home = std::getenv("HOME");
  const std::string data_home = saved_data_home ? saved_data_home : "";
  const std::string home = saved_home ? saved_home : "";

  setenv("HOME", "/home/operador", 1);
  setenv("XDG_DATA_HOME", "/datos", 1);
  EXPECT_EQ(store::userDataFolder(), "/datos/tarvel-captura");
  setenv("XDG_DATA_HOME", "relativa", 1);
  EXPECT_EQ(store::userDataFolder(), "/home/operador/.local/share/tarvel-captura");
  unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(store::userDataFolder(), "/home/operador/.local/share/tarvel-captura");

  setenv("HOME", home.c_str(), 1);
  if (saved_data_home) setenv("XDG_DATA_HOME", data_home.c_str(), 1);
}

}  // namespace
