#include "session/capture_module.h"

#include <algorithm>
#include <stdexcept>

#include "text/encoding.h"

namespace session {

const std::array<CaptureModule, 8>& captureModules() {
  static const std::array<CaptureModule, 8> modules{{
      {"FRU", "Frutas y Hortalizas", "Frutas", "Frutas y Hortalizas", "H", "FRU", true},
      {"AZU", "Azúcar", "Azucar", "Azúcar", "Z", "AZU", false},
      {"ACE", "Aceites Comestibles", "Aceites", "Aceites Comestibles", "A", "ACE", true},
      {"GRA", "Granos y Semillas", "Granos", "Granos y Semillas", "S", "GRA", true},
      {"FLO", "Flores", "Flores", "Flores", "N", "FLO", true},
      {"INS", "Insumos Agrícolas", "Insumos", "Insumos Agrícolas", "R", "FRU", true},
      {"VOL", "Volúmenes de Ingreso", "Volumenes", "Volúmenes de Ingreso", "H", "FRU", false},
      {"AND", "Anden de Subasta", "Anden", "Anden de Subastas", "B", "FRU", false},
  }};
  return modules;
}

const CaptureModule* findModule(std::string_view code) {
  const auto& modules = captureModules();
  const auto found = std::find_if(modules.begin(), modules.end(),
                                  [&](const CaptureModule& m) { return m.code == code; });
  return found == modules.end() ? nullptr : &*found;
}

const CaptureModule& moduleOfMenuItem(std::string_view item) {
  const auto& modules = captureModules();
  const auto found = std::find_if(modules.begin(), modules.end(),
                                  [&](const CaptureModule& m) { return m.menuItem == item; });
  if (found == modules.end()) throw std::logic_error("no hay módulo para " + std::string(item));
  return *found;
}

std::string normalizedCode(std::string_view code) {
  return code == "AZÚ" ? std::string("AZU") : std::string(code);
}

std::string moduleCodeOf(std::string_view caption) {
  return normalizedCode(text::toUpper(text::firstCharacters(caption, 3)));
}

int keptDays(std::string_view code) {
  return code == "FRU" ? kFruitKeptDays : kKeptDays;
}

std::string basketFlag(std::string_view code) {
  const CaptureModule* module = findModule(code);
  return module && !module->basketGuided ? "N" : "S";
}

}  // namespace session
