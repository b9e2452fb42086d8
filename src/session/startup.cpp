#include "session/startup.h"

#include "store/connection.h"
#include "store/error.h"

namespace session {

std::optional<std::string> databaseProblem(const std::filesystem::path& folder) {
  const std::filesystem::path file = std::filesystem::absolute(store::databasePath(folder));
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) {
    return "No se encontró la base de datos:\n" + file.string() +
           "\n\nCausa: el archivo no existe. Copie TARVELcaptura.mdb en la carpeta del programa.";
  }
  try {
    store::Connection::open(file).run("SELECT Cve_Del, Cve_Ope from Config");
  } catch (const store::StoreError& failure) {
    return "No se pudo leer la base de datos:\n" + file.string() +
           "\n\nCausa: " + failure.engineMessage();
  }
  return std::nullopt;
}

}  // namespace session
