#pragma once

#include <string>
#include <vector>

namespace tarvel_db {

// tarvel-db servidor preparar|delegacion|nacional|roles URI …: `args` from the subcommand on.
int serverCommand(const std::vector<std::string>& args);
// tarvel-db bitacora URI [--desde …] [--hasta …] [--delegacion N]
int auditLogCommand(const std::string& uri, const std::vector<std::string>& given);
// tarvel-db reporte DATABASE --fecha … --modulo … --delegacion N [--salida CARPETA]
int reportCommand(const std::string& target, const std::vector<std::string>& given);

}  // namespace tarvel_db
