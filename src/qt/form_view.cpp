#include "qt/form_view.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QProxyStyle>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QStyledItemDelegate>
#include <optional>

#include "qt/banner_widget.h"
#include "qt/qt_host.h"

namespace qt {
namespace {

QString toQt(const std::string& text) {
  return QString::fromStdString(text);
}

QString styleSheetOf(const forms::TextStyle& style) {
  QString sheet;
  if (!style.foreground.empty()) sheet += "color: " + toQt(style.foreground) + ";";
  if (!style.background.empty()) sheet += "background-color: " + toQt(style.background) + ";";
  return sheet;
}

// Shows the box's own mask for each typed character instead of the style's bullet. A
// style sheet property cannot do it: the line edit reads the mask from its style.
class PasswordMaskStyle : public QProxyStyle {
 public:
  explicit PasswordMaskStyle(char mask) : mask_(mask) {}
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* answer) const override {
    if (hint == SH_LineEdit_PasswordCharacter) return mask_;
    return QProxyStyle::styleHint(hint, option, widget, answer);
  }

 private:
  char mask_;
};

// The control that has the keyboard focus is plainly marked, whatever the widget style
// does and whether or not the mouse was ever used: a keyboard-first program must show
// where the next key goes.
const QString kFocusStyle = QStringLiteral(
    "QLineEdit, QComboBox { border: 1px solid #8a8f96; border-radius: 2px; padding: 1px 4px;"
    " background: #ffffff; }"
    "QPushButton { border: 1px solid #8a8f96; border-radius: 3px; padding: 2px 8px;"
    " background: #eef0f2; }"
    "QPushButton:pressed { background: #d5d9de; }"
    "QLineEdit:disabled, QComboBox:disabled, QPushButton:disabled { color: #8a8f96;"
    " background: #f3f4f5; border-color: #c5c9ce; }"
    "QLineEdit:focus, QComboBox:focus, QPushButton:focus { border: 3px solid #1f5fbf;"
    " background: #fff4c2; padding: 0px 2px; }"
    // An open list's rows, the entry reached with the arrow keys included, read plainly.
    "QComboBox QAbstractItemView { background: #ffffff; color: #1b1b1b; }"
    "QComboBox QAbstractItemView::item { padding: 1px 4px; }"
    "QComboBox QAbstractItemView::item:selected { background: #1f5fbf; color: #ffffff; }");

// A list whose rows are drawn as items, not as menu entries, so the style above reaches
// them. The row painter is given when the list first opens: giving it makes the list's
// drop-down at once, which would lengthen the opening of every screen.
class ListBox : public QComboBox {
 public:
  using QComboBox::QComboBox;
  void showPopup() override {
    if (!itemsStyled_) setItemDelegate(new QStyledItemDelegate(this));
    itemsStyled_ = true;
    QComboBox::showPopup();
  }

 private:
  bool itemsStyled_ = false;
};

QFont fontOf(const forms::TextStyle& style, QFont font) {
  if (!style.family.empty()) font.setFamily(toQt(style.family));
  if (style.pointSize > 0) font.setPointSize(style.pointSize);
  font.setBold(style.bold);
  return font;
}

// The Ctrl key combinations a form may bind; Shift and Alt make other keys.
std::optional<forms::ShortcutKey> shortcutOf(const QKeyEvent& key) {
  const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
  if (modifiers != Qt::ControlModifier) return std::nullopt;
  switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return forms::ShortcutKey::Enter;
    case Qt::Key_Z:
      return forms::ShortcutKey::Z;
    case Qt::Key_Home:
      return forms::ShortcutKey::Home;
    case Qt::Key_End:
      return forms::ShortcutKey::End;
    case Qt::Key_PageUp:
      return forms::ShortcutKey::PageUp;
    case Qt::Key_PageDown:
      return forms::ShortcutKey::PageDown;
    case Qt::Key_Delete:
      return forms::ShortcutKey::Delete;
    default:
      return std::nullopt;
  }
}

}  // namespace

FormView::FormView(forms::Form& form, QtHost& host, QWidget* parent)
    : QDialog(parent), form_(form), host_(host) {
  setObjectName(toQt(form.name()));
  setStyleSheet(kFocusStyle);
  host_.addView(*this);
  sync();
}

FormView::~FormView() {
  host_.removeView(*this);
}

// The widgets are made when the form is first shown: a window that starts hidden (the
// capture screen behind the access screen) costs nothing until the operator needs it.
void FormView::build() {
  built_ = true;
  buildMenus();
  for (forms::Control* control : form_.controls()) {
    QWidget* widget = makeWidget(*control);
    widget->setObjectName(toQt(control->name()));
    widget->setFont(fontOf(control->style, widget->font()));
    widget->installEventFilter(this);
    bindings_.push_back(Binding{control, widget, 0, {}});
  }
}

