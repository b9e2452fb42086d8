#include "national/national_commands.h"

#include <charconv>
#include <iostream>

#include "command_options.h"
#include "loading/loader.h"
#include "national/national_files.h"
#include "store/connection.h"
#include "store/server_security.h"

namespace tarvel_db {
namespace {

int delegationNumber(const std::string& value) {
  int number = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
  if (error != std::errc{} || end != value.data() + value.size() || number <= 0) {
    throw std::runtime_error("la delegación es un número entero positivo, no \"" + value + "\"");
  }
  return number;
}

store::Connection serverOf(const std::string& uri) {
  if (!isServer(uri)) throw UsageError("se espera la dirección de un servidor");
  return store::Connection::connect(uri);
}

}  // namespace

int serverCommand(const std::vector<std::string>& args) {
  if (args.size() < 2) throw UsageError("falta el servidor");
  const std::string& what = args[0];
  store::Connection server = serverOf(args[1]);
  if (what == "preparar" && args.size() == 2) {
    store::prepareServer(server);
    std::cout << "Servidor preparado para varias delegaciones: " << store::serverName(args[1])
              << '\n';
  } else if (what == "delegacion" && args.size() == 4) {
    const int delegation = delegationNumber(args[2]);
    store::addDelegationRole(server, delegation, args[3]);
    std::cout << "El rol " << args[3] << " es de la delegación " << delegation
              << "; dele una contraseña con \\password en psql\n";
  } else if (what == "nacional" && args.size() == 3) {
    store::addNationalRole(server, args[2]);
    std::cout << "El rol " << args[2] << " lee todas las delegaciones y no escribe\n";
  } else if (what == "roles" && args.size() == 2) {
    for (const store::ServerRole& role : store::serverRoles(server)) {
      std::cout << role.role << "\t"
                << (role.delegation ? "delegación " + std::to_string(*role.delegation)
                                    : std::string("nacional"))
                << '\n';
    }
  } else {
    throw UsageError("subcomando " + what);
  }
  return 0;
}

int auditLogCommand(const std::string& uri, const std::vector<std::string>& given) {
  const auto read = options(given, {"--desde", "--hasta", "--delegacion"});
  std::optional<text::Date> from;
  std::optional<text::Date> to;
  std::optional<int> delegation;
  if (read.count("--desde")) from = dateOption("--desde", read.at("--desde"));
  if (read.count("--hasta")) to = dateOption("--hasta", read.at("--hasta"));
  if (read.count("--delegacion")) delegation = delegationNumber(read.at("--delegacion"));
  serverOf(uri);
  writeAuditLog(uri, from, to, delegation, std::cout);
  return 0;
}

int reportCommand(const std::string& target, const std::vector<std::string>& given) {
  const auto read = options(given, {"--fecha", "--modulo", "--delegacion", "--salida"});
  if (!read.count("--fecha") || !read.count("--modulo") || !read.count("--delegacion")) {
    throw UsageError("faltan --fecha, --modulo o --delegacion");
  }
  const auto file =
      writeDelegationReport(target, dateOption("--fecha", read.at("--fecha")), read.at("--modulo"),
                            delegationNumber(read.at("--delegacion")),
                            read.count("--salida") ? read.at("--salida") : ".");
  std::cout << "Reporte grabado: " << file.string() << '\n';
  return 0;
}

}  // namespace tarvel_db
