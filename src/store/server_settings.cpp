#include "store/server_settings.h"

#include <fstream>
#include <string_view>

#include "store/engine.h"
#include "store/error.h"

namespace store {
namespace {

std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

}  // namespace

std::optional<std::string> serverOf(const std::filesystem::path& folder) {
  const std::filesystem::path file = folder / kSettingsFileName;
  if (!hasSettings(folder)) return std::nullopt;
  std::ifstream in(file);
  if (!in) throw StoreError(file.string(), "no se pudo leer el archivo de configuración");
  std::optional<std::string> server;
  std::string line;
  while (std::getline(in, line)) {
    const std::string_view content = trimmed(line);
    if (content.empty() || content.front() == '#') continue;
    const auto equals = content.find('=');
    if (equals == std::string_view::npos || trimmed(content.substr(0, equals)) != "servidor") {
      throw StoreError(file.string(), "línea no reconocida en el archivo de configuración: \"" +
                                          std::string(content) +
                                          "\"; se espera «servidor = postgresql://…»");
    }
    server = std::string(trimmed(content.substr(equals + 1)));
  }
  if (!server || server->rfind("postgresql://", 0) != 0) {
    throw StoreError(file.string(),
                     "el archivo de configuración no dice a qué servidor conectarse; se espera "
                     "«servidor = postgresql://…»");
  }
  if (serverName(*server) != *server || server->find("password=") != std::string::npos) {
    throw StoreError(file.string(),
                     "el archivo de configuración contiene una contraseña; quítela y póngala en "
                     "~/.pgpass o en la variable PGPASSWORD");
  }
  return server;
}

bool hasSettings(const std::filesystem::path& folder) {
  std::error_code error;
  return std::filesystem::exists(folder / kSettingsFileName, error);
}

std::string databaseLocation(const std::filesystem::path& folder) {
  try {
    if (const auto server = serverOf(folder)) return "Servidor: " + serverName(*server);
  } catch (const StoreError&) {
    return "Archivo: " + (folder / kSettingsFileName).string();
  }
  return "Archivo: " + databasePath(folder).string();
}

}  // namespace store
