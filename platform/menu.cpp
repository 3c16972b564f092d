#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <cctype>
#include <charconv>
#include <map>
#include <string>
#include <vector>

#include "platform/internal.h"
#include "platform/menu.h"
#include "platform/menu_internal.h"
#include "platform/test_seams.h"
#include "platform/window_internal.h"

namespace platform {
namespace detail {
namespace {

struct MenuItem {
  int id = 0;
  std::string text;
  bool separator = false, checked = false, enabled = true, popup = false;
  std::vector<MenuItem> children;
  // While the menu is on a window: the item's one action there (a popup's
  // is its menu's action) and a popup's menu. Changes go to them in place.
  QPointer<QAction> action;
  QPointer<QMenu> menu;
};
struct MenuObject {
  std::vector<MenuItem> items;
  Window window = Window::kNone;
};

std::map<std::uintptr_t, MenuObject>& Menus() {
  static std::map<std::uintptr_t, MenuObject> menus;
  return menus;
}

MenuObject* FindMenu(Menu menu) {
  auto it = Menus().find(std::uintptr_t(menu));
  return it == Menus().end() ? nullptr : &it->second;
}

// Menu definitions, one entry a line:
//   popup "&File"            opens a popup, closed by `end`
//   item 101 "&New\tCtrl+N"  a command (optionally followed by `checked`, `grayed`)
//   separator
//   # a comment
class MenuParser {
 public:
  explicit MenuParser(const QByteArray& text) : text_(text.toStdString()) {}

  bool Parse(std::vector<MenuItem>& items) { return ParseList(items, 0) && AtEnd(); }

 private:
  bool ParseList(std::vector<MenuItem>& items, int depth) {
    for (;;) {
      std::string word = Word();
      if (word.empty()) return depth == 0;
      if (word == "end") return depth > 0;
      MenuItem item;
      if (word == "separator") {
        item.separator = true;
      } else if (word == "popup") {
        item.popup = true;
        if (!Quoted(item.text) || !ParseList(item.children, depth + 1)) return false;
      } else if (word == "item") {
        if (!CommandId(item.id)) return false;
        if (!Quoted(item.text)) return false;
        for (std::string option = OptionOnLine(); !option.empty(); option = OptionOnLine()) {
          if (option == "checked") item.checked = true;
          else if (option == "grayed") item.enabled = false;
          else return false;
        }
      } else {
        return false;
      }
      items.push_back(std::move(item));
    }
  }

  void SkipSpace(bool newlines) {
    while (at_ < text_.size()) {
      char c = text_[at_];
      if (c == '#') {
        while (at_ < text_.size() && text_[at_] != '\n') ++at_;
      } else if (c == '\n' ? newlines : std::isspace(static_cast<unsigned char>(c))) {
        ++at_;
      } else {
        break;
      }
    }
  }
  std::string Word() {
    SkipSpace(true);
    std::size_t start = at_;
    while (at_ < text_.size() && !std::isspace(static_cast<unsigned char>(text_[at_])) && text_[at_] != '"') ++at_;
    return text_.substr(start, at_ - start);
  }
  std::string OptionOnLine() {
    SkipSpace(false);
    if (at_ >= text_.size() || text_[at_] == '\n') return {};
    return Word();
  }
  // A command id travels in the low 16 bits of kCommand's wParam.
  bool CommandId(int& id) {
    std::string number = Word();
    unsigned value = 0;
    auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (number.empty() || error != std::errc() || end != number.data() + number.size() || value > 0xFFFF) return false;
    id = int(value);
    return true;
  }
  bool Quoted(std::string& out) {
    SkipSpace(false);
    if (at_ >= text_.size() || text_[at_] != '"') return false;
    for (++at_; at_ < text_.size() && text_[at_] != '"'; ++at_) {
      if (text_[at_] == '\\' && at_ + 1 < text_.size()) {
        char next = text_[++at_];
        out += next == 't' ? '\t' : next;
      } else {
        out += text_[at_];
      }
    }
    if (at_ >= text_.size()) return false;
    ++at_;
    return true;
  }
  bool AtEnd() {
    SkipSpace(true);
    return at_ >= text_.size();
  }

  std::string text_;
  std::size_t at_ = 0;
};

// Finds the list holding the command item `id`, its place there and the
// popup that holds the list (null for the bar itself).
bool Locate(std::vector<MenuItem>& items, MenuItem* holder, int id, std::vector<MenuItem>*& list, std::size_t& index,
            MenuItem*& owner) {
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i].popup) {
      if (Locate(items[i].children, &items[i], id, list, index, owner)) return true;
    } else if (!items[i].separator && items[i].id == id) {
      list = &items;
      index = i;
      owner = holder;
      return true;
    }
  }
  return false;
}

MenuItem* FindItem(Menu menu, int id) {
  MenuObject* m = FindMenu(menu);
  std::vector<MenuItem>* list = nullptr;
  std::size_t index = 0;
  MenuItem* owner = nullptr;
  if (!m || !Locate(m->items, nullptr, id, list, index, owner)) return nullptr;
  return &(*list)[index];
}

