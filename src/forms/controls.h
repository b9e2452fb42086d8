#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace forms {

class Form;

enum class ControlKind { Label, TextBox, ComboBox, CommandButton, Frame, Picture };

// How a caption is drawn; empty colours and size 0 leave the toolkit's defaults.
struct TextStyle {
  std::string foreground;  // "#rrggbb"
  std::string background;
  int pointSize = 0;
  bool bold = false;
  bool centered = false;
  bool rightAligned = false;
  std::string family;

  bool operator==(const TextStyle&) const = default;
};

class Control;

// Everything of a control's look that every control has and an event's handlers can change,
// as the operator sees it. A screen's copy before an event keeps it whole and puts it back
// whole: a property added here is kept and restored with no other change. Positions and
// sizes are pixels inside the form.
struct ControlLook {
  bool visible = true;
  bool enabled = true;
  int left = 0;
  int top = 0;
  int width = 100;
  int height = 21;
  int tabIndex = 0;
  bool causesValidation = false;
  std::string caption;
  std::string toolTip;
  TextStyle style;
  // What a screen reader says for the control: the caption of `labelledBy` when set (the
  // label the operator reads beside it), else `accessibleName`, else its own caption.
  const Control* labelledBy = nullptr;
  std::string accessibleName;
  std::string accessibleDescription;

  bool operator==(const ControlLook&) const = default;
};

// What every control shares: its look, its name and its handlers.
class Control : public ControlLook {
 public:
  Control(Form& owner, std::string name, ControlKind kind);
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  virtual ~Control() = default;

  const std::string& name() const { return name_; }
  ControlKind kind() const { return kind_; }
  // Sets position and size in one go, as screens lay themselves out.
  void place(int at_left, int at_top, int new_width, int new_height = 22) {
    left = at_left;
    top = at_top;
    width = new_width;
    height = new_height;
  }
  Form& form() const { return form_; }
  bool takesFocus() const;
  const ControlLook& look() const { return *this; }
  void setLook(const ControlLook& look) { static_cast<ControlLook&>(*this) = look; }
  std::string spokenName() const;

  std::function<void()> onClick;
  std::function<void()> onGotFocus;
  std::function<void()> onLostFocus;
  std::function<void(bool& cancel)> onValidate;

 private:
  Form& form_;
  std::string name_;
  ControlKind kind_;
};

class Label : public Control {
 public:
  Label(Form& owner, std::string name) : Control(owner, std::move(name), ControlKind::Label) {}
};

// Labels reached by index, named "Name(0)", "Name(1)", ...
class LabelArray {
 public:
  LabelArray(Form& owner, const std::string& name, int count);
  Label& operator[](int index) { return *labels_.at(static_cast<std::size_t>(index)); }
  int size() const { return static_cast<int>(labels_.size()); }

 private:
  std::vector<std::unique_ptr<Label>> labels_;
};

class Frame : public Control {
 public:
  Frame(Form& owner, std::string name) : Control(owner, std::move(name), ControlKind::Frame) {}
};

// A drawn banner: the view paints it with the caption as its title.
class Picture : public Control {
 public:
  Picture(Form& owner, std::string name) : Control(owner, std::move(name), ControlKind::Picture) {}
};

class CommandButton : public Control {
 public:
  CommandButton(Form& owner, std::string name)
      : Control(owner, std::move(name), ControlKind::CommandButton) {}
};

class TextBox : public Control {
 public:
  TextBox(Form& owner, std::string name) : Control(owner, std::move(name), ControlKind::TextBox) {}

  std::string text;
  // Shown in place of every typed character; 0 shows the text itself.
  char passwordChar = 0;

  // What a text box adds to its look.
  struct Content {
    std::string text;
    char passwordChar = 0;
    int selStart = 0;
    int selLength = 0;

    bool operator==(const Content&) const = default;
  };
  Content content() const { return {text, passwordChar, sel_start_, sel_length_}; }
  void setContent(const Content& content);

  int selStart() const { return sel_start_; }
  int selLength() const { return sel_length_; }
  // Selects part of the text, in characters; a length past the end stops at the end.
  void select(int start, int length);
  // Changes whenever the program selects, so a view knows when to apply it.
  unsigned selectionVersion() const { return selection_version_; }

 private:
  int sel_start_ = 0;
  int sel_length_ = 0;
  unsigned selection_version_ = 0;
};

// A drop-down list of texts, each with a 32-bit datum; a sorted list keeps Spanish
// alphabetical order as items are added.
class ComboBox : public Control {
 public:
  ComboBox(Form& owner, std::string name)
      : Control(owner, std::move(name), ControlKind::ComboBox) {}

  struct Item {
    std::string text;
    std::int32_t data = 0;

    bool operator==(const Item&) const = default;
  };

  bool sorted = false;

  // Adds an item and returns the position it took.
  int addItem(std::string text);
  // Removes the item at `index`; a selection after it moves with its item, and a removed
  // selection leaves nothing selected.
  void removeItem(int index);
  void clear();
  using Items = std::vector<Item>;
  int listCount() const { return static_cast<int>(items_->size()); }
  const Items& items() const { return *items_; }
  const std::string& itemText(int index) const;
  std::int32_t itemData(int index) const;
  void setItemData(int index, std::int32_t data);

  // -1 when nothing is selected. Setting an index outside the list selects nothing.
  int listIndex() const { return list_index_; }
  void setListIndex(int index);
  // The text of the selected item, or "".
  std::string text() const;

  // What a list adds to its look. Its items are shared with the list until either changes.
  struct Content {
    bool sorted = false;
    std::shared_ptr<Items> items;
    int listIndex = -1;

    bool operator==(const Content& other) const;
  };
  Content content() const { return {sorted, items_, list_index_}; }
  void setContent(const Content& content);

 private:
  // Shared with the copies of the screen taken before each event, and copied only when the
  // list changes while shared, so that taking a copy costs nothing per item.
  std::shared_ptr<Items> items_ = std::make_shared<Items>();
  Items& changeItems();
  int list_index_ = -1;
};

// A caption as it reads: "&Reporte" is "Reporte", "&&" is "&".
std::string withoutMnemonic(const std::string& caption);
// The key that goes with Alt (or, in an open menu, alone): "R" for "&Reporte"; none without.
std::string mnemonicOf(const std::string& caption);

// One entry of the menu bar; top-level entries hold their items. An empty caption is a
// separator.
class MenuItem {
 public:
  MenuItem(Form& owner, std::string name, std::string caption);
  MenuItem(MenuItem& parent, std::string name, std::string caption);
  MenuItem(const MenuItem&) = delete;
  MenuItem& operator=(const MenuItem&) = delete;

  const std::string& name() const { return name_; }
  const std::vector<MenuItem*>& items() const { return items_; }
  Form& form() const { return form_; }

  std::string caption;
  bool enabled = true;
  std::function<void()> onClick;

 private:
  Form& form_;
  std::string name_;
  std::vector<MenuItem*> items_;
};

}  // namespace forms
