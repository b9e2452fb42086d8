#pragma once

#include <array>
#include <string>
#include <string_view>

namespace session {

// The eight capture modules, in the order of the menu and of the module lists.
struct CaptureModule {
  std::string_view code;
  std::string_view caption;      // in ComboMod and on the menu item
  std::string_view menuItem;     // the menu item's name
  std::string_view menuDescMod;  // what choosing the menu item puts into gDescMod
  std::string_view typeLetter;   // product and presentation type letter
  std::string_view destColumn;   // the Cat_Dest flag column of its destinations
  bool basketGuided;             // gCanasta "S" after a menu switch or at start
};

const std::array<CaptureModule, 8>& captureModules();

// Days the start-up purge keeps the records of a module: records dated that many days
// before today or earlier are deleted.
inline constexpr int kKeptDays = 30;
inline constexpr int kFruitKeptDays = 7;
int keptDays(std::string_view code);
// Null for a code no module has.
const CaptureModule* findModule(std::string_view code);
// The module a menu item of the capture screen chooses; the item must be one of the eight.
const CaptureModule& moduleOfMenuItem(std::string_view item);

// The code of a module caption: its first three characters in upper case, "AZÚ" read as
// "AZU".
std::string moduleCodeOf(std::string_view caption);
// "AZÚ" read as "AZU"; every other code unchanged.
std::string normalizedCode(std::string_view code);

// gCanasta for a module: "S" unless it is "VOL", "AND" or "AZU".
std::string basketFlag(std::string_view code);

}  // namespace session
