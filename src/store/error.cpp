#include "store/error.h"

#include <utility>

namespace store {
namespace {

bool messageIsTheExplanation(StoreError::Kind kind) {
  using Kind = StoreError::Kind;
  return kind == Kind::Program || kind == Kind::Unreachable || kind == Kind::TimedOut;
}

// The operator's sentence for a failure of `kind`; for a failure whose message is already
// the explanation, that message.
std::string sentenceOf(StoreError::Kind kind, const std::string& engine_message,
                       const std::string& missing) {
  using Kind = StoreError::Kind;
  if (messageIsTheExplanation(kind) && !engine_message.empty()) return engine_message;
  switch (kind) {
    case Kind::MissingTable:
      return "la base de datos no tiene la tabla " + missing +
             "; el archivo no corresponde a esta versión del programa";
    case Kind::MissingColumn:
      return "la base de datos no tiene la columna " + missing +
             "; el archivo no corresponde a esta versión del programa";
    case Kind::Busy:
    case Kind::Serialization:
      return "la base de datos está ocupada por otro programa; espere un momento y vuelva a "
             "intentarlo";
    case Kind::ReadOnly:
    case Kind::ReadOnlyFolder:
      return "no se puede escribir en la base de datos: el archivo o su carpeta son de solo "
             "lectura; pida que se dé permiso de escritura";
    case Kind::NotPermitted:
      return "el servidor no le permite esto al rol de este equipo (falta un permiso, o es de "
             "otra delegación); pida a su administrador que revise el rol";
    case Kind::Full:
      return "el disco está lleno; libere espacio y vuelva a intentarlo";
    case Kind::NotADatabase:
      return "el archivo no es una base de datos de este programa o está dañado; recupere una "
             "copia de respaldo";
    case Kind::CannotOpen:
      return "no se pudo abrir el archivo de la base de datos; revise que exista y que se pueda "
             "usar";
    case Kind::Io:
      return "falló la lectura o la escritura del archivo de la base de datos en el disco";
    case Kind::OutOfMemory:
      return "no hay memoria suficiente para completar la operación";
    case Kind::Constraint:
      return "los datos no cumplen una regla de la base de datos, por ejemplo una clave repetida";
    default:
      break;
  }
  return "la base de datos no pudo completar la operación";
}

std::string causeOf(StoreError::Kind kind, const std::string& engine_message,
                    const std::string& missing) {
  std::string sentence = sentenceOf(kind, engine_message, missing);
  if (!messageIsTheExplanation(kind) && !engine_message.empty()) {
    sentence.append(" (").append(engine_message).append(")");
  }
  return sentence;
}

}  // namespace

StoreError::StoreError(std::string statement, std::string engine_message, Kind kind,
                       std::string missing)
    : std::runtime_error(causeOf(kind, engine_message, missing)),
      statement_(std::move(statement)),
      engine_message_(std::move(engine_message)),
      kind_(kind),
      missing_(std::move(missing)) {}

StoreError::StoreError(std::string statement, const StoreError& failure)
    : StoreError(std::move(statement), failure.engine_message_, failure.kind_, failure.missing_) {}

std::string StoreError::explanation() const {
  return sentenceOf(kind_, engine_message_, missing_);
}

std::string StoreError::detail() const {
  return messageIsTheExplanation(kind_) ? std::string() : engine_message_;
}

}  // namespace store
