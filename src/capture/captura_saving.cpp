#include "capture/captura.h"
#include "capture/form_error.h"
#include "capture/list_entries.h"
#include "capture/statements.h"
#include "store/connection.h"
#include "store/error.h"
#include "store/literal.h"

namespace capture {
namespace {

constexpr const char* kDuplicate = "¡Ya existe ese registro!";

}  // namespace

void Captura::showError(const std::string& message) {
  g_.gMsgError = message;
  FormError dialog(host(), g_);
  host().showModal(dialog);
}

// Every list the record needs must have a selection and every amount must be a number;
// otherwise the operator is told which one, and nothing is written.
std::optional<PriceRecord> Captura::gatherRecord() {
  const bool volumes = g_.gModulo == "VOL";
  const bool inputs = g_.gModulo == "INS";
  forms::ComboBox& origins = g_.gModulo == "AZU" ? ComboIng : ComboOri;
  struct Required {
    forms::ComboBox& list;
    const char* name;
    bool needed;
  };
  for (const Required& required :
       {Required{ComboDest, "Destino", true}, Required{ComboProd, "Producto", true},
        Required{ComboPres, "Presentación", true},
        Required{origins, g_.gModulo == "AZU" ? "Ingenio" : "Origen", true},
        Required{ComboFte, "Fuente", inputs}, Required{ComboMun, "Municipio", inputs},
        Required{ComboTrans, "Transporte", volumes}}) {
    if (required.needed && !selectedKey(required.list)) {
      showError("¡Falta elegir " + std::string(required.name) + "!");
      setFocus(required.list);
      return std::nullopt;
    }
  }
  struct Amount {
    forms::TextBox& box;
    const char* name;
    std::string& into;
  };
  PriceRecord record;
  for (const Amount& amount :
       {Amount{TextMin, g_.gModulo == "AZU" ? "Único" : "Mínimo", record.minimum},
        Amount{TextMax, "Máximo", record.maximum}, Amount{TextFrec, "Frecuente", record.frequent},
        Amount{TextUni, "Único", record.single}, Amount{TextVol, "Volúmen", record.volume}}) {
    if (&amount.box == &TextVol && !volumes) continue;
    const auto value = amountOf(amount.box.text);
    if (!value) {
      showError("¡" + std::string(amount.name) + " no es un número!");
      correct(amount.box);
      return std::nullopt;
    }
    amount.into = *value;
  }
  const auto date = text::dateOfLabel(g_.gFecha);
  if (!date) {
    showError("¡La fecha de captura no es válida!");
    return std::nullopt;
  }
  record.delegation = g_.gCveDel;
  record.module = g_.gModulo;
  record.date = *date;
  record.destination = *selectedKey(ComboDest);
  record.product = *selectedKey(ComboProd);
  record.presentation = *selectedKey(ComboPres);
  record.origin = *selectedKey(origins);
  record.source = selectedKey(ComboFte);
  record.municipality = selectedKey(ComboMun);
  if (volumes) record.transport = selectedKey(ComboTrans);
  record.observations = TextObs.text;
  record.runningNumber = g_.gConsecutivo + 1;
  record.periodFrom = g_.gFecDe;
  record.periodTo = g_.gFecA;
  return record;
}

// A refused save or change writes nothing and stays on the record, with the focus in the
// box its message is about, so the correction is typed at once.
void Captura::CmdGrabar_Click() {
  forgetDeletedRecord();
  const auto record = gatherRecord();
  if (!record) return;
  if (const auto refused = g_.gModulo == "VOL" ? std::nullopt : priceCheckFailure(*record)) {
    showError(refused->message);
    using enum PriceField;
    correct(refused->field == Minimum ? TextMin : refused->field == Maximum ? TextMax : TextFrec);
    return;
  }
  if (g_.gRegNum > records.count()) {
    saveNewRecord(*record);
  } else if (const auto key = records.keyAt(g_.gRegNum)) {
    PriceRecord change = *record;
    if (!singlePriceTyped() && !singleStored_.empty()) change.single = singleStored_;
    saveChange(change, *key);
  }
  if (g_.database().changedRows()) LabelPurgeNews.visible = false;
}

void Captura::correct(forms::TextBox& box) {
  setFocus(box);
  box.select(0, static_cast<int>(box.text.size()));
}

// After a write whose answer was lost with the connection: whether `check` (a count) finds
// what the write leaves, read on a new connection. When even that cannot be known, the
// operator is told so.
bool Captura::wroteAfterAll(const std::string& check, const store::StoreError& lost) {
  try {
    return g_.database().connection().run(check)[0][0].asInteger() >= 1;
  } catch (const store::StoreError&) {
    throw store::StoreError(lost.statement(),
                            "se perdió la conexión con el servidor mientras se esperaba su "
                            "respuesta, y no se pudo saber si quedó hecho; cuando el servidor "
                            "responda, elija de nuevo el destino para ver los registros del día "
                            "como están",
                            store::StoreError::Kind::Unreachable);
  }
}

bool Captura::keyIsSaved(std::int64_t key, const store::StoreError& lost) {
  return wroteAfterAll("SELECT count(*) from Reg_Pre where Consec=" + store::sqlInteger(key), lost);
}

// The duplicate check, the insert and the read-back of the new key run in one transaction
// on one connection: the key is the inserted row's own, and a failure leaves the table,
// the session and the screen as they were.
void Captura::saveNewRecord(const PriceRecord& record) {
  bool duplicate = false;
  std::int64_t key = 0;
  const bool written = attempt("grabar el registro", [&] {
    store::Connection& db = g_.database().connection();
    try {
      db.transaction(
          [&] {
            if (g_.gModulo != "AZU") {
              g_.gSQL = duplicateCountStatement(record);
              duplicate = db.run(g_.gSQL)[0][0].asInteger() >= 1;
            }
            if (!duplicate) {
              g_.gSQL = insertStatement(record);
              db.run(g_.gSQL);
              key = db.lastInsertedKey();
            }
          },
          store::TransactionKind::Write);
    } catch (const store::CommitOutcomeUnknown& lost) {
      // Nothing was to be written, or it was after all when its key is there.
      if (!duplicate && !keyIsSaved(key, lost)) throw;
    }
  });
  if (!written) return;
  if (duplicate) {
    showError(kDuplicate);
    setFocus(ComboProd);
    return;
  }

  g_.gConsecutivo = record.runningNumber;
  CmdBorrar.visible = false;
  // A record saved beyond the next position still takes the first free number, so every
  // saved record stays reachable.
  records.append(key);
  ++g_.gRegNum;
  for (forms::TextBox* box : {&TextMin, &TextMax, &TextFrec, &TextUni}) box->text = "0.00";
  TextObs.text.clear();
  TextVol.text = "0";
  offerBasketEntry();
  PreparaNuevo();
  focusRecord();
  showPositionLabels(false);
}

// A change that would repeat another saved record writes nothing and stays, as a refused
// save does. The record's existence, the duplicate check and the update run in one write
// transaction: a record another station deleted is told, and the typed values stay on screen.
void Captura::saveChange(const PriceRecord& record, std::int64_t key) {
  bool duplicate = false;
  bool gone = false;
  const bool written = attempt("grabar el cambio", [&] {
    store::Connection& db = g_.database().connection();
    try {
      db.transaction(
          [&] {
            gone = db.runNative("SELECT count(*) FROM Reg_Pre WHERE Consec = ?",
                                store::Row{store::Value(key)})[0][0]
                       .asInteger() == 0;
            if (gone) return;
            if (g_.gModulo != "AZU") {
              g_.gSQL = duplicateCountStatement(record, key);
              duplicate = db.run(g_.gSQL)[0][0].asInteger() >= 1;
            }
            if (!duplicate) {
              g_.gSQL = updateStatement(record, key);
              db.run(g_.gSQL);
            }
          },
          store::TransactionKind::Write);
    } catch (const store::CommitOutcomeUnknown& lost) {
      // Nothing was to be written, or it was after all when the record holds it.
      if (!gone && !duplicate && !wroteAfterAll(changedCountStatement(record, key), lost)) throw;
    }
  });
  if (!written) return;
  if (gone) return tellRecordGone("No se grabó el cambio.");
  if (duplicate) {
    showError(kDuplicate);
    setFocus(ComboProd);
    return;
  }
  CmdBorrar.visible = false;
  ++g_.gRegNum;
  showRecordAfterChange();
}

// Deletes the saved record on screen without asking, closes the gap in the numbering and
// shows the record that followed, or a new position after the last. The deleted record is
// kept so that "Deshacer" can put it back.
void Captura::CmdBorrar_Click() {
  const auto key = records.keyAt(g_.gRegNum);
  if (!key) return;
  g_.gSQL = "DELETE from Reg_Pre  where Consec=" + store::sqlInteger(*key) + " ";
  std::optional<DeletedRecord> kept;
  if (!attempt("eliminar el registro", [&] { kept = deleteKeepingRecord(*key); })) return;
  // Gone before this delete: the operator is told, and the list goes on without it.
  if (!kept) tellRecordGone("No había nada que eliminar.");
  records.remove(g_.gRegNum);
  deleted_ = kept;
  CmdDeshacer.visible = deleted_.has_value();
  showRecordAfterChange();
}

}  // namespace capture
