#include "capture_catalogue.h"

#include <map>
#include <set>
#include <string>
#include <vector>

#include "generating/demo_data.h"
#include "loading/loader.h"
#include "text/money.h"

namespace testing_support {

using tarvel_db::CsvRecord;
using tarvel_db::insertRows;
using Rows = std::vector<CsvRecord>;

// The demo's catalogues, each cut down to the rows the tests count on.
void writeCatalogues(store::Connection& c) {
  const auto keys = [](int from, int to) {
    std::set<int> range;
    for (int key = from; key <= to; ++key) range.insert(key);
    return range;
  };
  std::set<int> products = keys(1, 10);
  products.merge(std::set<int>{20, 21, 22, 30, 31, 32, 33, 40, 41, 50, 51, 52, 53});
  products.merge(std::set<int>{60, 61, 62, 63, 70, 71, 72});
  const std::map<std::string, std::set<int>> kept{
      {"Cat_Deleg", {5, 12, 30}},   {"Cat_Ori", keys(1, 7)},
      {"Cat_Muni", keys(301, 303)}, {"Cat_Dest", {10, 11, 13, 100, 20, 40}},
      {"Cat_Prod", products},       {"Cat_Pres", keys(1, 12)}};
  for (const auto& [table, rows] : tarvel_db::demoCatalogues()) {
    const auto only = kept.find(table);
    Rows chosen;
    for (const CsvRecord& row : rows) {
      if (only == kept.end() || only->second.count(std::stoi(*row[0]))) chosen.push_back(row);
    }
    insertRows(c, table, chosen);
  }
}

namespace {

// One capture day of a module at a destination: a record per (product, presentation,
// origin), with prices that drift a little from day to day.
struct Capture {
  const char* module;
  int delegation;
  int destination;
  std::vector<int> products;
  int presentation;
  std::vector<int> origins;
  double base_price;
};

void writeCaptureDays(store::Connection& c, const text::Date& today) {
  const std::vector<Capture> captures{
      {"FRU", 5, 10, {1, 2, 3, 4, 5, 7, 8, 9}, 1, {3, 5}, 180},
      {"FRU", 5, 11, {4, 5, 6, 10}, 4, {3}, 150},
      {"FRU", 12, 20, {1, 4, 9}, 1, {7}, 170},
      {"GRA", 5, 10, {40, 41}, 5, {3, 1}, 600},
      {"FLO", 5, 13, {50, 51, 52, 53}, 9, {3}, 90},
      {"ACE", 5, 10, {30, 31, 32, 33}, 7, {6}, 35},
      {"INS", 5, 10, {60, 61, 62, 63}, 12, {3}, 420},
      {"AZU", 5, 10, {20, 21, 22}, 5, {1, 2, 3}, 800},
      {"VOL", 5, 10, {4, 5, 6}, 2, {3, 5}, 0},
      {"AND", 12, 100, {70, 71, 72}, 11, {7}, 120},
  };
  const std::vector<std::string> columns{
      "Cve_del", "Cve_Mod", "Fecha",    "Cve_prod", "Cve_ori",     "Cve_des", "Cve_pres",
      "Pre_min", "Pre_max", "Pre_frec", "Pre_uni",  "Consecutivo", "Obs",     "Cve_inf",
      "Cve_mun", "Cve_tra", "Vol",      "Fecha_de", "Fecha_a"};
  Rows rows;
  for (int days_back : {4, 2, 1}) {
    const text::Date day = text::addDays(today, -days_back);
    for (const Capture& capture : captures) {
      int running = 0;
      for (int product : capture.products) {
        for (int origin : capture.origins) {
          ++running;
          const bool volume = std::string(capture.module) == "VOL";
          const double low = capture.base_price + product * 3 + origin - days_back * 2;
          const auto price = [&](double value) {
            return volume ? std::string("0") : text::plainNumber(value);
          };
          const auto volumeOnly = [&](const std::string& value) {
            return volume ? CsvRecord::value_type(value) : std::nullopt;
          };
          rows.push_back({std::to_string(capture.delegation), capture.module, text::isoDate(day),
                          std::to_string(product), std::to_string(origin),
                          std::to_string(capture.destination), std::to_string(capture.presentation),
                          price(low), price(low * 1.2), price(low * 1.1), "0",
                          std::to_string(running), running == 2 ? "Llegó poca oferta" : "", "1",
                          "301", volumeOnly("1"), volumeOnly(std::to_string(12 + running)),
                          volumeOnly(text::isoDate(day)), volumeOnly(text::isoDate(day))});
        }
      }
    }
  }
  insertRows(c, "Reg_Pre", columns, rows);
}

}  // namespace

void writeCaptureCatalogue(store::Connection& connection, const text::Date& today) {
  writeCatalogues(connection);
  writeCaptureDays(connection, today);
}

}  // namespace testing_support
