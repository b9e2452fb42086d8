#pragma once

namespace session {

// The two outputs of the day's capture of the current module. The capture screen's buttons
// call them; the outputs layer implements them, so the screen knows nothing of the files.
class DayOutputs {
 public:
  virtual ~DayOutputs() = default;

  // Writes the report and opens it in the operator's viewer.
  virtual void writeReport() = 0;
  // Writes the export file and shows its notice.
  virtual void writeExport() = 0;
};

}  // namespace session
