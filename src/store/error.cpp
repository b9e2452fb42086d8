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

}  // namespace

std::string explainFailure(std::string_view engine_message, int code) {
  if (code == 0 || (code & 0xFF) == SQLITE_ERROR) {
    if (const auto table = nameAfter(engine_message, "no such table: "); !table.empty()) {
      return withDetail("la base de datos no tiene la tabla " + std::string(table) +
                            "; el archivo no corresponde a esta versión del programa",
                        engine_message);
    }
    if (const auto column = nameAfter(engine_message, "no such column: "); !column.empty()) {
      return withDetail("la base de datos no tiene la columna " + std::string(column) +
                            "; el archivo no corresponde a esta versión del programa",
                        engine_message);
    }
  }
  if (code == 0 || code == kServerUnreachable) {
    return engine_message.empty() ? "la base de datos no pudo completar la operación"
                                  : std::string(engine_message);
  }
  switch (code & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return withDetail(
          "la base de datos está ocupada por otro programa; espere un momento y vuelva a "
          "intentarlo",
          engine_message);
    case SQLITE_READONLY:
    case SQLITE_PERM:
      return withDetail(
          "no se puede escribir en la base de datos: el archivo o su carpeta son de solo "
          "lectura; pida que se dé permiso de escritura",
          engine_message);
    case SQLITE_FULL:
      return withDetail("el disco está lleno; libere espacio y vuelva a intentarlo",
                        engine_message);
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
      return withDetail(
          "el archivo no es una base de datos de este programa o está dañado; recupere una "
          "copia de respaldo",
          engine_message);
    case SQLITE_CANTOPEN:
      return withDetail(
          "no se pudo abrir el archivo de la base de datos; revise que exista y que se pueda "
          "usar",
          engine_message);
    case SQLITE_IOERR:
      return withDetail(
          "falló la lectura o la escritura del archivo de la base de datos en el disco",
          engine_message);
    case SQLITE_NOMEM:
      return withDetail("no hay memoria suficiente para completar la operación", engine_message);
    case SQLITE_CONSTRAINT:
      return withDetail(
          "los datos no cumplen una regla de la base de datos, por ejemplo una clave repetida",
          engine_message);
    default:
      return withDetail("la base de datos no pudo completar la operación", engine_message);
  }
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
