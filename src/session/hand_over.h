#pragma once

#include <string>

namespace session {

// What the access screen hands the signed-in session over to. The capture screen
// implements it; the access screen knows nothing else of it.
class CaptureHandOver {
 public:
  virtual ~CaptureHandOver() = default;

  // The capture screen stays hidden while the access screen is open.
  virtual void showCaptureScreen(bool shown) = 0;
  virtual void showDelegation(const std::string& name) = 0;
  virtual void showModuleAndDate(const std::string& module, const std::string& date) = 0;
};

}  // namespace session
