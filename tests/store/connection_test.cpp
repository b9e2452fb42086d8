#include <gtest/gtest.h>

#include <filesystem>

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
  store::run(folder.path(), "INSERT INTO Reg_Pre ( Cve_Mod, Obs) values ('FRU', '" +
                                store::escapeText(observation) + "')");
  const auto rows = store::run(folder.path(), "SELECT Consec, Obs from Reg_Pre");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][1].asText(), observation);
  // Keys are never reused, even after the newest row is deleted.
  store::run(folder.path(), "DELETE from Reg_Pre  where Consec=" + rows[0][0].asText() + " ");
  store::run(folder.path(), "INSERT INTO Reg_Pre ( Cve_Mod) values ('FRU')");
  EXPECT_GT(store::run(folder.path(), "SELECT Consec from Reg_Pre")[0][0].asInteger(),
            rows[0][0].asInteger());
}

}  // namespace
