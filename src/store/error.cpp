#include "store/error.h"

#include <sqlite3.h>

#include <utility>

namespace store {
namespace {

// The name after `prefix` in an engine message such as "no such table: Reg_Pre".
std::string_view nameAfter(std::string_view message, std::string_view prefix) {
  if (message.substr(0, prefix.size()) != prefix) return {};
  return message.substr(prefix.size());
}

std::string withDetail(std::string sentence, std::string_view engine_message) {
  if (!engine_message.empty()) sentence.append(" (").append(engine_message).append(")");
  return sentence;
}

// The operator's sentence for a failure, and whether the engine's own text is a detail beside
// it (when not, the engine's text is the sentence itself).
struct Sentence {
  std::string text;
  bool engineDetail = true;
};

Sentence sentenceOf(std::string_view engine_message, int code) {
  if (code == 0 || (code & 0xFF) == SQLITE_ERROR) {
    if (const auto table = nameAfter(engine_message, "no such table: "); !table.empty()) {
      return {"la base de datos no tiene la tabla " + std::string(table) +
              "; el archivo no corresponde a esta versión del programa"};
    }
    if (const auto column = nameAfter(engine_message, "no such column: "); !column.empty()) {
      return {"la base de datos no tiene la columna " + std::string(column) +
              "; el archivo no corresponde a esta versión del programa"};
    }
  }
  if (code == 0 || code == kServerUnreachable) {
    if (engine_message.empty()) return {"la base de datos no pudo completar la operación", false};
    return {std::string(engine_message), false};
  }
  switch (code & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return {
          "la base de datos está ocupada por otro programa; espere un momento y vuelva a "
          "intentarlo"};
    case SQLITE_READONLY:
    case SQLITE_PERM:
      return {
          "no se puede escribir en la base de datos: el archivo o su carpeta son de solo "
          "lectura; pida que se dé permiso de escritura"};
    case SQLITE_FULL:
      return {"el disco está lleno; libere espacio y vuelva a intentarlo"};
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
      return {
          "el archivo no es una base de datos de este programa o está dañado; recupere una "
          "copia de respaldo"};
    case SQLITE_CANTOPEN:
      return {
          "no se pudo abrir el archivo de la base de datos; revise que exista y que se pueda "
          "usar"};
    case SQLITE_IOERR:
      return {"falló la lectura o la escritura del archivo de la base de datos en el disco"};
    case SQLITE_NOMEM:
      return {"no hay memoria suficiente para completar la operación"};
    case SQLITE_CONSTRAINT:
      return {"los datos no cumplen una regla de la base de datos, por ejemplo una clave repetida"};
    default:
      return {"la base de datos no pudo completar la operación"};
  }
}

}  // namespace

std::string explainFailure(std::string_view engine_message, int code) {
  Sentence sentence = sentenceOf(engine_message, code);
  return sentence.engineDetail ? withDetail(std::move(sentence.text), engine_message)
                               : sentence.text;
}

std::string StoreError::explanation() const {
  return sentenceOf(engine_message_, code_).text;
}

std::string StoreError::detail() const {
  return sentenceOf(engine_message_, code_).engineDetail ? engine_message_ : std::string();
}

StoreError::Kind StoreError::kind() const {
  if (code_ == SQLITE_READONLY_DIRECTORY) return Kind::ReadOnlyFolder;
  switch (code_ & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return Kind::Busy;
    case SQLITE_READONLY:
    case SQLITE_PERM:
      return Kind::ReadOnly;
    case SQLITE_FULL:
      return Kind::Full;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
      return Kind::NotADatabase;
    case SQLITE_CANTOPEN:
      return Kind::CannotOpen;
    case SQLITE_IOERR:
      return Kind::Io;
    default:
      return Kind::Other;
  }
}

StoreError::StoreError(std::string statement, std::string engine_message, int code)
    : std::runtime_error(explainFailure(engine_message, code)),
      statement_(std::move(statement)),
      engine_message_(std::move(engine_message)),
      code_(code) {}

}  // namespace store
