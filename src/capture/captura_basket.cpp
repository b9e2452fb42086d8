#include <charconv>

#include "capture/captura.h"
#include "capture/statements.h"
#include "store/connection.h"

namespace capture {

// Lays the module out, builds the basket of the destination on screen from its most recent
// earlier capture day, loads the day's saved records and offers the first basket entry
// without a record of the day. Called at start, on a module switch and when the
// destination changes.
void Captura::CargaCanasta() {
  g_.gConsecutivo = 0;
  applyLayoutPhase1();
  loadDay();
  applyLayoutPhase2();
}

// The basket, the day's saved records and the position offered, for the module and the
// destination on screen.
void Captura::loadDay() {
  forgetDeletedRecord();
  dayDestination_ = g_.gCveDest;
  basket.clear();
  records.clear();
  const auto destination = destinationKey();
  const auto date = text::parseYearFirst(g_.gFechaSQL);
  if (g_.gCanasta == "S") {
    g_.gPosCanasta = 0;
    if (destination && date) {
      attempt("cargar la canasta de productos", [&] { loadBasket(*destination, *date); });
    }
  }
  if (basket.size() == 0) g_.gCanasta = "N";
  if (destination && date) {
    attempt("leer los registros grabados", [&] { loadSavedRecords(*destination, *date); });
  }
  g_.gRegNum = records.count() + 1;
  // The position offered is a new record, whatever the screen showed before.
  showNewRecordState();
  if (g_.gCanasta == "S") {
    offerBasketEntry();
    PreparaNuevo();
  }
  focusRecord();
  showPositionLabels(false);
}

void Captura::loadBasket(std::int64_t destination, const text::Date& date) {
  g_.gSQL = lastEarlierDateStatement(g_.gModulo, destination, date);
  const store::Rows last = runSQL();
  const auto day = last.empty() ? std::nullopt : last.front()[0].asDate();
  if (!day) return;
  g_.gSQL = basketStatement(g_.gModulo, destination, *day);
  for (const store::Row& row : runSQL()) {
    basket.add(BasketEntry{row[1].asInteger(), row[2].asInteger(), row[3].asInteger()});
  }
  g_.gPosCanasta = 1;
  PreparaNuevo();
}

// The count has no joins; a record whose product, origin or presentation is missing from
// its catalogue cannot be shown, so only the records the keys' statement returns are
// numbered and every number on screen has a key.
void Captura::loadSavedRecords(std::int64_t destination, const text::Date& date) {
  g_.gSQL = dayCountStatement(g_.gModulo, destination, date);
  const store::Rows count = runSQL();
  if (count.empty() || count.front()[0].asInteger() < 1) return;
  g_.gSQL = savedKeysStatement(g_.gModulo, destination, date);
  for (const store::Row& row : runSQL()) records.append(row[0].asInteger());
}

// The new positions offer, in order, the basket entries without a record of the day, so
// an entry saved out of order or before a restart is not offered again. Positions past
// them offer no entry.
void Captura::offerBasketEntry() {
  g_.gPosCanasta = g_.gRegNum;
  const std::int64_t nth = g_.gRegNum - records.count();
  const auto destination = destinationKey();
  const auto date = text::parseYearFirst(g_.gFechaSQL);
  if (g_.gCanasta != "S" || nth < 1 || !destination || !date) return;
  std::vector<BasketEntry> captured;
  const bool read = attempt("leer los registros grabados", [&] {
    g_.gSQL = dayEntriesStatement(g_.gModulo, *destination, *date);
    for (const store::Row& row : runSQL()) {
      captured.push_back(BasketEntry{row[0].asInteger(), row[1].asInteger(), row[2].asInteger()});
    }
  });
  if (!read) return;
  const std::vector<std::int64_t> free = basket.uncapturedPositions(captured);
  const auto count = static_cast<std::int64_t>(free.size());
  g_.gPosCanasta =
      nth <= count ? free[static_cast<std::size_t>(nth - 1)] : basket.size() + nth - count;
}

std::optional<std::int64_t> Captura::destinationKey() const {
  const std::string& key = g_.gCveDest;
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(key.data(), key.data() + key.size(), value);
  if (key.empty() || error != std::errc{} || end != key.data() + key.size()) return std::nullopt;
  return value;
}

}  // namespace capture
