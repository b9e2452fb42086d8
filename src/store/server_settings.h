#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace store {

// The settings file beside the database's usual place that sends the program to a server.
inline constexpr const char* kSettingsFileName = "tarvel-captura.conf";

// A server and how long the program waits for it. A server that does not answer in time
// is told to the operator like a lost connection.
struct ServerSettings {
  std::string uri;
  // Seconds to connect ("espera_conexion") and to answer a statement ("espera_respuesta").
  int connectSeconds = 10;
  int answerSeconds = 10;
  bool operator==(const ServerSettings&) const = default;
};

// The server `folder`'s settings file names ("servidor = postgresql://…", optionally
// "espera_conexion = N" and "espera_respuesta = N" in seconds), or nothing when the folder
// has no settings file: the local database file is used then. Blank lines and lines
// starting with "#" are ignored. Throws StoreError, naming the file, for a file that cannot
// be read, names no server, holds a line it does not understand, or a password in any
// spelling (it belongs in ~/.pgpass or PGPASSWORD, never in a file others may read).
std::optional<ServerSettings> serverOf(const std::filesystem::path& folder);

// Throws StoreError when `uri` is not a server URI the client library reads, or carries a
// password in any spelling the library understands.
void checkServerUri(const std::string& uri);

// A server URI as it may be shown, rebuilt from what the client library reads in it: never
// a password, however it was written.
std::string serverName(const std::string& uri);

// Whether `folder` holds a settings file (readable or not).
bool hasSettings(const std::filesystem::path& folder);

// Where `folder`'s database is, for the operator: "Archivo: <path>" or "Servidor: <URI
// without password>". A settings file that cannot be read names itself.
std::string databaseLocation(const std::filesystem::path& folder);

}  // namespace store
