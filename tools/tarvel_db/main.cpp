#include <algorithm>
#include <charconv>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "access/access_file.h"
#include "access/access_import.h"
#include "access/access_listing.h"
#include "archive/archive_reading.h"
#include "command_options.h"
#include "copying/copy.h"
#include "generating/demo_data.h"
#include "generating/generate.h"
#include "loading/loader.h"
#include "national/national_commands.h"
#include "national/national_files.h"
#include "store/connection.h"
#include "store/data_folder.h"
#include "store/server_settings.h"

namespace {

constexpr const char* kUsage =
    "Uso:\n"
    "  tarvel-db create [ARCHIVO] [--demo]  crea la base de datos (con --demo, datos de prueba)\n"
    "  tarvel-db load [ARCHIVO] TABLA CSV... carga filas de catálogo desde archivos CSV\n"
    "                                       (la primera línea nombra las columnas; el\n"
    "                                       archivo puede estar en UTF-8 o en Windows-1252)\n"
    "  tarvel-db generate [ARCHIVO] --records N [--days D] [--seed S]\n"
    "                                       crea una base de datos de prueba de carga con N\n"
    "                                       registros en los D días anteriores a hoy (30)\n"
    "  tarvel-db copy ARCHIVO SERVIDOR      copia la base de datos de un archivo a una base de\n"
    "                                       datos vacía de un servidor\n"
    "  tarvel-db access ACCESS.mdb [TABLA]  muestra qué tiene un archivo de Access; con TABLA,\n"
    "                                       escribe esa tabla como CSV para tarvel-db load\n"
    "  tarvel-db import ACCESS.mdb [ARCHIVO] importa las tablas del programa de un archivo de\n"
    "                                       Access a una base de datos nueva o vacía\n"
    "  tarvel-db historico [ARCHIVO] [--desde AAAA-MM-DD] [--hasta AAAA-MM-DD] [--modulo MOD]\n"
    "                                       escribe como CSV para tarvel-db load los registros\n"
    "                                       del archivo histórico (los que borró la depuración)\n"
    "  tarvel-db exporta [ARCHIVO] --fecha AAAA-MM-DD --modulo MOD [--delegacion N | --todas]\n"
    "                    [--salida CARPETA] escribe el archivo de exportación de ese día, con\n"
    "                                       los registros de la base de datos y del histórico\n"
    "                                       (con --todas, uno por delegación)\n"
    "  tarvel-db reporte [ARCHIVO] --fecha AAAA-MM-DD --modulo MOD --delegacion N\n"
    "                    [--salida CARPETA] escribe el Reporte.htm de esa delegación\n"
    "  tarvel-db servidor preparar SERVIDOR prepara el servidor para varias delegaciones\n"
    "  tarvel-db servidor delegacion SERVIDOR CVE ROL\n"
    "                                       crea el rol de un equipo de la delegación CVE\n"
    "  tarvel-db servidor nacional SERVIDOR ROL\n"
    "                                       crea el rol que lee todas las delegaciones\n"
    "  tarvel-db servidor roles SERVIDOR    muestra los roles y sus delegaciones\n"
    "  tarvel-db bitacora SERVIDOR [--desde AAAA-MM-DD] [--hasta AAAA-MM-DD] [--delegacion N]\n"
    "                                       escribe como CSV la bitácora de cambios\n"
    "En lugar de ARCHIVO puede darse un SERVIDOR (postgresql://usuario@equipo/base); la\n"
    "contraseña va en ~/.pgpass o en PGPASSWORD.\n"
    "Sin ARCHIVO se usa la base de datos de la carpeta de datos del usuario\n"
    "($XDG_DATA_HOME/tarvel-captura/TARVELcaptura.mdb), la que usa el programa instalado.\n";

// The database of the user's data folder, the one the installed program opens; its folder
// is made when missing.
std::string defaultDatabase() {
  const std::filesystem::path folder = store::userDataFolder();
  if (folder.empty())
    throw std::runtime_error("no se sabe cuál es la carpeta de datos: falta HOME");
  std::filesystem::create_directories(folder);
  return store::databasePath(folder).string();
}

// A file argument names a path; a table name or an option never holds "." or "/".
bool namesFile(const std::string& argument) {
  return argument.find_first_of("./") != std::string::npos && argument.rfind("--", 0) != 0;
}

text::Date localToday() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return text::Date{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

// How a file or a server is named in what the tool prints.
std::string shown(const std::string& target) {
  return tarvel_db::isServer(target) ? store::serverName(target) : target;
}

int create(const std::string& target, bool demo) {
  tarvel_db::createDatabaseFile(target,
                                demo ? std::optional<text::Date>(localToday()) : std::nullopt);
  std::cout << "Base de datos creada: " << shown(target) << (demo ? " (datos de prueba)" : "")
            << '\n';
  return 0;
}

int copy(const std::string& file, const std::string& uri) {
  if (!tarvel_db::isServer(uri)) {
    std::cerr << kUsage;
    return 2;
  }
  for (const auto& [table, rows] : tarvel_db::copyToServer(file, uri)) {
    std::cout << table << ": " << rows << " filas\n";
  }
  std::cout << "Base de datos copiada de " << file << " a " << shown(uri) << '\n';
  return 0;
}

int access(const std::vector<std::string>& args) {
  const tarvel_db::AccessFile file(args[1]);
  if (args.size() == 2) {
    tarvel_db::listAccessFile(args[1], file, std::cout);
  } else {
    tarvel_db::writeAccessTable(args[1], file, args[2], std::cout);
  }
  return 0;
}

// A new file is made for the import and taken away again when the import fails: nothing
// half imported is left to pass for a database.
int importAccess(const std::string& access, const std::string& target) {
  const tarvel_db::AccessFile file(access);
  const bool make = !tarvel_db::isServer(target) && !std::filesystem::exists(target);
  if (make) tarvel_db::createDatabaseFile(target, std::nullopt);
  tarvel_db::ImportReport report;
  try {
    store::Connection connection = tarvel_db::openTarget(target);
    report = tarvel_db::importAccess(file, connection);
  } catch (...) {
    std::error_code ignored;
    if (make) std::filesystem::remove(target, ignored);
    throw;
  }
  tarvel_db::printImport(access, shown(target), report, std::cout);
  return 0;
}

int load(const std::string& file, const std::string& table,
         const std::vector<std::string>& csv_files) {
  std::optional<store::Connection> connection;
  try {
    connection.emplace(tarvel_db::openTarget(file));
  } catch (const std::exception& failure) {
    throw std::runtime_error("no se pudo abrir la base de datos " + shown(file) + ": " +
                             failure.what());
  }
  for (std::size_t i = 0; i < csv_files.size(); ++i) {
    const std::string& csv = csv_files[i];
    try {
      const std::size_t rows = tarvel_db::loadCsv(*connection, table, csv);
      std::cout << table << ": " << rows << " filas cargadas de " << csv << '\n';
    } catch (const std::exception& failure) {
      std::cerr << "tarvel-db: " << failure.what() << '\n'
                << "tarvel-db: no se cargó ninguna fila de " << csv
                << (i == 0 ? "" : "; los archivos anteriores quedaron cargados") << '\n';
      return 1;
    }
  }
  return 0;
}

// A whole, non-negative number given for `option`.
std::int64_t count(const std::string& option, const std::string& value) {
  std::int64_t number = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
  if (error != std::errc{} || end != value.data() + value.size() || number < 0) {
    throw std::runtime_error(option + " espera un número entero, no \"" + value + "\"");
  }
  return number;
}

int generate(const std::string& file, const std::vector<std::string>& options) {
  tarvel_db::GeneratedStore shape;
  bool records = false;
  for (std::size_t i = 0; i + 1 < options.size(); i += 2) {
    const std::string& option = options[i];
    const std::string& value = options[i + 1];
    if (option == "--records") {
      shape.records = count(option, value);
      records = true;
    } else if (option == "--days") {
      shape.days = static_cast<int>(std::clamp<std::int64_t>(count(option, value), 1, 36500));
    } else if (option == "--seed") {
      shape.seed = static_cast<std::uint64_t>(count(option, value));
    } else {
      records = false;
      break;
    }
  }
  if (!records || options.size() % 2 != 0) {
    std::cerr << kUsage;
    return 2;
  }
  bool created = false;
  try {
    store::Connection connection = tarvel_db::createTarget(file);
    created = true;
    // On a server the whole store goes in one transaction.
    connection.transaction([&] { tarvel_db::generateStore(connection, shape, localToday()); });
  } catch (...) {
    // A file left half made would pass for a store.
    std::error_code ignored;
    if (created && !tarvel_db::isServer(file)) std::filesystem::remove(file, ignored);
    throw;
  }
  std::cout << "Base de datos generada: " << shown(file) << " (" << shape.records
            << " registros en " << shape.days << " días)\n";
  return 0;
}

int archived(const std::string& target, const std::vector<std::string>& given) {
  const auto read = tarvel_db::options(given, {"--desde", "--hasta", "--modulo"});
  tarvel_db::ArchiveFilter filter;
  if (read.count("--desde")) filter.from = tarvel_db::dateOption("--desde", read.at("--desde"));
  if (read.count("--hasta")) filter.to = tarvel_db::dateOption("--hasta", read.at("--hasta"));
  if (read.count("--modulo")) filter.module = read.at("--modulo");
  tarvel_db::writeArchivedRecords(target, filter, std::cout);
  return 0;
}

int exportDay(const std::string& target, const std::vector<std::string>& given) {
  const auto read =
      tarvel_db::options(given, {"--fecha", "--modulo", "--delegacion", "--salida"}, {"--todas"});
  if (!read.count("--fecha") || !read.count("--modulo") ||
      (read.count("--todas") && read.count("--delegacion"))) {
    throw tarvel_db::UsageError("faltan --fecha o --modulo");
  }
  const text::Date day = tarvel_db::dateOption("--fecha", read.at("--fecha"));
  const std::string folder = read.count("--salida") ? read.at("--salida") : ".";
  std::vector<tarvel_db::DayExport> written;
  if (read.count("--todas")) {
    written = tarvel_db::writeAllExports(target, day, read.at("--modulo"), folder);
  } else {
    written.push_back(tarvel_db::writeDayExport(
        target, day, read.at("--modulo"), read.count("--delegacion") ? read.at("--delegacion") : "",
        folder));
  }
  for (const tarvel_db::DayExport& file : written) {
    std::cout << "Archivo grabado: " << file.file.string() << " (" << file.records
              << (file.records == 1 ? " registro" : " registros") << ")\n";
  }
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    std::cout << kUsage;
    return 0;
  }
  try {
    const bool command =
        !args.empty() && (args[0] == "create" || args[0] == "load" || args[0] == "generate" ||
                          args[0] == "historico" || args[0] == "exporta" || args[0] == "reporte");
    if (args.size() == 3 && args[0] == "copy") return copy(args[1], args[2]);
    if ((args.size() == 2 || args.size() == 3) && args[0] == "access") return access(args);
    if ((args.size() == 2 || args.size() == 3) && args[0] == "import") {
      return importAccess(args[1], args.size() == 3 ? args[2] : defaultDatabase());
    }
    if (command && (args.size() < 2 || !namesFile(args[1]))) {
      args.insert(args.begin() + 1, defaultDatabase());
    }
    if (args.size() >= 2 && args[0] == "create" &&
        (args.size() == 2 || (args.size() == 3 && args[2] == "--demo"))) {
      return create(args[1], args.size() == 3);
    }
    if (args.size() >= 2 && args[0] == "generate") {
      return generate(args[1], std::vector<std::string>(args.begin() + 2, args.end()));
    }
    try {
      if (args.size() >= 2 && args[0] == "historico") {
        return archived(args[1], std::vector<std::string>(args.begin() + 2, args.end()));
      }
      if (args.size() >= 2 && args[0] == "exporta") {
        return exportDay(args[1], std::vector<std::string>(args.begin() + 2, args.end()));
      }
      if (args.size() >= 2 && args[0] == "servidor") {
        return tarvel_db::serverCommand(std::vector<std::string>(args.begin() + 1, args.end()));
      }
      if (args.size() >= 2 && args[0] == "bitacora") {
        return tarvel_db::auditLogCommand(args[1],
                                          std::vector<std::string>(args.begin() + 2, args.end()));
      }
      if (args.size() >= 2 && args[0] == "reporte") {
        return tarvel_db::reportCommand(args[1],
                                        std::vector<std::string>(args.begin() + 2, args.end()));
      }
    } catch (const tarvel_db::UsageError&) {
      std::cerr << kUsage;
      return 2;
    }
    if (args.size() >= 4 && args[0] == "load") {
      return load(args[1], args[2], std::vector<std::string>(args.begin() + 3, args.end()));
    }
    std::cerr << kUsage;
    return 2;
  } catch (const std::exception& failure) {
    std::cerr << "tarvel-db: " << failure.what() << '\n';
    return 1;
  }
}
