#pragma once

#include <string>
#include <variant>
#include <vector>

#include "forms/controls.h"

namespace forms {

// One control as the operator sees it: the look every control has, and what a text box or
// a list adds to it.
struct SavedControl {
  ControlLook look;
  std::variant<std::monostate, TextBox::Content, ComboBox::Content> content;

  bool operator==(const SavedControl&) const = default;
};

struct MenuLook {
  std::string caption;
  bool enabled = true;

  bool operator==(const MenuLook&) const = default;
};

// A form as the operator sees it at one moment: its controls, menus and focus. Taken by
// Form::saveScreen and put back by Form::restoreScreen.
struct ScreenState {
  std::string caption;
  int width = 0;
  int height = 0;
  bool visible = true;
  CommandButton* defaultButton = nullptr;
  std::vector<SavedControl> controls;  // in the form's control order
  std::vector<MenuLook> menus;
  Control* focused = nullptr;
  bool focusAnnounced = false;

  bool operator==(const ScreenState&) const = default;
};

}  // namespace forms