// The widget that shows the items of `owner` (the menu bar for the top level).
QWidget* HolderWidget(const MenuObject& m, MenuItem* owner) {
  if (owner) return owner->menu;
  WindowObject* w = FindWindow(m.window);
  return w ? w->menuBar : nullptr;
}

// Shows the item's state on its action. Only the program changes checks,
// so this also undoes the toolkit's own toggle of a checkable action.
void ShowState(const MenuItem& item) {
  if (!item.action) return;
  item.action->setEnabled(item.enabled);
  if (item.popup) return;
  item.action->setCheckable(item.checked);
  item.action->setChecked(item.checked);
}

constexpr const char* kOwnObject = "korvaneMenu";  // marks the objects the layer made on a menu bar

QAction* MakeAction(QWidget* parent, MenuItem& item, Window window, Menu menu) {
  auto* action = new QAction(ToQt(item.text), parent);
  action->setProperty(kOwnObject, true);
  action->setData(item.id);
  int id = item.id;
  QObject::connect(action, &QAction::triggered, action, [window, menu, id] {
    if (MenuItem* chosen = FindItem(menu, id)) ShowState(*chosen);
    PostMessage(window, msg::kCommand, WParam(id), 0);
  });
  item.action = action;
  ShowState(item);
  return action;
}

void AddItems(QWidget* parent, std::vector<MenuItem>& items, Window window, Menu menu, bool topLevel) {
  for (MenuItem& item : items) {
    if (item.separator) {
      if (auto* popupMenu = qobject_cast<QMenu*>(parent)) popupMenu->addSeparator();
      continue;
    }
    if (item.popup) {
      auto* popup = new QMenu(ToQt(item.text), parent);
      popup->setProperty(kOwnObject, true);
      if (topLevel)
        QObject::connect(popup, &QMenu::aboutToShow, popup,
                         [window, menu] { SendMessage(window, msg::kInitMenu, WParam(menu)); });
      item.menu = popup;
      item.action = popup->menuAction();
      AddItems(popup, item.children, window, menu, false);
      parent->addAction(popup->menuAction());
      ShowState(item);
      continue;
    }
    parent->addAction(MakeAction(parent, item, window, menu));
  }
}

// The action of item `id`; `throughGreyed` also looks into greyed popups and
// then tells in `reachable` whether every popup on the way is enabled.
QAction* FindAction(const QList<QAction*>& actions, int id, bool throughGreyed, bool* reachable = nullptr) {
  for (QAction* action : actions) {
    if (QMenu* popup = action->menu()) {
      if (!action->isEnabled() && !throughGreyed) continue;
      if (QAction* found = FindAction(popup->actions(), id, throughGreyed, reachable)) {
        if (reachable && !action->isEnabled()) *reachable = false;
        return found;
      }
    } else if (!action->isSeparator() && action->data().isValid() && action->data().toInt() == id) {
      return action;
    }
  }
  return nullptr;
}

}  // namespace

void RebuildMenuBar(WindowObject& w) {
  if (!w.menuBar) return;
  w.menuBar->clear();
  // Later: this may run inside a handler of one of these objects.
  for (QObject* child : w.menuBar->children())
    if (child->property(kOwnObject).toBool()) child->deleteLater();
  if (MenuObject* m = FindMenu(w.menu)) AddItems(w.menuBar, m->items, w.handle, w.menu, true);
  w.frame->Layout();
}

void DetachMenus(Window window) {
  for (auto& [id, menu] : Menus())
    if (menu.window == window) menu.window = Window::kNone;
}

void ResetMenus() { Menus().clear(); }

}  // namespace detail

using namespace detail;

Menu LoadMenu(Instance instance, std::string_view name) {
  QFile file(ResourcePath(instance, "menus", name, ".menu"));
  if (!file.open(QIODevice::ReadOnly)) return Menu::kNone;
  MenuObject menu;
  if (!MenuParser(file.readAll()).Parse(menu.items)) return Menu::kNone;
  Menu handle = Menu(NewHandle());
  Menus().emplace(std::uintptr_t(handle), std::move(menu));
  return handle;
}

bool SetWindowMenu(Window window, Menu menu) {
  WindowObject* w = FindWindow(window);
  MenuObject* m = FindMenu(menu);
  if (!w || !w->menuBar || (menu != Menu::kNone && !m)) return false;
  if (MenuObject* old = FindMenu(w->menu)) old->window = Window::kNone;
  w->menu = menu;
  if (m) m->window = window;
  RebuildMenuBar(*w);
  return true;
}

Menu GetWindowMenu(Window window) {
  WindowObject* w = FindWindow(window);
  return w ? w->menu : Menu::kNone;
}

void DestroyMenu(Menu menu) {
  MenuObject* m = FindMenu(menu);
  if (!m) return;
  WindowObject* w = FindWindow(m->window);
  Menus().erase(std::uintptr_t(menu));
  if (w) {
    w->menu = Menu::kNone;
    RebuildMenuBar(*w);
  }
}

