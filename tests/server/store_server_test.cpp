#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "capture/statements.h"
#include "server_database.h"
#include "session/startup.h"
#include "store/connection.h"
#include "store/error.h"
#include "store/server_settings.h"
#include "temp_folder.h"

namespace {

// The same rows in a file and on the server, for statements run on both.
class BothBackends : public ::testing::Test {
 protected:
  void SetUp() override {
    file = testing_support::createDatabase(folder.path());
    server = testing_support::createServerSchema(database);
  }
  void insert(const std::string& table, const std::vector<std::string>& columns,
              const std::vector<tarvel_db::CsvRecord>& rows) {
    testing_support::insert(*file, table, columns, rows);
    testing_support::insert(*server, table, columns, rows);
  }
  // The statement's rows from the file, then from the server.
  std::pair<std::string, std::string> both(const std::string& statement) {
    return {testing_support::rowsText(file->run(statement)),
            testing_support::rowsText(server->run(statement))};
  }

  testing_support::TempFolder folder;
  testing_support::ServerDatabase database;
  std::optional<store::Connection> file;
  std::optional<store::Connection> server;
};

TEST_F(BothBackends, TheDialectReadsTheSameRowsInTheSameOrder) {
  insert("Cat_Prod", {"Num_Prod", "Cve_Prod", "Desc_Prod", "Calidad", "Cve_Mod", "Tipo"},
         {{"1", "ARB", "árbol", "Primera", "FRU", "F"},
          {"2", "AZU", "Azul", "Primera", "FRU", "H"},
          {"3", "NUB", "nube", "Segunda", "FRU", "F"},
          {"4", "NAN", "Ñandú", "Primera", "FRU", std::nullopt},
          {"5", "NUE", "ñu", "Primera", "GRA", "G"},
          {"6", "ZET", "zeta", std::nullopt, "GRA", "G"},
          {"7", "NIL", std::nullopt, "Primera", "GRA", "I"}});
  insert("Reg_Pre", {"Consec", "Cve_Mod", "Fecha", "Cve_prod", "Pre_min", "Obs"},
         {{"10", "FRU", "2006-07-01", "1", "100", "uno"},
          {"11", "FRU", "2006-07-09", "2", std::nullopt, "Dos \"comillas\""},
          {"12", "GRA", "2006-07-09", "5", "12.5", std::nullopt},
          {"13", "GRA", "2006-06-30", "6", "0", "Ñandú y ñu"}});

  for (const std::string statement : {
           // Spanish order: accents beside their letter, ñ after n, case ignored; nulls first.
           "SELECT Desc_Prod, Calidad FROM Cat_Prod ORDER BY Desc_Prod, Calidad",
           "SELECT Desc_Prod FROM Cat_Prod ORDER BY Desc_Prod DESC",
           "SELECT left(Tipo,1), Desc_Prod FROM Cat_Prod ORDER BY left(Tipo,1), Num_Prod",
           // One-digit dates, double-quoted literals, top, numbers and nulls as read.
           "SELECT top 2 Consec, Fecha, Pre_min FROM Reg_Pre WHERE Fecha>=#2006/7/1# "
           "and Cve_Mod=\"FRU\" ORDER BY Fecha DESC",
           "SELECT Consec, Pre_min, Obs FROM Reg_Pre WHERE Fecha<=#2006/7/9# ORDER BY Consec",
           "SELECT count(*) FROM Reg_Pre WHERE Fecha=#2006/7/9#",
           // The dialect's functions.
           "SELECT mid(Desc_Prod,2,3), lcase(Desc_Prod), InStr(Desc_Prod,\"U\") FROM Cat_Prod "
           "WHERE Num_Prod<7 ORDER BY Num_Prod",
           "SELECT Consec FROM Reg_Pre WHERE InStr(lcase(Obs),\"ñu\")>0",
           // Joins in nested parentheses.
           "SELECT Reg_Pre.Consec, Cat_Prod.Desc_Prod FROM (Reg_Pre INNER JOIN Cat_Prod ON "
           "Reg_Pre.Cve_prod = Cat_Prod.Num_Prod) WHERE Reg_Pre.Cve_Mod=\"GRA\" "
           "ORDER BY Cat_Prod.Desc_Prod",
       }) {
    const auto [from_file, from_server] = both(statement);
    EXPECT_EQ(from_file, from_server) << statement;
    EXPECT_FALSE(from_file.empty()) << statement;
  }
}

// The previous-prices panel reads exactly five rows; when records share the date at the
// limit (sugar has no duplicate check), both take the same ones, latest saved first, however
// the rows lie in the table.
TEST_F(BothBackends, TiesAtTheLimitGiveTheSameFiveRows) {
  std::vector<tarvel_db::CsvRecord> records;
  for (const auto& [key, date] : {std::pair{24, "2006-07-18"},
                                  {20, "2006-07-17"},
                                  {26, "2006-07-18"},
                                  {21, "2006-07-18"},
                                  {23, "2006-07-20"},
                                  {22, "2006-07-18"},
                                  {25, "2006-07-19"}}) {
    records.push_back(
        {std::to_string(key), "AZU", date, "5", "3", "10", "1", std::to_string(100 + key)});
  }
  insert("Reg_Pre",
         {"Consec", "Cve_Mod", "Fecha", "Cve_prod", "Cve_ori", "Cve_des", "Cve_pres", "Pre_min"},
         records);
  // Without the record indexes the rows are read in the order they lie, then sorted.
  for (const store::Row& index :
       file->runNative("SELECT name FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL")) {
    file->runNative("DROP INDEX " + index[0].asText());
  }
  for (const store::Row& index : server->runNative(
           "SELECT indexname FROM pg_indexes WHERE tablename = 'reg_pre' AND indexname NOT LIKE "
           "'%pkey'")) {
    server->runNative("DROP INDEX " + index[0].asText());
  }
  const std::string panel = capture::previousPricesStatement(capture::PriceKey{"AZU", 10, 5, 1, 3},
                                                             text::Date{2006, 7, 21});
  const auto [from_file, from_server] = both(panel);
  EXPECT_EQ(from_file, from_server);
  std::string minimums;
  for (const store::Row& row : server->run(panel)) minimums += row[0].asText() + " ";
  EXPECT_EQ(minimums, "123 125 126 124 122 ");
}

// What the program asks of a connection besides statements, on the server.
TEST_F(BothBackends, KeysColumnsChangesAndRefusalsOnTheServer) {
  {
    struct Changes : store::ConnectionListener {
      void rowsChanged() override { changed = true; }
      bool changed = false;
    } changes;
    server->listen(&changes);
    server->runNative("INSERT INTO Reg_Pre (Cve_Mod, Fecha, Pre_min) VALUES (?, ?, ?)",
                      store::Row{store::Value(std::string("FRU")),
                                 store::Value(std::string("2006-07-21")), store::Value(0.1)});
    server->listen(nullptr);
    EXPECT_TRUE(changes.changed);
  }
  const std::int64_t key = server->lastInsertedKey();
  const store::Rows row = server->runNative("SELECT Consec, Fecha, Pre_min, Obs FROM Reg_Pre");
  ASSERT_EQ(row.size(), 1u);
  EXPECT_EQ(row[0][0].asInteger(), key);
  EXPECT_EQ(row[0][1].asText(), "2006-07-21");
  EXPECT_EQ(row[0][2].asReal(), 0.1) << "a real comes back bit for bit";
  // Also on a database whose own defaults would cut it short or change dates.
  database.setHostileDefaults();
  store::Connection again = database.connect();
  again.runNative("UPDATE Reg_Pre SET Pre_min = ?", store::Row{store::Value(0.1 + 0.2)});
  const store::Rows exact = again.runNative("SELECT Pre_min, Fecha FROM Reg_Pre");
  EXPECT_EQ(exact[0][0].asReal(), 0.1 + 0.2);
  EXPECT_EQ(exact[0][1].asText(), "2006-07-21");
  EXPECT_TRUE(row[0][3].isNull());

  const std::vector<std::string> columns = server->columnsOf("Reg_Pre");
  EXPECT_EQ(columns.size(), file->columnsOf("Reg_Pre").size());
  EXPECT_EQ(columns.front(), "consec");
  EXPECT_TRUE(server->columnsOf("No_Existe").empty());

  EXPECT_THROW(server->runNative("SELECT 1; DELETE FROM Reg_Pre"), store::StoreError);
  EXPECT_THROW(server->runNative(std::string("SELECT 1\0 DELETE FROM Reg_Pre", 27)),
               store::StoreError);
  EXPECT_EQ(server->runNative("SELECT count(*) FROM Reg_Pre")[0][0].asInteger(), 1);
  try {
    server->run("SELECT x FROM Tabla_Ausente");
    FAIL() << "a missing table is refused";
  } catch (const store::StoreError& failure) {
    EXPECT_NE(failure.cause().find("no tiene la tabla"), std::string::npos) << failure.cause();
  }
}

// At the start, a server that cannot be reached or lacks the tables is told like a missing
// file: what, where, what to do.
TEST(Server, TheStartTellsAServerItCannotUse) {
  testing_support::TempFolder folder;
  const auto point_to = [&](const std::string& uri) {
    std::ofstream(folder.path() / store::kSettingsFileName) << "servidor = " << uri << "\n";
  };
  point_to("postgresql:///nada?host=/nonexistent&user=postgres");
  const auto unreachable = session::databaseProblem(folder.path());
  ASSERT_TRUE(unreachable);
  EXPECT_NE(unreachable->find("no se pudo conectar con el servidor"), std::string::npos)
      << *unreachable;
  EXPECT_NE(unreachable->find("postgresql://postgres@/nada?host=/nonexistent"), std::string::npos)
      << *unreachable;

  testing_support::ServerDatabase empty;
  point_to(empty.uri());
  const auto without_tables = session::databaseProblem(folder.path());
  ASSERT_TRUE(without_tables);
  EXPECT_NE(without_tables->find("la tabla Reg_Pre"), std::string::npos) << *without_tables;
}

}  // namespace

