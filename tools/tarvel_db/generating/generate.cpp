#include "generating/generate.h"

#include <array>
#include <random>
#include <string>
#include <vector>

#include "loading/loader.h"
#include "store/schema.h"

namespace tarvel_db {
namespace {

using Rows = std::vector<CsvRecord>;

constexpr int kDestinations = 60;
constexpr int kPresentations = 300;
constexpr int kOrigins = 120;
constexpr int kSugarMills = 40;
constexpr int kStates = 32;
constexpr int kMunicipalitiesPerState = 63;  // 2,016 in all
constexpr int kSources = 10;
constexpr int kTransports = 6;
// Delegation 5 works the first destinations; the others share the rest.
constexpr int kOwnDestinations = 20;

// Products per module: the first key, how many and the type letters they take.
struct ProductRange {
  const char* module;
  int first;
  int count;
  const char* types;
};
constexpr std::array<ProductRange, 7> kProducts = {{{"FRU", 1, 300, "FGHI"},
                                                    {"AZU", 301, 40, "Z"},
                                                    {"ACE", 341, 60, "A"},
                                                    {"GRA", 401, 120, "S"},
                                                    {"FLO", 521, 100, "N"},
                                                    {"INS", 621, 100, "R"},
                                                    {"AND", 721, 80, "B"}}};
constexpr const char* kVarieties = "SGMC";

// Where the day's capture goes: each module at a few destinations, the fruit market the
// largest share, as at a real delegation.
struct Stream {
  const char* module;
  int destination;
  int weight;
};
constexpr std::array<Stream, 16> kStreams = {{{"FRU", 1, 16},
                                              {"FRU", 2, 10},
                                              {"FRU", 3, 8},
                                              {"FRU", 4, 6},
                                              {"GRA", 1, 5},
                                              {"GRA", 2, 4},
                                              {"ACE", 1, 4},
                                              {"AZU", 1, 3},
                                              {"FLO", 1, 4},
                                              {"FLO", 5, 3},
                                              {"INS", 1, 5},
                                              {"INS", 2, 3},
                                              {"VOL", 1, 6},
                                              {"VOL", 2, 4},
                                              {"AND", 1, 4},
                                              {"AND", 6, 3}}};

const ProductRange& rangeOf(const std::string& module) {
  // Volumes are reported for the fruit and vegetable products.
  for (const ProductRange& range : kProducts) {
    if (module == range.module || (module == "VOL" && std::string(range.module) == "FRU")) {
      return range;
    }
  }
  return kProducts[0];
}

std::string text(std::int64_t number) {
  return std::to_string(number);
}

void writeCatalogues(store::Connection& c, std::mt19937_64& random) {
  insertRows(c, "Cat_Deleg",
             {{"5", "Delegación Valle Alto", "005", "3"},
              {"12", "Delegación Costa Serena", "012", "7"},
              {"21", "Delegación Sierra Añil", "021", "11"},
              {"30", "Delegación Llanos de Oro", "A30", "15"}});
  insertRows(c, "Config", {{"0", "0"}});

  Rows rows;
  for (int d = 1; d <= kDestinations; ++d) {
    const char* coord = d <= kOwnDestinations ? "5" : (d <= 35 ? "12" : (d <= 50 ? "21" : "30"));
    CsvRecord row = {text(d), "Mercado de Destino " + text(d), coord};
    for (int flag = 0; flag < 5; ++flag) row.push_back(d <= 6 || random() % 3 == 0 ? "S" : "N");
    rows.push_back(row);
  }
  insertRows(c, "Cat_Dest", rows);

  rows.clear();
  for (const ProductRange& range : kProducts) {
    const std::string types = range.types;
    for (int i = 0; i < range.count; ++i) {
      const char type = types[static_cast<std::size_t>(i) % types.size()];
      std::string key = std::string(1, type) +
                        (std::string(range.module) == "ACE" ? std::string("C") + kVarieties[i % 4]
                                                            : std::string("P")) +
                        text(i);
      rows.push_back({text(range.first + i), key,
                      "Producto " + std::string(range.module) + " " + text(i + 1),
                      i % 3 == 0 ? "Primera" : (i % 3 == 1 ? "Segunda" : "Extra"), range.module,
                      std::string(1, type)});
    }
  }
  insertRows(c, "Cat_Prod", rows);
  insertRows(c, "Cat_Var_Ace", {{"S", "Soya"}, {"G", "Girasol"}, {"M", "Maíz"}, {"C", "Cártamo"}});

  rows.clear();
  const std::string letters = "FGHIZASNRB";
  for (int p = 1; p <= kPresentations; ++p) {
    // Each presentation serves two type letters, so every module lists a tenth or more.
    const std::string tipo = std::string(1, letters[static_cast<std::size_t>(p) % 10]) +
                             letters[static_cast<std::size_t>(p / 10) % 10];
    rows.push_back({text(p), "Presentación " + text(p), "P" + text(p), tipo});
  }
  insertRows(c, "Cat_Pres", rows);

  rows.clear();
  for (int o = 1; o <= kOrigins; ++o) rows.push_back({text(o), "Origen " + text(o), "O" + text(o)});
  insertRows(c, "Cat_Ori", rows);
  rows.clear();
  for (int i = 1; i <= kSugarMills; ++i) {
    rows.push_back({text(i), "IN" + text(i), "Ingenio " + text(i)});
  }
  insertRows(c, "Cat_Ing", rows);
  rows.clear();
  for (int state = 1; state <= kStates; ++state) {
    for (int n = 1; n <= kMunicipalitiesPerState; ++n) {
      rows.push_back(
          {text(state * 100 + n), "Municipio " + text(state) + "-" + text(n), text(state)});
    }
  }
  insertRows(c, "Cat_Muni", rows);
  rows.clear();
  for (int i = 1; i <= kSources; ++i) rows.push_back({text(i), "Fuente " + text(i)});
  insertRows(c, "Cat_Fte", rows);
  rows.clear();
  for (int i = 1; i <= kTransports; ++i) rows.push_back({text(i), "Transporte " + text(i)});
  insertRows(c, "Cat_Trans", rows);
}

// One basket entry of a stream and its usual minimum price (the volume in "VOL").
struct Entry {
  int product;
  int presentation;
  int origin;
  double usual;
};

Entry newEntry(const std::string& module, std::mt19937_64& random) {
  const ProductRange& range = rangeOf(module);
  const int origins = module == "AZU" ? kSugarMills : kOrigins;
  return Entry{range.first + static_cast<int>(random() % static_cast<unsigned>(range.count)),
               1 + static_cast<int>(random() % kPresentations),
               1 + static_cast<int>(random() % static_cast<unsigned>(origins)),
               5.0 + static_cast<double>(random() % 200000) / 100.0};
}

// Rows gathered into multi-row INSERTs, far fewer statements than rows.
class RecordWriter {
 public:
  explicit RecordWriter(store::Connection& connection) : connection_(connection) {}
  ~RecordWriter() = default;
  RecordWriter(const RecordWriter&) = delete;
  RecordWriter& operator=(const RecordWriter&) = delete;

