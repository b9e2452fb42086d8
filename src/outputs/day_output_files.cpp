#include "outputs/day_output_files.h"

#include "forms/message_form.h"
#include "outputs/export_file.h"
#include "outputs/frm_aviso.h"
#include "outputs/output_file.h"
#include "outputs/report.h"
#include "store/connection.h"
#include "store/error.h"

namespace outputs {
namespace {

namespace fs = std::filesystem;

// The date of the capture date label.
text::Date captureDate(const session::SessionState& state, const fs::path& file) {
  const auto date = text::dateOfLabel(state.gFecha);
  if (!date) throw FileError(file, "la fecha de captura \"" + state.gFecha + "\" no es válida");
  return *date;
}

}  // namespace

void DayOutputFiles::writeReport() {
  const fs::path file = fs::path(g_.gRuta) / "Reporte.htm";
  const bool written = attempt(file, [&] {
    g_.gSQL = reportStatement(g_.gCveDel, g_.gModulo, captureDate(g_, file));
    OutputFile report(file);
    writeReportFile(report, g_, g_.database().run(g_.gSQL));
    report.commit();
  });
  if (written && !host_.openDocument(file)) {
    tell("Reporte", "No se encontró un programa para abrir el reporte.\nEl reporte quedó en " +
                        file.string() + ".");
  }
}

void DayOutputFiles::writeExport() {
  g_.gArchivo = g_.gCveDel + g_.gModulo + ".csv";
  g_.gDirectorio = g_.gRuta + static_cast<char>(fs::path::preferred_separator);
  const fs::path file = fs::path(g_.gDirectorio + g_.gArchivo);
  std::int64_t count = 0;
  const bool written = attempt(file, [&] {
    if (fs::path(g_.gArchivo).has_parent_path()) {
      throw FileError(file, "la clave de la delegación no sirve como nombre de archivo");
    }
    const text::Date date = captureDate(g_, file);
    OutputFile out(file);
    g_.gSQL = exportStatement(g_.gCveDel, g_.gModulo, date);
    for (const store::Row& row : g_.database().run(g_.gSQL)) {
      out.writeLine(exportLine(g_.gModulo, row));
      ++count;
    }
    out.commit();
  });
  if (!written) return;
  g_.gCantidad = count;
  frmAviso notice(host_, g_);
  host_.showModal(notice);
}

bool DayOutputFiles::attempt(const fs::path& file, const std::function<void()>& work) {
  try {
    work();
    return true;
  } catch (const FileError& failure) {
    tell("ERROR", failure.what());
  } catch (const store::StoreError& failure) {
    tell("ERROR", FileError(file, failure.explanation()).what(), failure.detail());
  }
  return false;
}

void DayOutputFiles::tell(const std::string& title, const std::string& message,
                          const std::string& detail) {
  forms::MessageForm notice(host_, title, message, detail);
  host_.showModal(notice);
}

}  // namespace outputs
