// The seams that act as the user of a dialog (test_seams.h: DialogScript).
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>

#include "platform/dialog.h"
#include "platform/dialog_internal.h"
#include "platform/internal.h"
#include "platform/queue_internal.h"
#include "platform/test_seams.h"
#include "platform/window_internal.h"

namespace platform::test {

using namespace detail;

namespace {

DialogScript* gScript = nullptr;

QWidget* WidgetOf(Window dialog, int id) {
  WindowObject* w = FindWindow(GetDialogItem(dialog, id));
  return w ? InnerWidget(*w) : nullptr;
}

void SendMouseTo(QWidget* widget, QEvent::Type type, QPoint at) {
  Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), Qt::LeftButton, held, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &event);
}

}  // namespace

struct DialogScriptAccess {
  // Runs the actions waiting for this template, then watches that a modal
  // dialog does not stay open with nobody to act on it.
  static void Made(Window dialog, const std::string& templateName) {
    if (!gScript) return;
    gScript->opened_.push_back(templateName);
    auto& waiting = gScript->actions_;
    auto it =
        std::find_if(waiting.begin(), waiting.end(), [&](const auto& entry) { return entry.first == templateName; });
    if (it == waiting.end()) return;
    auto actions = std::move(it->second);
    waiting.erase(it);
    Queue().idleTasks.push_back([dialog, actions] {
      if (!IsWindow(dialog)) return;
      DialogUser user(dialog);
      actions(user);
      Queue().idleTasks.push_back([dialog] {
        WindowObject* w = FindWindow(dialog);
        if (!gScript || !w || !w->dialog->modal || w->dialog->ended || Queue().idleHook) return;
        ++gScript->leftOpen_;
        EndDialog(dialog, 0);
      });
    });
  }
};

DialogScript::DialogScript() {
  gScript = this;
  InstallDialogMadeHook(DialogScriptAccess::Made);
}

DialogScript::~DialogScript() {
  if (gScript != this) return;
  gScript = nullptr;
  InstallDialogMadeHook(nullptr);
}

void DialogScript::On(std::string templateName, std::function<void(DialogUser&)> actions) {
  actions_.emplace_back(std::move(templateName), std::move(actions));
}

std::string DialogUser::Caption() const { return GetWindowText(dialog_); }
std::string DialogUser::ShownCaption() const {
  WindowObject* w = FindWindow(dialog_);
  return w ? FromQt(detail::ShownCaption(w->frame->windowTitle(), w->frame->width())) : std::string();
}
std::string DialogUser::Text(int id) const { return GetDialogItemText(dialog_, id); }
bool DialogUser::IsChecked(int id) const { return IsDialogButtonChecked(dialog_, id); }
bool DialogUser::IsEnabled(int id) const { return IsWindowEnabled(GetDialogItem(dialog_, id)); }
bool DialogUser::IsVisible(int id) const { return IsWindowVisible(GetDialogItem(dialog_, id)); }
bool DialogUser::IsBold(int id) const {
  const QWidget* widget = WidgetOf(dialog_, id);
  return widget && widget->font().bold();
}
bool DialogUser::HasFocus(int id) const { return GetFocus() == GetDialogItem(dialog_, id); }
int DialogUser::Selection(int id) const { return GetListSelection(dialog_, id); }

std::vector<std::string> DialogUser::Items(int id) const {
  std::vector<std::string> items;
  for (int i = 0; i < GetListCount(dialog_, id); ++i) items.push_back(GetListItemText(dialog_, id, i));
  return items;
}

void DialogUser::Type(int id, std::string_view text) {
  QWidget* widget = WidgetOf(dialog_, id);
  if (auto* combo = qobject_cast<QComboBox*>(widget)) widget = combo->lineEdit();
  if (!widget) return;
  widget->setFocus(Qt::MouseFocusReason);
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) edit->selectAll();
  if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) edit->selectAll();
  for (QChar c : ToQt(text)) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QCoreApplication::sendEvent(widget, &press);
  }
}

void DialogUser::Press(int id) {
  QWidget* widget = WidgetOf(dialog_, id);
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->click();
  } else if (widget) {  // an owner-drawn button
    SendMouseTo(widget, QEvent::MouseButtonPress, QPoint(1, 1));
    SendMouseTo(widget, QEvent::MouseButtonRelease, QPoint(1, 1));
  }
}

void DialogUser::Choose(int id, int index) {
  QWidget* widget = WidgetOf(dialog_, id);
  if (auto* list = qobject_cast<QListWidget*>(widget)) {
    list->setFocus(Qt::MouseFocusReason);
    list->setCurrentRow(index);
  } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    combo->setFocus(Qt::MouseFocusReason);
    combo->setCurrentIndex(index);
    emit combo->activated(index);
  }
}

void DialogUser::DoubleClick(int id, int index) {
  auto* list = qobject_cast<QListWidget*>(WidgetOf(dialog_, id));
  if (!list || index < 0 || index >= list->count()) return;
  QPoint at = list->visualItemRect(list->item(index)).center();
  QWidget* viewport = list->viewport();
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonPress,
                            QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease})
    SendMouseTo(viewport, type, at);
}

void DialogUser::Key(unsigned virtualKey, WParam modifiers) { KeyPress(virtualKey, modifiers); }

void DialogUser::Close() { RequestClose(dialog_); }

}  // namespace platform::test