void FormView::buildMenus() {
  if (form_.menus().empty()) return;
  menu_bar_ = new QMenuBar(this);
  for (forms::MenuItem* menu : form_.menus()) {
    if (menu->items().empty()) {
      // An entry of the bar itself, without a drop-down.
      QAction* action = menu_bar_->addAction(toQt(menu->caption));
      action->setObjectName(toQt(menu->name()));
      connect(action, &QAction::triggered, this,
              [this, menu] { forward([&] { form_.clickMenu(*menu); }); });
      continue;
    }
    QMenu* drop_down = menu_bar_->addMenu(toQt(menu->caption));
    drop_down->setObjectName(toQt(menu->name()));
    for (forms::MenuItem* item : menu->items()) {
      if (item->caption.empty()) {
        drop_down->addSeparator();
        continue;
      }
      QAction* action = drop_down->addAction(toQt(item->caption));
      action->setObjectName(toQt(item->name()));
      connect(action, &QAction::triggered, this,
              [this, item] { forward([&] { form_.clickMenu(*item); }); });
    }
  }
  menu_height_ = menu_bar_->sizeHint().height();
}

QWidget* FormView::makeWidget(forms::Control& control) {
  switch (control.kind()) {
    case forms::ControlKind::Label: {
      auto* label = new QLabel(this);
      label->setTextFormat(Qt::PlainText);
      label->setWordWrap(control.height > 30);
      const Qt::Alignment side = control.style.rightAligned ? Qt::AlignRight : Qt::AlignLeft;
      label->setAlignment(control.style.centered ? Qt::AlignCenter : Qt::AlignVCenter | side);
      if (!control.style.background.empty()) label->setAutoFillBackground(true);
      return label;
    }
    case forms::ControlKind::TextBox: {
      auto* edit = new QLineEdit(this);
      auto& box = static_cast<forms::TextBox&>(control);
      if (box.passwordChar) {
        auto* mask = new PasswordMaskStyle(box.passwordChar);
        mask->setParent(edit);
        edit->setStyle(mask);
      }
      connect(edit, &QLineEdit::textEdited, this, [this, &box](const QString& text) {
        forward([&] { form_.type(box, text.toStdString()); });
      });
      return edit;
    }
    case forms::ControlKind::ComboBox: {
      auto* combo = new ListBox(this);
      auto& list = static_cast<forms::ComboBox&>(control);
      connect(combo, &QComboBox::activated, this,
              [this, &list](int index) { forward([&] { form_.choose(list, index); }); });
      return combo;
    }
    case forms::ControlKind::CommandButton: {
      auto* button = new QPushButton(this);
      button->setAutoDefault(false);
      connect(button, &QPushButton::clicked, this,
              [this, &control] { forward([&] { form_.click(control); }); });
      return button;
    }
    case forms::ControlKind::Frame:
      return new QGroupBox(this);
    case forms::ControlKind::Picture:
      return new BannerWidget(this);
  }
  return new QWidget(this);
}

void FormView::forward(const std::function<void()>& event) {
  // While long work paints the windows no operator event may start.
  if (host_.pumping()) return;
  try {
    event();
  } catch (const std::exception& failure) {
    QMessageBox::critical(this, QStringLiteral("ERROR"), QString::fromUtf8(failure.what()));
  }
  host_.syncAll();
}

void FormView::sync() {
  if (!built_ && form_.visible && !form_.unloaded()) build();
  const QScopedValueRollback syncing(syncing_, true);
  setWindowTitle(toQt(form_.caption));
  setFixedSize(form_.width, form_.height + menu_height_);
  if (menu_bar_) menu_bar_->setGeometry(0, 0, form_.width, menu_height_);
  for (Binding& binding : bindings_) syncControl(binding);
  if (form_.unloaded()) {
    if (isVisible()) done(0);
  } else if (form_.visible != isVisible()) {
    setVisible(form_.visible);
  }
  syncFocus();
}

