#include "forms/screen_state.h"

#include "forms/form.h"

namespace forms {

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
    SavedControl saved{control->look(), {}};
    if (const auto* box = dynamic_cast<const TextBox*>(control)) {
      saved.content = box->content();
    } else if (const auto* list = dynamic_cast<const ComboBox*>(control)) {
      saved.content = list->content();
    }
    state.controls.push_back(std::move(saved));
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
    const SavedControl& saved = state.controls[i];
    control.setLook(saved.look);
    if (const auto* content = std::get_if<TextBox::Content>(&saved.content)) {
      dynamic_cast<TextBox&>(control).setContent(*content);
    } else if (const auto* listed = std::get_if<ComboBox::Content>(&saved.content)) {
      dynamic_cast<ComboBox&>(control).setContent(*listed);
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