namespace {

// Sends `signal` to the tests' server: its postmaster and every process it started.
void signalServer(const char* signal) {
  const char* folder = std::getenv("TARVEL_TEST_SERVER");
  ASSERT_NE(folder, nullptr);
  std::ifstream pid_file(std::string(folder) + "/data/postmaster.pid");
  long postmaster = 0;
  pid_file >> postmaster;
  ASSERT_GT(postmaster, 0);
  const std::string pid = std::to_string(postmaster);
  ASSERT_EQ(
      std::system(("pkill -" + std::string(signal) + " -P " + pid + "; kill -" + signal + " " + pid)
                      .c_str()),
      0);
}

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A server that stops answering costs the settings' waits and no more: a statement on an
// open connection gives up after its limit, a new connection after its own, each with a
// message that says so; once the server answers again, so does the program.
TEST(Server, AServerThatStopsAnsweringIsGivenUpOnInTime) {
  testing_support::ServerDatabase database;
  store::Connection db = store::Connection::connect(store::ServerSettings{database.uri(), 2, 1});
  const std::string backend = db.runNative("SELECT pg_backend_pid()")[0][0].asText();
  ASSERT_EQ(std::system(("kill -STOP " + backend).c_str()), 0);
  auto start = std::chrono::steady_clock::now();
  try {
    db.runNative("SELECT 1");
    ADD_FAILURE() << "a paused backend answered";
  } catch (const store::StoreError& silence) {
    EXPECT_NE(silence.explanation().find("no respondió en 1 s"), std::string::npos)
        << silence.what();
  }
  EXPECT_LT(secondsSince(start), 6);
  EXPECT_THROW(db.runNative("SELECT 1"), store::StoreError) << "the connection was given up";
  ASSERT_EQ(std::system(("kill -CONT " + backend).c_str()), 0);

  signalServer("STOP");
  start = std::chrono::steady_clock::now();
  try {
    store::Connection::connect(store::ServerSettings{database.uri(), 2, 1});
    ADD_FAILURE() << "a paused server took a connection";
  } catch (const store::StoreError& silence) {
    EXPECT_NE(silence.explanation().find("no se pudo conectar"), std::string::npos)
        << silence.what();
  }
  EXPECT_LT(secondsSince(start), 8);
  signalServer("CONT");
  EXPECT_EQ(store::Connection::connect(database.uri()).runNative("SELECT 1")[0][0].asInteger(), 1);
}

}  // namespace