void FormView::syncControl(Binding& binding) {
  forms::Control& control = *binding.control;
  QWidget* widget = binding.widget;
  widget->setGeometry(control.left, control.top + menu_height_, control.width, control.height);
  widget->setEnabled(control.enabled);
  if (widget->toolTip() != toQt(control.toolTip)) widget->setToolTip(toQt(control.toolTip));
  if (const QString spoken = toQt(control.spokenName()); widget->accessibleName() != spoken) {
    widget->setAccessibleName(spoken);
  }
  if (const QString description = toQt(control.accessibleDescription);
      widget->accessibleDescription() != description) {
    widget->setAccessibleDescription(description);
  }
  const QString sheet = styleSheetOf(control.style);
  if (sheet != binding.style_sheet) {
    widget->setStyleSheet(sheet);
    binding.style_sheet = sheet;
  }
  const QString caption = toQt(control.caption);
  switch (control.kind()) {
    case forms::ControlKind::Label: {
      auto* label = static_cast<QLabel*>(widget);
      if (label->text() != caption) label->setText(caption);
      break;
    }
    case forms::ControlKind::CommandButton: {
      auto* button = static_cast<QPushButton*>(widget);
      if (button->text() != caption) button->setText(caption);
      break;
    }
    case forms::ControlKind::Frame:
      static_cast<QGroupBox*>(widget)->setTitle(caption);
      break;
    case forms::ControlKind::Picture:
      static_cast<BannerWidget*>(widget)->setTitle(caption);
      break;
    case forms::ControlKind::TextBox: {
      auto& box = static_cast<forms::TextBox&>(control);
      auto* edit = static_cast<QLineEdit*>(widget);
      edit->setEchoMode(box.passwordChar ? QLineEdit::Password : QLineEdit::Normal);
      if (edit->text() != toQt(box.text)) edit->setText(toQt(box.text));
      if (box.selectionVersion() != binding.selection_version) {
        binding.selection_version = box.selectionVersion();
        // A selection past the end of the text stops at the end.
        const int length = static_cast<int>(edit->text().size());
        const int start = std::min(box.selStart(), length);
        edit->setSelection(start, std::min(box.selLength(), length - start));
      }
      break;
    }
    case forms::ControlKind::ComboBox: {
      auto& list = static_cast<forms::ComboBox&>(control);
      auto* combo = static_cast<QComboBox*>(widget);
      const QSignalBlocker blocker(combo);
      bool same = combo->count() == list.listCount();
      for (int i = 0; same && i < list.listCount(); ++i) {
        same = combo->itemText(i) == toQt(list.itemText(i));
      }
      if (!same) {
        combo->clear();
        for (const auto& item : list.items()) combo->addItem(toQt(item.text));
      }
      if (combo->currentIndex() != list.listIndex()) combo->setCurrentIndex(list.listIndex());
      break;
    }
  }
  widget->setVisible(control.visible);
  // A screen reader names a list by the label whose buddy it is.
  if (control.labelledBy && control.visible) {
    auto* label = qobject_cast<QLabel*>(widgetOf(*control.labelledBy));
    if (label && label->buddy() != widget) label->setBuddy(widget);
  }
}

void FormView::syncFocus() {
  forms::Control* focused = form_.focused();
  if (!focused || !isVisible()) return;
  for (const Binding& binding : bindings_) {
    if (binding.control == focused && !binding.widget->hasFocus()) {
      binding.widget->setFocus(Qt::OtherFocusReason);
    }
  }
}

forms::Control* FormView::controlOf(QObject* widget) const {
  for (const Binding& binding : bindings_) {
    if (binding.widget == widget) return binding.control;
  }
  return nullptr;
}

QWidget* FormView::widgetOf(const forms::Control& control) const {
  for (const Binding& binding : bindings_) {
    if (binding.control == &control) return binding.widget;
  }
  return nullptr;
}

bool FormView::eventFilter(QObject* watched, QEvent* event) {
  forms::Control* control = controlOf(watched);
  if (!control || syncing_) return QDialog::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::KeyPress: {
      auto* key = static_cast<QKeyEvent*>(event);
      if (const auto shortcut = shortcutOf(*key)) {
        bool taken = false;
        forward([&] { taken = form_.pressShortcut(*shortcut); });
        if (taken) return true;
      }
      if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
        const bool backward = key->key() == Qt::Key_Backtab;
        forward([&] { form_.tab(backward); });
        return true;
      }
      if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        forward([&] { form_.keyPress(forms::kEnterKey); });
        return true;
      }
      if (!key->text().isEmpty() && key->text().at(0).isPrint()) {
        bool goes_on = true;
        const int character = key->text().at(0).unicode();
        forward([&] { goes_on = form_.keyPress(character); });
        return !goes_on;
      }
      break;
    }
    case QEvent::MouseButtonPress:
      if (control->kind() == forms::ControlKind::Label ||
          control->kind() == forms::ControlKind::Picture) {
        forward([&] { form_.click(*control); });
        return true;
      }
      break;
    case QEvent::FocusIn: {
      const auto reason = static_cast<QFocusEvent*>(event)->reason();
      if (reason == Qt::MouseFocusReason || reason == Qt::ShortcutFocusReason) {
        forward([&] { form_.focus(*control); });
      }
      break;
    }
    default:
      break;
  }
  return QDialog::eventFilter(watched, event);
}

void FormView::closeEvent(QCloseEvent* event) {
  if (form_.unloaded()) return QDialog::closeEvent(event);
  event->ignore();
  forward([&] { form_.requestClose(); });
}

// Escape closes a dialog as its frame would; the main window ignores it.
void FormView::reject() {
  if (form_.unloaded()) return QDialog::reject();
  if (isModal()) forward([&] { form_.requestClose(); });
}

}  // namespace qt