  void add(store::Row row) {
    for (store::Value& value : row) values_.push_back(std::move(value));
    if (++pending_ == kRowsPerStatement) flush();
  }

  void flush() {
    if (pending_ == 0) return;
    std::string sql =
        "INSERT INTO Reg_Pre (Cve_del, Cve_Mod, Fecha, Cve_prod, Cve_ori, Cve_des, Cve_pres, "
        "Pre_min, Pre_max, Pre_frec, Pre_uni, Consecutivo, Obs, Cve_inf, Cve_mun, Cve_tra, Vol, "
        "Fecha_de, Fecha_a) VALUES ";
    for (int i = 0; i < pending_; ++i) {
      sql += i == 0 ? "" : ",";
      sql += "(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";
    }
    connection_.runNative(sql, values_);
    values_.clear();
    pending_ = 0;
  }

 private:
  static constexpr int kRowsPerStatement = 100;
  store::Connection& connection_;
  store::Row values_;
  int pending_ = 0;
};

store::Value real(double value) {
  return store::Value(static_cast<double>(static_cast<std::int64_t>(value * 100)) / 100.0);
}

}  // namespace

void generateStore(store::Connection& connection, const GeneratedStore& shape,
                   const text::Date& today) {
  std::mt19937_64 random(shape.seed);
  store::createTables(connection);
  writeCatalogues(connection, random);
  connection.transaction([&] {
    int total_weight = 0;
    for (const Stream& stream : kStreams) total_weight += stream.weight;
    const int days = std::max(1, shape.days);
    std::vector<std::vector<Entry>> baskets(kStreams.size());
    RecordWriter writer(connection);
    std::int64_t written = 0;
    for (int day = days; day >= 1; --day) {
      const std::string date = text::isoDate(text::addDays(today, -day));
      // The rows still to write, spread evenly over the days left.
      const std::int64_t today_rows = (shape.records - written) / day;
      std::vector<std::int64_t> sizes;
      std::int64_t planned = 0;
      for (const Stream& stream : kStreams) {
        sizes.push_back(today_rows * stream.weight / total_weight);
        planned += sizes.back();
      }
      sizes.front() += today_rows - planned;
      for (std::size_t s = 0; s < kStreams.size(); ++s) {
        const Stream& stream = kStreams[s];
        const std::string module = stream.module;
        const auto size = static_cast<std::size_t>(sizes[s]);
        std::vector<Entry>& basket = baskets[s];
        // Yesterday's basket, a few entries dropped or new, prices drifting a little.
        while (basket.size() < size) basket.push_back(newEntry(module, random));
        basket.resize(size);
        for (std::size_t e = 0; e < basket.size(); ++e) {
          Entry& entry = basket[e];
          if (random() % 50 == 0) entry = newEntry(module, random);
          entry.usual *= 0.97 + static_cast<double>(random() % 61) / 1000.0;
          const bool volume = module == "VOL";
          const double low = volume ? 0 : entry.usual;
          store::Row row = {
              store::Value(std::int64_t{5}),
              store::Value(module),
              store::Value(date),
              store::Value(std::int64_t{entry.product}),
              store::Value(std::int64_t{entry.origin}),
              store::Value(std::int64_t{stream.destination}),
              store::Value(std::int64_t{entry.presentation}),
              real(low),
              real(low * 1.15),
              real(low * 1.07),
              store::Value(0.0),
              store::Value(static_cast<std::int64_t>(e + 1)),
              e % 17 == 0 ? store::Value(std::string("Poca oferta")) : store::Value(),
              store::Value(std::int64_t{1 + static_cast<int>(e % kSources)}),
              store::Value(std::int64_t{301 + static_cast<int>(e % 4)}),
              volume ? store::Value(std::int64_t{1 + static_cast<int>(e % kTransports)})
                     : store::Value(),
              volume ? real(entry.usual / 10) : store::Value(),
              volume ? store::Value(text::isoDate(text::addDays(today, -day - 6))) : store::Value(),
              volume ? store::Value(date) : store::Value()};
          writer.add(std::move(row));
          ++written;
        }
      }
    }
    writer.flush();
  });
  store::createIndexes(connection);
}

}  // namespace tarvel_db
