#include <gtest/gtest.h>

#include "capture/day_basket.h"
#include "capture/price_history.h"
#include "capture/price_record.h"
#include "capture/statements.h"
#include "store/connection.h"
#include "store/jet_dialect.h"
#include "temp_folder.h"

namespace {

// How the engine answers `statement`: one line per step of its plan.
std::vector<std::string> planOf(store::Connection& db, const std::string& statement) {
  std::vector<std::string> steps;
  for (const auto& row : db.runNative("EXPLAIN QUERY PLAN " + store::translateJet(statement))) {
    steps.push_back(row[3].asText());
  }
  return steps;
}

// Every statement of the day's work finds its Reg_Pre rows through an index (or the key),
// and the "most recent" ones read them in order: no event reads more rows than it shows,
// however many the file holds.
TEST(IndexUse, EveryStatementOfTheDaysWorkSearchesRecordsThroughAnIndex) {
  testing_support::TempFolder folder;
  auto db = testing_support::createDatabase(folder.path());
  const text::Date day{2006, 7, 21};
  capture::PriceRecord record;
  record.delegation = "5", record.date = day, record.transport = 1, record.municipality = 301;
  record.source = 1, record.periodFrom = record.periodTo = "2006/7/21";
  std::vector<std::string> statements;
  for (const char* module : {"FRU", "ACE", "AZU", "INS", "VOL"}) {
    record.module = module;
    statements.push_back(capture::lastEarlierDateStatement(module, 10, day));
    statements.push_back(capture::basketStatement(module, 10, day));
    statements.push_back(capture::dayCountStatement(module, 10, day));
    statements.push_back(capture::savedKeysStatement(module, 10, day));
    statements.push_back(capture::duplicateCountStatement(record));
    statements.push_back(capture::duplicateCountStatement(record, 42));
    statements.push_back(capture::previousPricesStatement({module, 10, 1, 1, 3}, day));
  }
  statements.push_back(capture::updateStatement(record, 42));
  statements.push_back("DELETE from Reg_Pre  where Consec=42 ");
  statements.push_back(
      "SELECT Reg_Pre.Cve_des, Reg_Pre.Cve_prod, Pre_min from Reg_Pre  where Consec=42 ");

  for (const std::string& statement : statements) {
    SCOPED_TRACE(statement);
    bool reads_records = false;
    for (const std::string& step : planOf(db, statement)) {
      if (step.find("Reg_Pre") != std::string::npos) {
        reads_records = true;
        EXPECT_EQ(step.rfind("SEARCH Reg_Pre USING", 0), 0u) << step;
      }
      if (statement.find(" top ") != std::string::npos) {
        EXPECT_EQ(step.find("TEMP B-TREE"), std::string::npos) << step;
      }
    }
    EXPECT_TRUE(reads_records);
  }
}

}  // namespace
