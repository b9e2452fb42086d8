#pragma once

#include <array>
#include <cstdint>
#include <string>

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

  // The day basket (positions 1..gTotCanasta) and the saved records (1..gTotGrabados).
  std::array<std::int64_t, 201> gCanProd{};
  std::array<std::int64_t, 201> gCanPres{};
  std::array<std::string, 201> gCanOri{};
  int gTotCanasta = 0;
  int gPosCanasta = 0;
  std::array<std::int64_t, 151> gConsec{};
  int gTotGrabados = 0;
  int gRegNum = 0;
  int gConsecutivo = 0;

  // Price aids, dialogs and outputs.
  double gPromMin = 0;
  std::string gMsgError;
  std::string gDirectorio;
  std::string gArchivo;
  int gCantidad = 0;
  std::string gSQL;  // the buffer every statement is built in
};

}  // namespace session
