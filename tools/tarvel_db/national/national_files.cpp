#include "national/national_files.h"

#include <set>
#include <stdexcept>

#include "loading/csv.h"
#include "loading/loader.h"
#include "outputs/output_file.h"
#include "outputs/report.h"
#include "session/capture_module.h"
#include "session/session_state.h"
#include "store/archive.h"
#include "store/connection.h"
#include "store/server_security.h"

namespace tarvel_db {
namespace {

std::optional<std::string> textOf(const store::Value& value) {
  return value.isNull() ? std::nullopt : std::optional(value.asText());
}

}  // namespace

std::size_t writeAuditLog(const std::string& uri, const std::optional<text::Date>& from,
                          const std::optional<text::Date>& to, std::optional<int> delegation,
                          std::ostream& out) {
  store::Connection server = store::Connection::connect(uri);
  std::string statement =
      "SELECT to_char(momento, 'YYYY-MM-DD HH24:MI:SS.US'), rol, equipo, programa, accion, "
      "consec, cve_del, antes::text, despues::text FROM bitacora WHERE true";
  store::Row values;
  if (from) {
    statement += " AND momento >= ?::date";
    values.emplace_back(text::isoDate(*from));
  }
  if (to) {
    statement += " AND momento < ?::date + 1";
    values.emplace_back(text::isoDate(*to));
  }
  if (delegation) {
    statement += " AND cve_del = ?";
    values.emplace_back(std::int64_t{*delegation});
  }
  const store::Rows rows = server.runNative(statement + " ORDER BY id", values);
  if (rows.empty())
    throw std::runtime_error("la bitácora no tiene filas que este rol pueda leer así");
  out << "Momento,Rol,Equipo,Programa,Accion,Consec,Cve_del,Antes,Despues\n";
  for (const store::Row& row : rows) {
    std::string line;
    for (std::size_t i = 0; i < row.size(); ++i)
      line += (i == 0 ? "" : ",") + csvField(textOf(row[i]));
    out << line << "\n";
  }
  return rows.size();
}

std::vector<DayExport> writeAllExports(const std::string& uri, const text::Date& day,
                                       const std::string& module,
                                       const std::filesystem::path& folder) {
  store::Connection server = store::Connection::connect(uri);
  const store::Row day_and_module{store::Value(text::isoDate(day)), store::Value(module)};
  std::string statement = "SELECT cve_del FROM reg_pre WHERE fecha = ?::date AND cve_mod = ?";
  store::Row values = day_and_module;
  if (!server.columnsOf(store::kArchiveTableName).empty()) {
    statement += " UNION SELECT cve_del FROM " + std::string(store::kArchiveTableName) +
                 " WHERE fecha = ?::date AND cve_mod = ?";
    values.insert(values.end(), day_and_module.begin(), day_and_module.end());
  }
  std::set<std::int64_t> delegations;
  for (const store::Row& row : server.runNative(statement, values)) {
    if (!row[0].isNull()) delegations.insert(row[0].asInteger());
  }
  if (delegations.empty()) {
    throw std::runtime_error("ninguna delegación tiene registros del módulo " + module + " el " +
                             text::isoDate(day));
  }
  // On a prepared server a delegation's station never sees records that name none.
  const bool prepared = store::isPreparedServer(server);
  std::vector<DayExport> written;
  for (const std::int64_t delegation : delegations) {
    written.push_back(
        writeDayExport(uri, day, module, std::to_string(delegation), folder, prepared));
  }
  return written;
}

std::filesystem::path writeDelegationReport(const std::string& target, const text::Date& day,
                                            const std::string& module, int delegation,
                                            const std::filesystem::path& folder) {
  session::SessionState state;
  state.gCveDel = std::to_string(delegation);
  state.gModulo = module;
  state.gFecha = text::dateLabel(day);
  for (const session::CaptureModule& known : session::captureModules()) {
    if (known.code == module) state.gDescMod = std::string(known.caption);
  }
  if (state.gDescMod.empty()) throw std::runtime_error("no hay un módulo " + module);
  store::Connection database = openTarget(target);
  std::string statement = outputs::reportStatement(state.gCveDel, module, day);
  // As a station of a prepared server reads it: its own records only.
  if (store::isPreparedServer(database)) statement = withoutUnkeyed(statement);
  const store::Rows rows = database.run(statement);
  const std::filesystem::path file = folder / "Reporte.htm";
  outputs::OutputFile report(file);
  outputs::writeReportFile(report, state, rows);
  report.commit();
  return file;
}

}  // namespace tarvel_db
