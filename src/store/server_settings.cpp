#include "store/server_settings.h"

#include <charconv>
#include <fstream>
#include <string_view>

#include "store/connection.h"
#include "store/error.h"

namespace store {
namespace {

std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

constexpr int kLongestWaitSeconds = 600;

int seconds(const std::filesystem::path& file, std::string_view key, std::string_view value) {
  int read = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), read);
  if (error != std::errc{} || end != value.data() + value.size() || read < 1 ||
      read > kLongestWaitSeconds) {
    throw StoreError(file.string(), "«" + std::string(key) + " = " + std::string(value) +
                                        "» no es un número de segundos entre 1 y 600");
  }
  return read;
}

}  // namespace

std::optional<ServerSettings> serverOf(const std::filesystem::path& folder) {
  const std::filesystem::path file = folder / kSettingsFileName;
  if (!hasSettings(folder)) return std::nullopt;
  std::ifstream in(file);
  if (!in) throw StoreError(file.string(), "no se pudo leer el archivo de configuración");
  ServerSettings settings;
  std::string line;
  while (std::getline(in, line)) {
    const std::string_view content = trimmed(line);
    if (content.empty() || content.front() == '#') continue;
    const auto equals = content.find('=');
    const std::string_view key =
        equals == std::string_view::npos ? content : trimmed(content.substr(0, equals));
    const std::string_view value =
        equals == std::string_view::npos ? "" : trimmed(content.substr(equals + 1));
    if (key == "servidor" && equals != std::string_view::npos) {
      settings.uri = value;
    } else if (key == "espera_conexion" || key == "espera_respuesta") {
      (key == "espera_conexion" ? settings.connectSeconds : settings.answerSeconds) =
          seconds(file, key, value);
    } else {
      throw StoreError(file.string(), "línea no reconocida en el archivo de configuración: \"" +
                                          std::string(content) +
                                          "\"; se espera «servidor = postgresql://…»");
    }
  }
  if (settings.uri.rfind("postgresql://", 0) != 0) {
    throw StoreError(file.string(),
                     "el archivo de configuración no dice a qué servidor conectarse; se espera "
                     "«servidor = postgresql://…»");
  }
  try {
    checkServerUri(settings.uri);
  } catch (const StoreError& refused) {
    throw StoreError(file.string(), refused.explanation());
  }
  return settings;
}

bool hasSettings(const std::filesystem::path& folder) {
  std::error_code error;
  return std::filesystem::exists(folder / kSettingsFileName, error);
}

std::string databaseLocation(const std::filesystem::path& folder) {
  try {
    if (const auto server = serverOf(folder)) return "Servidor: " + serverName(server->uri);
  } catch (const StoreError&) {
    return "Archivo: " + (folder / kSettingsFileName).string();
  }
  return "Archivo: " + databasePath(folder).string();
}

}  // namespace store
