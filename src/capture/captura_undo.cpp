#include "capture/captura.h"
#include "store/connection.h"
#include "store/literal.h"

namespace capture {

// Every column is kept by name, so the record comes back whole whatever columns the file
// has; the read and the delete share one transaction, so what is kept is what was deleted.
std::optional<Captura::DeletedRecord> Captura::deleteKeepingRecord(std::int64_t key) {
  store::Connection& db = g_.database().connection();
  std::optional<DeletedRecord> kept;
  try {
    db.transaction(
        [&] {
          const store::Rows rows =
              db.runNative("SELECT * FROM Reg_Pre WHERE Consec = ?", store::Row{store::Value(key)});
          if (!rows.empty()) {
            kept = DeletedRecord{g_.gRegNum, key, {}, rows.front()};
            kept->columns = db.columnsOf("Reg_Pre");
          }
          db.run(g_.gSQL);
        },
        store::TransactionKind::Write);
  } catch (const store::CommitOutcomeUnknown& lost) {
    // Deleted after all when the record is gone.
    if (keyIsSaved(key, lost)) throw;
  }
  return kept;
}

void Captura::forgetDeletedRecord() {
  deleted_.reset();
  CmdDeshacer.visible = false;
}

// Puts the last deleted record back with every column as it was, its key included, at its
// place in the record list, and shows it. A failure leaves the undo on offer.
void Captura::CmdDeshacer_Click() {
  // The record put back replaces what is typed on screen.
  if (!deleted_ || !mayDiscardTyping("¿Deshacer la eliminación?", "Deshacer la eliminación")) {
    return;
  }
  const DeletedRecord record = *deleted_;
  std::string names;
  std::string marks;
  for (const std::string& column : record.columns) {
    names += (names.empty() ? "" : ", ") + store::sqlName(column);
    marks += marks.empty() ? "?" : ", ?";
  }
  const bool restored = attempt("deshacer la eliminación", [&] {
    try {
      g_.database().connection().runNative(
          "INSERT INTO Reg_Pre (" + names + ") VALUES (" + marks + ")", record.values);
    } catch (const store::StoreError& lost) {
      // A connection lost on the way back may have put the record back after all.
      if (!lost.lostTheServer() || !keyIsSaved(record.key, lost)) {
        throw;
      }
    }
  });
  if (!restored) return;
  forgetDeletedRecord();
  records.insert(record.position, record.key);
  // The numbers after the position moved on by one, so a record that cannot be read is
  // not left on screen under a number that now names another.
  g_.gRegNum = record.position;
  showRecordAfterChange();
}

}  // namespace capture
