#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "store/database.h"

namespace session {

// The program-wide state every screen reads and writes, created empty at start and alive
// for the whole run. Flags are the texts "S" and "N". Counters and keys are held wider than
// 16 bits so that no stored key and no day's count can overflow them.
struct SessionState {
  // Who is signed in.
  std::string gRuta;  // the program's folder, without a trailing separator
  std::string gCveDel;
  std::string gDescDel;
  std::string gCveOpe;  // "746" may sign in for any delegation
  int gEdo = 0;

  // Module, date and destination.
  std::string gModulo;
  std::string gDescMod;
  std::string gFecha;     // date label: "Vie 21/07/2006"
  std::string gFechaSQL;  // 2006/7/21, the capture date of the start
  std::string gCveDest;
  std::string gFecDe;  // entry period of a volume record, year first
  std::string gFecA;

  // Change flags of the capture screen.
  std::string gCargaListas;
  std::string gCambiaMod;
  std::string gCambiaDest;
  std::string gCambiaFec;
  std::string gCanasta;

  // Entries loaded into each list.
  int gNumProd = 0;
  int gNumPres = 0;
  int gNumOri = 0;
  int gNumIng = 0;
  int gNumFte = 0;
  int gNumMun = 0;
  int gNumTrans = 0;

  // Position on the capture screen: the record shown (1..the day's saved records, then new
  // positions) and the basket entry that prefills the next new record. The basket and the
  // saved records' keys themselves are held by the capture screen.
  std::int64_t gRegNum = 0;
  std::int64_t gPosCanasta = 0;
  // Inserts since the basket was last loaded or the module changed.
  std::int64_t gConsecutivo = 0;

  // Price aids, dialogs and outputs.
  double gPromMin = 0;
  std::string gMsgError;
  std::string gDirectorio;
  std::string gArchivo;
  std::int64_t gCantidad = 0;
  std::string gSQL;  // the buffer every statement is built in

  // The station's database in gRuta, its connection kept for the whole run. Copies of the
  // state (an event's start, kept to put back) share it.
  store::Database& database() {
    if (!database_ || database_->folder() != gRuta) {
      database_ = std::make_shared<store::Database>(gRuta);
    }
    return *database_;
  }

 private:
  std::shared_ptr<store::Database> database_;
};

}  // namespace session
