// The controls of dialogs, addressed by dialog and id: texts, numbers,
// buttons, edit fields, lists and combo boxes, colours. Changes made here
// are silent: only the user's own actions notify the dialog.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <cctype>
#include <charconv>
#include <cmath>

#include "platform/dialog.h"
#include "platform/dialog_internal.h"
#include "platform/internal.h"
#include "platform/window_internal.h"

namespace platform {
namespace detail {
namespace {

WindowObject* Item(Window dialog, int id) {
  WindowObject* d = FindWindow(dialog);
  if (!d || d->kind != WindowKind::kDialog) return nullptr;
  for (Window control : d->dialog->controls)
    if (WindowObject* w = FindWindow(control); w && w->id == id) return w;
  return nullptr;
}

template <class T>
T* ItemWidget(Window dialog, int id) {
  WindowObject* w = Item(dialog, id);
  return w ? qobject_cast<T*>(InnerWidget(*w)) : nullptr;
}

bool SameIgnoringCase(QStringView a, QStringView b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// A list box's entries with '\t' columns at the stops (pixels from the left).
class TabStopDelegate : public QStyledItemDelegate {
 public:
  TabStopDelegate(std::vector<int> stops, QObject* parent) : QStyledItemDelegate(parent), stops_(std::move(stops)) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    const QString text = background.text;
    background.text.clear();
    QStyle* style = background.widget ? background.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, background.widget);
    painter->save();
    painter->setPen(
        background.palette.color(option.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
    const QStringList columns = text.split(u'\t');
    for (qsizetype i = 0; i < columns.size(); ++i) {
      int left = option.rect.left() + 2 +
                 (i == 0                             ? 0
                  : i - 1 < qsizetype(stops_.size()) ? stops_[std::size_t(i - 1)]
                                                     : stops_.back());
      painter->drawText(QRect(left, option.rect.top(), option.rect.right() - left, option.rect.height()),
                        Qt::AlignLeft | Qt::AlignVCenter, columns[i]);
    }
    painter->restore();
  }

 private:
  std::vector<int> stops_;
};

// Where a new entry goes in a sorted list: before the first entry that
// comes after it, without regard to case.
template <class CountFn, class TextFn>
int SortedPlace(const QString& text, CountFn count, TextFn textAt) {
  int n = count();
  for (int i = 0; i < n; ++i)
    if (text.compare(textAt(i), Qt::CaseInsensitive) < 0) return i;
  return n;
}

}  // namespace

bool SetControlText(WindowObject& w, std::string_view text) {
  QString t = ToQt(text);
  if (w.button) {
    w.button->setText(t);
    return true;
  }
  if (auto* label = qobject_cast<QLabel*>(w.control)) label->setText(t);
  else if (auto* edit = qobject_cast<QLineEdit*>(w.control)) edit->setText(t);  // clears the modified flag
  else if (auto* text_ = qobject_cast<QPlainTextEdit*>(w.control)) {
    QSignalBlocker quiet(text_);
    text_->setPlainText(w.editLimit > 0 ? t.left(w.editLimit) : t);
    text_->document()->setModified(false);
  } else if (auto* button = qobject_cast<QAbstractButton*>(w.control)) button->setText(t);
  else if (auto* box = qobject_cast<QGroupBox*>(w.control)) box->setTitle(t);
  else if (auto* combo = qobject_cast<QComboBox*>(w.control)) {
    QSignalBlocker quiet(combo);
    if (combo->isEditable()) combo->setEditText(t);
    else combo->setCurrentIndex(combo->findText(t));
  } else {
    return false;
  }
  return true;
}

std::string ControlText(const WindowObject& w) {
  if (auto* edit = qobject_cast<QLineEdit*>(w.control)) return FromQt(edit->text());
  if (auto* text = qobject_cast<QPlainTextEdit*>(w.control)) return FromQt(text->toPlainText());
  if (auto* combo = qobject_cast<QComboBox*>(w.control)) return FromQt(combo->currentText());
  return w.text;
}

}  // namespace detail

using namespace detail;

Window GetDialogItem(Window dialog, int id) {
  WindowObject* w = Item(dialog, id);
  return w ? w->handle : Window::kNone;
}

bool SetDialogItemText(Window dialog, int id, std::string_view text) {
  WindowObject* w = Item(dialog, id);
  if (!w) return false;
  SetWindowText(w->handle, text);
  return true;
}

std::string GetDialogItemText(Window dialog, int id) {
  WindowObject* w = Item(dialog, id);
  return w ? GetWindowText(w->handle) : std::string();
}

bool SetDialogItemInt(Window dialog, int id, long value) {
  return SetDialogItemText(dialog, id, std::to_string(value));
}

long GetDialogItemInt(Window dialog, int id, bool* ok, bool isSigned) {
  if (ok) *ok = false;
  if (!Item(dialog, id)) return 0;
  std::string text = GetDialogItemText(dialog, id);
  std::size_t begin = text.find_first_not_of(" \t"), end = text.find_last_not_of(" \t");
  if (begin == std::string::npos) return 0;
  std::string_view number(text.data() + begin, end - begin + 1);
  if (!isSigned && !number.empty() && (number[0] == '-' || number[0] == '+')) return 0;
  if (!number.empty() && number[0] == '+') number.remove_prefix(1);
  long value = 0;
  auto [stop, fault] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (fault != std::errc() || stop != number.data() + number.size()) return 0;
  if (ok) *ok = true;
  return value;
}

bool CheckDialogButton(Window dialog, int id, bool checked) {
  WindowObject* w = Item(dialog, id);
  auto* button = w ? qobject_cast<QAbstractButton*>(w->control) : nullptr;
  if (!button || !button->isCheckable()) return false;
  QSignalBlocker quiet(button);
  button->setChecked(checked);
  return true;
}

bool IsDialogButtonChecked(Window dialog, int id) {
  WindowObject* w = Item(dialog, id);
  auto* button = w ? qobject_cast<QAbstractButton*>(w->control) : nullptr;
  return button && button->isChecked();
}

bool CheckRadioButton(Window dialog, int firstId, int lastId, int checkId) {
  bool found = false;
  for (int id = firstId; id <= lastId; ++id) {
    WindowObject* w = Item(dialog, id);
    auto* radio = w ? qobject_cast<QRadioButton*>(w->control) : nullptr;
    if (!radio) continue;
    QSignalBlocker quiet(radio);
    radio->setChecked(id == checkId);
    found = found || id == checkId;
  }
  return found;
}

int GetCheckedRadioButton(Window dialog, int firstId, int lastId) {
  for (int id = firstId; id <= lastId; ++id) {
    WindowObject* w = Item(dialog, id);
    auto* radio = w ? qobject_cast<QRadioButton*>(w->control) : nullptr;
    if (radio && radio->isChecked()) return id;
  }
  return 0;
}

bool SetDefaultButton(Window dialog, int id) {
  WindowObject* w = Item(dialog, id);
  if (!w || !w->button) return false;
  WindowObject* d = FindWindow(dialog);
  if (WindowObject* old = Item(dialog, d->dialog->defaultId); old && old->button) old->button->setDefault(false);
  w->button->setDefault(true);
  d->dialog->defaultId = id;
  return true;
}

bool SetEditLimit(Window dialog, int id, int maxCharacters) {
  WindowObject* w = Item(dialog, id);
  if (!w || w->kind != WindowKind::kEdit || maxCharacters < 0) return false;
  w->editLimit = maxCharacters;
  if (auto* edit = qobject_cast<QLineEdit*>(w->control)) edit->setMaxLength(maxCharacters > 0 ? maxCharacters : 32767);
  return true;
}

bool SetEditReadOnly(Window dialog, int id, bool readOnly) {
  if (auto* edit = ItemWidget<QLineEdit>(dialog, id)) edit->setReadOnly(readOnly);
  else if (auto* text = ItemWidget<QPlainTextEdit>(dialog, id)) text->setReadOnly(readOnly);
  else return false;
  return true;
}

bool IsEditModified(Window dialog, int id) {
  if (auto* edit = ItemWidget<QLineEdit>(dialog, id)) return edit->isModified();
  if (auto* text = ItemWidget<QPlainTextEdit>(dialog, id)) return text->document()->isModified();
  return false;
}

bool SetEditModified(Window dialog, int id, bool modified) {
  if (auto* edit = ItemWidget<QLineEdit>(dialog, id)) edit->setModified(modified);
  else if (auto* text = ItemWidget<QPlainTextEdit>(dialog, id)) text->document()->setModified(modified);
  else return false;
  return true;
}

bool SetEditSelection(Window dialog, int id, int start, int end) {
  if (auto* edit = ItemWidget<QLineEdit>(dialog, id)) {
    int length = int(edit->text().size());
    int from = start < 0 ? length : std::min(start, length);
    int to = end < 0 ? length : std::clamp(end, from, length);
    edit->setSelection(from, to - from);
    return true;
  }
  if (auto* text = ItemWidget<QPlainTextEdit>(dialog, id)) {
    QTextCursor cursor = text->textCursor();
    int length = int(text->toPlainText().size());
    cursor.setPosition(start < 0 ? length : std::min(start, length));
    cursor.setPosition(end < 0 ? length : std::clamp(end, 0, length), QTextCursor::KeepAnchor);
    text->setTextCursor(cursor);
    return true;
  }
  return false;
}

int AddListItem(Window dialog, int id, std::string_view text) {
  QString t = ToQt(text);
  if (auto* list = ItemWidget<QListWidget>(dialog, id)) {
    QSignalBlocker quiet(list);
    int at = list->property("sorted").toBool()
                 ? SortedPlace(
                       t, [&] { return list->count(); }, [&](int i) { return list->item(i)->text(); })
                 : list->count();
    list->insertItem(at, t);
    return at;
  }
  if (auto* combo = ItemWidget<QComboBox>(dialog, id)) {
    QSignalBlocker quiet(combo);
    int at = combo->property("sorted").toBool()
                 ? SortedPlace(
                       t, [&] { return combo->count(); }, [&](int i) { return combo->itemText(i); })
                 : combo->count();
    combo->insertItem(at, t);
    if (!combo->isEditable() && combo->currentIndex() != -1 && combo->count() == 1) combo->setCurrentIndex(-1);
    return at;
  }
  return -1;
}

int InsertListItem(Window dialog, int id, int index, std::string_view text) {
  int count = GetListCount(dialog, id);
  if (count < 0 || index > count || index < -1) return -1;
  int at = index == -1 ? count : index;
  if (auto* list = ItemWidget<QListWidget>(dialog, id)) {
    QSignalBlocker quiet(list);
    list->insertItem(at, ToQt(text));
  } else if (auto* combo = ItemWidget<QComboBox>(dialog, id)) {
    QSignalBlocker quiet(combo);
    combo->insertItem(at, ToQt(text));
  }
  return at;
}

int DeleteListItem(Window dialog, int id, int index) {
  int count = GetListCount(dialog, id);
  if (index < 0 || index >= count) return -1;
  if (auto* list = ItemWidget<QListWidget>(dialog, id)) {
    QSignalBlocker quiet(list);
    delete list->takeItem(index);
  } else if (auto* combo = ItemWidget<QComboBox>(dialog, id)) {
    QSignalBlocker quiet(combo);
    combo->removeItem(index);
  }
  return count - 1;
}

bool ResetList(Window dialog, int id) {
  if (auto* list = ItemWidget<QListWidget>(dialog, id)) {
    QSignalBlocker quiet(list);
    list->clear();
  } else if (auto* combo = ItemWidget<QComboBox>(dialog, id)) {
    QSignalBlocker quiet(combo);
    combo->clear();
  } else {
    return false;
  }
  return true;
}

int GetListCount(Window dialog, int id) {
  if (auto* list = ItemWidget<QListWidget>(dialog, id)) return list->count();
  if (auto* combo = ItemWidget<QComboBox>(dialog, id)) return combo->count();
  return -1;
}

std::string GetListItemText(Window dialog, int id, int index) {
  if (index < 0 || index >= GetListCount(dialog, id)) return {};
  if (auto* list = ItemWidget<QListWidget>(dialog, id)) return FromQt(list->item(index)->text());
  if (auto* combo = ItemWidget<QComboBox>(dialog, id)) return FromQt(combo->itemText(index));
  return {};
}

bool SetListSelection(Window dialog, int id, int index) {
  int count = GetListCount(dialog, id);
  if (count < 0 || index < -1 || index >= count) return false;
  if (auto* list = ItemWidget<QListWidget>(dialog, id)) {
    QSignalBlocker quiet(list);
    list->setCurrentRow(index);
    if (index == -1) list->clearSelection();
  } else if (auto* combo = ItemWidget<QComboBox>(dialog, id)) {
    QSignalBlocker quiet(combo);
    combo->setCurrentIndex(index);
  }
  return true;
}

int GetListSelection(Window dialog, int id) {
  if (auto* list = ItemWidget<QListWidget>(dialog, id))
    return list->selectedItems().isEmpty() ? -1 : list->currentRow();
  if (auto* combo = ItemWidget<QComboBox>(dialog, id)) return combo->currentIndex();
  return -1;
}

int SelectListItem(Window dialog, int id, int startAfter, std::string_view prefix) {
  int count = GetListCount(dialog, id);
  if (count <= 0) return -1;
  QString wanted = ToQt(prefix);
  int from = startAfter < 0 || startAfter >= count ? 0 : startAfter + 1;
  for (int step = 0; step < count; ++step) {
    int i = (from + step) % count;
    QString entry = ToQt(GetListItemText(dialog, id, i));
    if (SameIgnoringCase(QStringView(entry).left(wanted.size()), wanted)) {
      SetListSelection(dialog, id, i);
      return i;
    }
  }
  return -1;
}

bool SetListTabStops(Window dialog, int id, const std::vector<int>& stops) {
  auto* list = ItemWidget<QListWidget>(dialog, id);
  WindowObject* d = FindWindow(dialog);
  if (!list || stops.empty()) return false;
  std::vector<int> pixels;
  for (int stop : stops) pixels.push_back(int(std::lround(stop * d->dialog->unitX)));
  delete list->itemDelegate();
  list->setItemDelegate(new TabStopDelegate(std::move(pixels), list));
  return true;
}

bool SetControlColours(Window control, Colour text, Colour background) {
  WindowObject* w = FindWindow(control);
  QWidget* widget = w ? InnerWidget(*w) : nullptr;
  if (!widget || w->kind == WindowKind::kFramework || w->kind == WindowKind::kDialog) return false;
  QPalette palette = widget->palette();
  QColor ink = QColor::fromRgb(ToPixel(text)), paper = QColor::fromRgb(ToPixel(background));
  for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) palette.setColor(role, ink);
  for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button}) palette.setColor(role, paper);
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
  return true;
}

bool SetControlFontWeight(Window control, bool bold) {
  WindowObject* w = FindWindow(control);
  QWidget* widget = w ? InnerWidget(*w) : nullptr;
  if (!widget || w->kind == WindowKind::kFramework || w->kind == WindowKind::kDialog) return false;
  QFont font = widget->font();
  font.setBold(bold);
  widget->setFont(font);
  return true;
}

}  // namespace platform
