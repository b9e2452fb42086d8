#include "forms/screen_state.h"

#include <tuple>

#include "forms/form.h"

namespace forms {

bool ControlLook::operator==(const ControlLook& other) const {
  const auto same_items = [&] {
    if (items == other.items) return true;
    return items && other.items && *items == *other.items;
  };
  return std::tie(visible, enabled, left, top, width, height, tabIndex, causesValidation, caption,
                  toolTip, style, labelledBy, accessibleName, accessibleDescription, text,
                  passwordChar, selStart, selLength, sorted, listIndex) ==
             std::tie(other.visible, other.enabled, other.left, other.top, other.width,
                      other.height, other.tabIndex, other.causesValidation, other.caption,
                      other.toolTip, other.style, other.labelledBy, other.accessibleName,
                      other.accessibleDescription, other.text, other.passwordChar, other.selStart,
                      other.selLength, other.sorted, other.listIndex) &&
         same_items();
}

ScreenState Form::saveScreen() const {
  ScreenState state;
  state.caption = caption;
  state.width = width;
  state.height = height;
  state.visible = visible;
  state.defaultButton = defaultButton;
  state.focused = focused_;
  state.focusAnnounced = focus_announced_;
  state.controls.reserve(controls_.size());
  for (const Control* control : controls_) {
    ControlLook look;
    look.visible = control->visible;
    look.enabled = control->enabled;
    look.left = control->left;
    look.top = control->top;
    look.width = control->width;
    look.height = control->height;
    look.tabIndex = control->tabIndex;
    look.causesValidation = control->causesValidation;
    look.caption = control->caption;
    look.toolTip = control->toolTip;
    look.style = control->style;
    look.labelledBy = control->labelledBy;
    look.accessibleName = control->accessibleName;
    look.accessibleDescription = control->accessibleDescription;
    if (const auto* box = dynamic_cast<const TextBox*>(control)) {
      look.text = box->text;
      look.passwordChar = box->passwordChar;
      look.selStart = box->selStart();
      look.selLength = box->selLength();
    } else if (const auto* list = dynamic_cast<const ComboBox*>(control)) {
      look.sorted = list->sorted;
      look.items = list->items_;
      look.listIndex = list->list_index_;
    }
    state.controls.push_back(std::move(look));
  }
  for (const MenuItem* menu : menus_) state.menus.push_back({menu->caption, menu->enabled});
  return state;
}

void Form::restoreScreen(const ScreenState& state) {
  if (state.controls.size() != controls_.size() || state.menus.size() != menus_.size()) {
    throw ScreenMisuse(name_ + ": el estado guardado es de otra pantalla");
  }
  caption = state.caption;
  width = state.width;
  height = state.height;
  visible = state.visible;
  defaultButton = state.defaultButton;
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    Control& control = *controls_[i];
    const ControlLook& look = state.controls[i];
    control.visible = look.visible;
    control.enabled = look.enabled;
    control.place(look.left, look.top, look.width, look.height);
    control.tabIndex = look.tabIndex;
    control.causesValidation = look.causesValidation;
    control.caption = look.caption;
    control.toolTip = look.toolTip;
    control.style = look.style;
    control.labelledBy = look.labelledBy;
    control.accessibleName = look.accessibleName;
    control.accessibleDescription = look.accessibleDescription;
    if (auto* box = dynamic_cast<TextBox*>(&control)) {
      box->text = look.text;
      box->passwordChar = look.passwordChar;
      box->select(look.selStart, look.selLength);
    } else if (auto* list = dynamic_cast<ComboBox*>(&control)) {
      list->sorted = look.sorted;
      list->items_ = look.items;
      list->list_index_ = look.listIndex;
    }
  }
  for (std::size_t i = 0; i < menus_.size(); ++i) {
    menus_[i]->caption = state.menus[i].caption;
    menus_[i]->enabled = state.menus[i].enabled;
  }
  focused_ = state.focused;
  focus_announced_ = state.focusAnnounced;
  requested_ = nullptr;
  left_ = nullptr;
}

}  // namespace forms
