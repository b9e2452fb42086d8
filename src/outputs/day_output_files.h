#pragma once

#include <filesystem>
#include <functional>

#include "forms/host.h"
#include "session/day_outputs.h"
#include "session/session_state.h"

namespace outputs {

// The report and the export file of the day's capture of the current module, written into
// the program's folder. A file that cannot be written, or a query that fails, is told to the
// operator with the file's path and the reason; the file keeps what it held before.
class DayOutputFiles : public session::DayOutputs {
 public:
  DayOutputFiles(forms::Host& host, session::SessionState& state) : host_(host), g_(state) {}

  // Reporte.htm, then opened in the operator's viewer for HTML without waiting for it.
  void writeReport() override;
  // The delegation's file of the module, then the notice with its name, folder and count.
  void writeExport() override;

 private:
  // Runs `work`, which writes `file`; false after telling the operator why it failed.
  bool attempt(const std::filesystem::path& file, const std::function<void()>& work);
  void tell(const std::string& title, const std::string& message, const std::string& detail = {});

  forms::Host& host_;
  session::SessionState& g_;
};

}  // namespace outputs