bool SetMenuItemChecked(Menu menu, int id, bool checked) {
  MenuItem* item = FindItem(menu, id);
  if (!item) return false;
  item->checked = checked;
  ShowState(*item);
  return true;
}

bool IsMenuItemChecked(Menu menu, int id) {
  MenuItem* item = FindItem(menu, id);
  return item && item->checked;
}

bool EnableMenuItem(Menu menu, int id, bool enabled) {
  MenuItem* item = FindItem(menu, id);
  if (!item) return false;
  item->enabled = enabled;
  ShowState(*item);
  return true;
}

bool IsMenuItemEnabled(Menu menu, int id) {
  MenuItem* item = FindItem(menu, id);
  return item && item->enabled;
}

bool SetMenuItemText(Menu menu, int id, std::string_view text) {
  MenuItem* item = FindItem(menu, id);
  if (!item) return false;
  item->text = std::string(text);
  if (item->action) item->action->setText(ToQt(item->text));
  return true;
}

bool RemoveMenuItem(Menu menu, int id) {
  MenuObject* m = FindMenu(menu);
  std::vector<MenuItem>* list = nullptr;
  std::size_t index = 0;
  MenuItem* owner = nullptr;
  if (!m || !Locate(m->items, nullptr, id, list, index, owner)) return false;
  if (QPointer<QAction> action = (*list)[index].action) {
    if (QWidget* holder = HolderWidget(*m, owner)) holder->removeAction(action);
    action->deleteLater();
  }
  list->erase(list->begin() + std::ptrdiff_t(index));
  return true;
}

bool InsertMenuItemBefore(Menu menu, int beforeId, int newId, std::string_view text) {
  MenuObject* m = FindMenu(menu);
  std::vector<MenuItem>* list = nullptr;
  std::size_t index = 0;
  MenuItem* owner = nullptr;
  if (!m || !Locate(m->items, nullptr, beforeId, list, index, owner)) return false;
  MenuItem item;
  item.id = newId;
  item.text = std::string(text);
  list->insert(list->begin() + std::ptrdiff_t(index), std::move(item));
  MenuItem& added = (*list)[index];
  QPointer<QAction> before = (*list)[index + 1].action;
  if (QWidget* holder = before ? HolderWidget(*m, owner) : nullptr)
    holder->insertAction(before, MakeAction(holder, added, m->window, menu));
  return true;
}

bool HasMenuItem(Menu menu, int id) { return FindItem(menu, id) != nullptr; }

std::string GetMenuItemText(Menu menu, int id) {
  MenuItem* item = FindItem(menu, id);
  return item ? item->text : std::string();
}

bool EnableMenuBarItem(Menu menu, int position, bool enabled) {
  MenuObject* m = FindMenu(menu);
  if (!m || position < 0 || position >= int(m->items.size())) return false;
  m->items[std::size_t(position)].enabled = enabled;
  ShowState(m->items[std::size_t(position)]);
  return true;
}

bool IsMenuBarItemEnabled(Menu menu, int position) {
  MenuObject* m = FindMenu(menu);
  return m && position >= 0 && position < int(m->items.size()) && m->items[std::size_t(position)].enabled;
}

int MenuBarItemCount(Menu menu) {
  MenuObject* m = FindMenu(menu);
  return m ? int(m->items.size()) : 0;
}

void RedrawMenuBar(Window window) {
  if (WindowObject* w = FindWindow(window); w && w->menuBar) w->menuBar->update();
}

namespace test {

bool ChooseMenuItem(Window window, int id) {
  WindowObject* w = FindWindow(window);
  if (!w || !w->menuBar) return false;
  QAction* action = FindAction(w->menuBar->actions(), id, false);
  if (!action || !action->isEnabled()) return false;
  action->trigger();
  return true;
}

bool OpenMenuPopup(Window window, int position) {
  WindowObject* w = FindWindow(window);
  if (!w || !w->menuBar || position < 0 || position >= w->menuBar->actions().size()) return false;
  QAction* popup = w->menuBar->actions()[position];
  if (!popup->menu() || !popup->isEnabled()) return false;
  w->menuBar->setActiveAction(popup);
  return popup->menu()->isVisible();
}

void CloseMenus() {
  while (QWidget* popup = QApplication::activePopupWidget()) popup->close();
}

ShownMenuItem ShownItem(Window window, int id) {
  WindowObject* w = FindWindow(window);
  bool reachable = true;
  QAction* action = w && w->menuBar ? FindAction(w->menuBar->actions(), id, true, &reachable) : nullptr;
  if (!action) return {};
  bool popupOpen = false;
  for (QObject* holder : action->associatedObjects())
    if (auto* menu = qobject_cast<QMenu*>(holder)) popupOpen = popupOpen || menu->isVisible();
  return {true, action->isChecked(), action->isEnabled() && reachable, popupOpen};
}

int MenuObjectCount(Window window) {
  WindowObject* w = FindWindow(window);
  if (!w || !w->menuBar) return 0;
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  return int(w->menuBar->findChildren<QObject*>().size());
}

}  // namespace test
}  // namespace platform
