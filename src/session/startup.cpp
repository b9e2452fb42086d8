#include "session/startup.h"

#include <algorithm>
#include <vector>

#include "store/connection.h"
#include "store/error.h"
#include "store/schema.h"
#include "store/server_settings.h"
#include "text/encoding.h"

namespace session {
namespace {

// What the file lacks of the tables and columns the program reads, one line each.
std::vector<std::string> missingParts(store::Connection& db) {
  std::vector<std::string> missing;
  for (const store::TableSpec& required : store::storageContract()) {
    const std::string table(required.name);
    std::vector<std::string> present;
    for (const std::string& column : db.columnsOf(table)) {
      present.push_back(text::foldCase(column));
    }
    if (present.empty()) {
      missing.push_back("la tabla " + table);
      continue;
    }
    for (const store::ColumnSpec& column : required.columns) {
      const std::string name(column.name);
      if (std::find(present.begin(), present.end(), text::foldCase(name)) == present.end()) {
        missing.push_back("la columna " + name + " de la tabla " + table);
      }
    }
  }
  return missing;
}

// The cause in Spanish, then the engine's own words, in its language, as a closing detail.
std::string causeAndDetail(const store::StoreError& failure) {
  const std::string detail = failure.detail();
  return "\n\nCausa: " + failure.explanation() +
         (detail.empty() ? "" : "\n\nDetalle técnico: " + detail);
}

std::string joinLines(const std::vector<std::string>& lines) {
  std::string joined;
  for (const std::string& line : lines) joined += "\n  - " + line;
  return joined;
}

// The database on a server: reachable, and holding every table and column. Writing is the
// server's to allow; its administrator grants it.
std::optional<std::string> serverProblem(const std::filesystem::path& folder) {
  std::optional<store::ServerSettings> server;
  try {
    server = store::serverOf(folder);
  } catch (const store::StoreError& failure) {
    return "No se pudo leer la configuración del servidor:\n" + failure.statement() +
           causeAndDetail(failure);
  }
  if (!server) return std::nullopt;
  const std::string name = store::serverName(server->uri);
  try {
    store::Connection db = store::Connection::connect(*server);
    const std::vector<std::string> missing = missingParts(db);
    if (!missing.empty()) {
      return "La base de datos del servidor no tiene todo lo que el programa usa:\n" + name +
             "\n\nFalta:" + joinLines(missing) + "\n\nCree la base de datos con tarvel-db create " +
             name + ", o copie ahí la de la delegación con tarvel-db copy.";
    }
  } catch (const store::StoreError& failure) {
    return "No se pudo usar la base de datos del servidor:\n" + name + causeAndDetail(failure);
  }
  return std::nullopt;
}

std::optional<std::string> fileProblem(const std::filesystem::path& folder, bool programFolder) {
  const std::filesystem::path file = std::filesystem::absolute(store::databasePath(folder));
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) {
    if (!programFolder) {
      return "No se encontró la base de datos:\n" + file.string() +
             "\n\nCausa: el archivo no existe todavía.\n\nCopie ahí la base de datos "
             "TARVELcaptura.mdb de la delegación, o créela ejecutando en una terminal:\n"
             "  tarvel-db create \"" +
             file.string() +
             "\"\n"
             "y cargue los catálogos con tarvel-db load (tarvel-db create --demo crea una con "
             "datos de prueba).";
    }
    return "No se encontró la base de datos:\n" + file.string() +
           "\n\nCausa: el archivo no existe. Copie TARVELcaptura.mdb en la carpeta del programa.";
  }
  try {
    store::Connection db = store::Connection::open(file);
    const std::vector<std::string> missing = missingParts(db);
    if (!missing.empty()) {
      return "La base de datos no tiene todo lo que el programa usa:\n" + file.string() +
             "\n\nFalta:" + joinLines(missing) +
             "\n\nUse una base de datos completa de TARVEL (la que entrega el proveedor).";
    }
    try {
      db.checkWritable();
      store::createIndexes(db);
    } catch (const store::StoreError& failure) {
      using Kind = store::StoreError::Kind;
      // The journal cannot be made: the engine reports the folder, or only that it could
      // not open a file.
      if (failure.kind() == Kind::ReadOnlyFolder || failure.kind() == Kind::CannotOpen) {
        return "No se puede grabar en la base de datos:\n" + file.string() +
               "\n\nCausa: la carpeta " + file.parent_path().string() +
               " no permite crear archivos, y el programa necesita crear ahí un archivo "
               "temporal cada vez que graba.\n\nPida permiso de escritura en esa carpeta, o "
               "copie el programa y la base de datos a una carpeta donde pueda escribir.";
      }
      if (failure.kind() == Kind::ReadOnly) {
        return "No se puede grabar en la base de datos:\n" + file.string() +
               "\n\nCausa: el archivo es de solo lectura.\n\nQuite la marca de solo lectura "
               "del archivo o pida permiso de escritura al administrador del equipo.";
      }
      throw;
    }
  } catch (const store::StoreError& failure) {
    return "No se pudo abrir la base de datos:\n" + file.string() + causeAndDetail(failure);
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> databaseProblem(const std::filesystem::path& folder,
                                           bool programFolder) {
  return store::hasSettings(folder) ? serverProblem(folder) : fileProblem(folder, programFolder);
}

}  // namespace session
