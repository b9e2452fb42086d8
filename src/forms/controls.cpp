#include "forms/controls.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "forms/form.h"
#include "text/collation.h"

namespace forms {

Control::Control(Form& owner, std::string name, ControlKind kind)
    : form_(owner), name_(std::move(name)), kind_(kind) {
  tabIndex = static_cast<int>(owner.controls().size());
  owner.registerControl(*this);
}

std::string withoutMnemonic(const std::string& caption) {
  std::string read;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) ++i;
    read += caption[i];
  }
  return read;
}

std::string mnemonicOf(const std::string& caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    const auto letter = static_cast<unsigned char>(caption[i + 1]);
    if (letter < 0x80) return std::string(1, static_cast<char>(std::toupper(letter)));
  }
  return {};
}

std::string Control::spokenName() const {
  if (labelledBy) return withoutMnemonic(labelledBy->caption);
  if (!accessibleName.empty()) return accessibleName;
  return withoutMnemonic(caption);
}

bool Control::takesFocus() const {
  return visible && enabled &&
         (kind_ == ControlKind::TextBox || kind_ == ControlKind::ComboBox ||
          kind_ == ControlKind::CommandButton);
}

LabelArray::LabelArray(Form& owner, const std::string& name, int count) {
  for (int i = 0; i < count; ++i) {
    labels_.push_back(std::make_unique<Label>(owner, name + "(" + std::to_string(i) + ")"));
  }
}

void TextBox::select(int start, int length) {
  sel_start_ = std::max(0, start);
  sel_length_ = std::max(0, length);
  ++selection_version_;
}

void TextBox::setContent(const Content& content) {
  text = content.text;
  passwordChar = content.passwordChar;
  select(content.selStart, content.selLength);
}

bool ComboBox::Content::operator==(const Content& other) const {
  const bool same_items = items == other.items || (items && other.items && *items == *other.items);
  return sorted == other.sorted && listIndex == other.listIndex && same_items;
}

void ComboBox::setContent(const Content& content) {
  sorted = content.sorted;
  items_ = content.items;
  list_index_ = content.listIndex;
}

ComboBox::Items& ComboBox::changeItems() {
  if (items_.use_count() > 1) items_ = std::make_shared<Items>(*items_);
  return *items_;
}

int ComboBox::addItem(std::string text) {
  Items& items = changeItems();
  auto position = items.end();
  // Lists are mostly filled in order already; then the new item goes last at once.
  if (sorted && !items.empty() && text::lessSpanish(text, items.back().text)) {
    position = std::upper_bound(items.begin(), items.end(), text,
                                [](const std::string& added, const Item& item) {
                                  return text::lessSpanish(added, item.text);
                                });
  }
  const int index = static_cast<int>(position - items.begin());
  items.insert(position, Item{std::move(text), 0});
  if (list_index_ >= index) ++list_index_;
  return index;
}

void ComboBox::removeItem(int index) {
  Items& items = changeItems();
  if (index < 0 || index >= static_cast<int>(items.size())) return;
  items.erase(items.begin() + index);
  if (list_index_ == index) {
    list_index_ = -1;
  } else if (list_index_ > index) {
    --list_index_;
  }
}

void ComboBox::clear() {
  items_ = std::make_shared<Items>();
  list_index_ = -1;
}

const std::string& ComboBox::itemText(int index) const {
  return items_->at(static_cast<std::size_t>(index)).text;
}

std::int32_t ComboBox::itemData(int index) const {
  return items_->at(static_cast<std::size_t>(index)).data;
}

void ComboBox::setItemData(int index, std::int32_t data) {
  changeItems().at(static_cast<std::size_t>(index)).data = data;
}

void ComboBox::setListIndex(int index) {
  list_index_ = index >= 0 && index < listCount() ? index : -1;
}

std::string ComboBox::text() const {
  return list_index_ >= 0 ? itemText(list_index_) : "";
}

MenuItem::MenuItem(Form& owner, std::string name, std::string caption_text)
    : caption(std::move(caption_text)), form_(owner), name_(std::move(name)) {
  owner.registerMenu(*this);
}

MenuItem::MenuItem(MenuItem& parent, std::string name, std::string caption_text)
    : caption(std::move(caption_text)), form_(parent.form_), name_(std::move(name)) {
  parent.items_.push_back(this);
}

}  // namespace forms
