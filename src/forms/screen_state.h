#pragma once

#include <memory>
#include <string>
#include <vector>

#include "forms/controls.h"

namespace forms {

// Everything an event's handlers can change on one control, as the operator sees it.
struct ControlLook {
  bool visible = true;
  bool enabled = true;
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int tabIndex = 0;
  bool causesValidation = false;
  std::string caption;
  std::string toolTip;
  TextStyle style;
  const Control* labelledBy = nullptr;
  std::string accessibleName;
  std::string accessibleDescription;
  // Text boxes.
  std::string text;
  char passwordChar = 0;
  int selStart = 0;
  int selLength = 0;
  // Lists.
  bool sorted = false;
  std::shared_ptr<ComboBox::Items> items;  // shared with the list until either changes
  int listIndex = -1;

  bool operator==(const ControlLook& other) const;
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
  std::vector<ControlLook> controls;  // in the form's control order
  std::vector<MenuLook> menus;
  Control* focused = nullptr;
  bool focusAnnounced = false;

  bool operator==(const ScreenState&) const = default;
};

}  // namespace forms
