#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace store {

// The settings file beside the database's usual place that sends the program to a server.
inline constexpr const char* kSettingsFileName = "tarvel-captura.conf";

// The server `folder`'s settings file names ("servidor = postgresql://…"), or nothing when
// the folder has no settings file: the local database file is used then. Blank lines and
// lines starting with "#" are ignored. Throws StoreError, naming the file, for a file that
// cannot be read, names no server, or holds a password (it belongs in ~/.pgpass or
// PGPASSWORD, never in a file others may read).
std::optional<std::string> serverOf(const std::filesystem::path& folder);

// A server URI as it may be shown: without a password.
std::string serverName(const std::string& uri);

// Whether `folder` holds a settings file (readable or not).
bool hasSettings(const std::filesystem::path& folder);

// Where `folder`'s database is, for the operator: "Archivo: <path>" or "Servidor: <URI
// without password>". A settings file that cannot be read names itself.
std::string databaseLocation(const std::filesystem::path& folder);

}  // namespace store
