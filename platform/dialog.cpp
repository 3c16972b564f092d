// Dialogs from templates: making the dialog and its controls, the modal
// loop, the dialog keys and the hand-over of messages in a program's loop.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

#include "platform/dialog.h"
#include "platform/dialog_internal.h"
#include "platform/internal.h"
#include "platform/queue_internal.h"
#include "platform/window_internal.h"

namespace platform {
namespace detail {
namespace {

constexpr Colour kDialogBackground = 0xC0C0C0;

// The dialogs whose procedures are handling kInitDialog now, innermost last.
std::vector<Window>& Initialising() {
  static std::vector<Window> dialogs;
  return dialogs;
}

// Seams that act on a dialog once it is made (dialog_seams.cpp).
void (*gDialogMade)(Window dialog, const std::string& templateName) = nullptr;

DialogData* DataOf(Window dialog) {
  WindowObject* w = FindWindow(dialog);
  return w && w->kind == WindowKind::kDialog ? w->dialog.get() : nullptr;
}

// Pixels per dialog unit of the dialog font: a quarter of its average
// character width, an eighth of its height.
void DialogUnits(DialogData& data) {
  QFontMetricsF metrics(QApplication::font());
  const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  double averageWidth = metrics.horizontalAdvance(letters) / letters.size();
  data.unitX = std::round(averageWidth) / 4.0;
  data.unitY = std::round(metrics.height()) / 8.0;
}

int Pixels(int units, double perUnit) { return int(std::lround(units * perUnit)); }

bool TakesFocus(QWidget* widget) {
  return widget && widget->isEnabled() && widget->isVisible() && (widget->focusPolicy() & Qt::TabFocus);
}

// A field the dialog itself gives the focus (the first one, or by Tab)
// shows its text selected, so that what the user types replaces it.
void SelectFieldText(QWidget* widget) {
  if (auto* combo = qobject_cast<QComboBox*>(widget)) widget = combo->lineEdit();
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) edit->selectAll();
  if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) edit->selectAll();
}

// Posts what a control did to its dialog.
void Notify(Window dialog, int id, unsigned notification, Window control) {
  PostMessage(dialog, msg::kCommand, CommandParam(id, notification), WindowParam(control));
}

void PressButton(Window dialog, int id) {
  WindowObject* button = FindWindow(GetDialogItem(dialog, id));
  Notify(dialog, id, kNotifyClicked, button ? button->handle : Window::kNone);
}

// An auto radio button: checked on a click, the others of its group cleared.
void CheckInGroup(WindowObject& radio) {
  for (Window sibling : DataOf(radio.parent)->controls) {
    WindowObject* other = FindWindow(sibling);
    if (!other || other->kind != WindowKind::kRadioButton || other->radioGroup != radio.radioGroup) continue;
    auto* button = static_cast<QRadioButton*>(other->control);
    QSignalBlocker quiet(button);
    button->setChecked(other == &radio);
  }
}

void MakeControl(WindowObject& dialog, const ControlTemplate& c, int radioGroup) {
  const DialogData& data = *dialog.dialog;
  Window owner = dialog.handle;
  WindowObject* w = NewWindowObject(owner, kStyleChild | kStyleVisible, c.id);
  Window handle = w->handle;
  int id = c.id;
  w->proc = ControlProc;
  w->text = c.text;
  w->frame = new FrameWidget(handle, dialog.view);
  QString text = ToQt(c.text);
  Qt::Alignment align = c.align == Align::kCentre  ? Qt::AlignHCenter
                        : c.align == Align::kRight ? Qt::AlignRight
                                                   : Qt::AlignLeft;
  switch (c.type) {
    case ControlType::kLabel: {
      w->kind = WindowKind::kLabel;
      auto* label = new QLabel(text, w->frame);
      label->setAlignment(align | Qt::AlignVCenter);
      if (c.border) label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
      w->control = label;
      break;
    }
    case ControlType::kEdit:
      w->kind = WindowKind::kEdit;
      w->editLimit = c.limit;
      if (c.multiline) {
        auto* edit = new QPlainTextEdit(text, w->frame);
        edit->setReadOnly(c.readOnly);
        edit->setTabChangesFocus(true);
        QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [=] {
          WindowObject* self = FindWindow(handle);
          if (self && self->editLimit > 0 && edit->toPlainText().size() > self->editLimit) {
            QSignalBlocker quiet(edit);
            edit->setPlainText(edit->toPlainText().left(self->editLimit));
            edit->moveCursor(QTextCursor::End);
          }
          Notify(owner, id, kNotifyEditChange, handle);
        });
        w->control = edit;
      } else {
        auto* edit = new QLineEdit(text, w->frame);
        edit->setAlignment(align);
        edit->setReadOnly(c.readOnly);
        if (c.limit > 0) edit->setMaxLength(c.limit);
        if (c.password) edit->setEchoMode(QLineEdit::Password);
        QObject::connect(edit, &QLineEdit::textEdited, edit, [=] { Notify(owner, id, kNotifyEditChange, handle); });
        w->control = edit;
      }
      break;
    case ControlType::kButton: {
      w->kind = WindowKind::kPushButton;
      auto* button = new QPushButton(text, w->frame);
      button->setAutoDefault(true);  // Enter presses the button that has the focus
      button->setDefault(c.isDefault);
      QObject::connect(button, &QPushButton::clicked, button, [=] { Notify(owner, id, kNotifyClicked, handle); });
      w->button = button;
      break;
    }
    case ControlType::kCheck: {
      w->kind = WindowKind::kCheckBox;
      auto* box = new QCheckBox(text, w->frame);
      QObject::connect(box, &QCheckBox::clicked, box, [=] { Notify(owner, id, kNotifyClicked, handle); });
      w->control = box;
      break;
    }
    case ControlType::kRadio: {
      w->kind = WindowKind::kRadioButton;
      w->radioGroup = radioGroup;
      auto* radio = new QRadioButton(text, w->frame);
      radio->setAutoExclusive(false);  // groups are the template's, not the toolkit's
      QObject::connect(radio, &QRadioButton::clicked, radio, [=] {
        if (WindowObject* self = FindWindow(handle)) CheckInGroup(*self);
        Notify(owner, id, kNotifyClicked, handle);
      });
      w->control = radio;
      break;
    }
    case ControlType::kGroupBox:
      w->kind = WindowKind::kGroupBox;
      w->control = new QGroupBox(text, w->frame);
      break;
    case ControlType::kList: {
      w->kind = WindowKind::kListBox;
      auto* list = new QListWidget(w->frame);
      list->setSortingEnabled(false);
      QObject::connect(list, &QListWidget::currentRowChanged, list,
                       [=] { Notify(owner, id, kNotifySelectionChange, handle); });
      QObject::connect(list, &QListWidget::itemDoubleClicked, list,
                       [=] { Notify(owner, id, kNotifyDoubleClick, handle); });
      list->setProperty("sorted", c.sort);
      w->control = list;
      break;
    }
    case ControlType::kCombo: {
      w->kind = WindowKind::kComboBox;
      auto* combo = new QComboBox(w->frame);
      combo->setEditable(c.editable);
      combo->setInsertPolicy(QComboBox::NoInsert);
      combo->setProperty("sorted", c.sort);
      QObject::connect(combo, &QComboBox::activated, combo, [=] { Notify(owner, id, kNotifySelectionChange, handle); });
      if (c.editable)
        QObject::connect(combo, &QComboBox::editTextChanged, combo,
                         [=] { Notify(owner, id, kNotifyEditChange, handle); });
      w->control = combo;
      break;
    }
    case ControlType::kHorizontalScroll:
    case ControlType::kVerticalScroll: {
      bool horizontal = c.type == ControlType::kHorizontalScroll;
      w->kind = WindowKind::kScrollBar;
      w->controlBar = new QScrollBar(horizontal ? Qt::Horizontal : Qt::Vertical, w->frame);
      ConnectScrollBar(w->controlBar, owner, horizontal, handle);
      break;
    }
    case ControlType::kOwnerDraw:
      w->kind = WindowKind::kOwnerDrawButton;
      w->background = kDialogBackground;
      w->view = new SurfaceView(handle, w->frame);
      break;
  }
  int height = Pixels(c.height, data.unitY);
  // A combo box's height is that of its dropped list; the box is one line.
  if (c.type == ControlType::kCombo) height = std::min(height, w->control->sizeHint().height());
  w->frame->setGeometry(Pixels(c.x, data.unitX), Pixels(c.y, data.unitY), Pixels(c.width, data.unitX), height);
  w->frame->Layout();
  w->frame->setEnabled(!c.disabled);
  w->frame->setVisible(!c.hidden);
  if (c.type == ControlType::kGroupBox) w->frame->lower();  // a frame behind the controls it groups
  dialog.dialog->controls.push_back(handle);
  // The stops find the list among the dialog's controls.
  if (c.type == ControlType::kList && !c.tabs.empty()) SetListTabStops(owner, id, c.tabs);
  if (c.isDefault) dialog.dialog->defaultId = id;
  if (c.isCancel) dialog.dialog->cancelId = id;
}

// Where a top-level dialog goes: at its place in the owner's client area,
// else centred on the owner (or the screen).
QPoint DialogPosition(const DialogTemplate& t, const DialogData& data, WindowObject* owner, QSize size) {
  QWidget* ownerView = owner ? InnerWidget(*owner) : nullptr;
  if (t.positioned && ownerView)
    return ownerView->mapToGlobal(QPoint(Pixels(t.x, data.unitX), Pixels(t.y, data.unitY)));
  QRect around =
      owner ? owner->frame->window()->frameGeometry()
            : (QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry() : QRect());
  return around.center() - QPoint(size.width() / 2, size.height() / 2);
}

// Makes the dialog, initialises it and shows it. Returns none when it
// cannot be made; a dialog whose procedure destroyed it during its
// initialisation is none too.
Window MakeDialog(Instance instance, std::string_view name, Window owner, WindowProc proc, LParam param, bool modal,
                  std::shared_ptr<DialogData>& data) {
  QFile file(ResourcePath(instance, "dialogs", name, ".dlg"));
  DialogTemplate t;
  std::string error;
  WindowObject* ownerObject = FindWindow(owner);
  if (!proc || !file.open(QIODevice::ReadOnly) || !ParseDialogTemplate(file.readAll().toStdString(), t, error))
    return Window::kNone;
  if ((t.child && !ownerObject) || (owner != Window::kNone && !ownerObject)) return Window::kNone;

  data = std::make_shared<DialogData>();
  data->templateName = std::string(name);
  data->modal = modal;
  DialogUnits(*data);
  WindowObject* w = NewWindowObject(owner, t.child ? kStyleChild : 0, 0);
  Window handle = w->handle;
  w->kind = WindowKind::kDialog;
  w->proc = proc;
  w->background = kDialogBackground;
  w->text = t.caption;
  w->dialog = data;
  QSize size(Pixels(t.width, data->unitX), Pixels(t.height, data->unitY));
  if (t.child) {
    w->frame = new FrameWidget(handle, InnerWidget(*ownerObject));
    w->frame->setGeometry(QRect(QPoint(Pixels(t.x, data->unitX), Pixels(t.y, data->unitY)), size));
  } else {
    w->frame = new FrameWidget(handle, ownerObject ? ownerObject->frame->window() : nullptr);
    Qt::WindowFlags flags =
        t.noCaption ? Qt::Tool | Qt::FramelessWindowHint : Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    w->frame->setWindowFlags(flags);
    // A tool strip beside its owner does not take the keys from it when it
    // is shown: a window manager would otherwise focus the newest window.
    if (t.noCaption) w->frame->setAttribute(Qt::WA_ShowWithoutActivating);
    w->frame->setWindowTitle(ToQt(t.caption));
    w->frame->setGeometry(QRect(DialogPosition(t, *data, ownerObject, size), size));
    data->positioned = t.positioned && ownerObject && InnerWidget(*ownerObject);
    FitDialogToCaption(*w);
  }
  w->view = new SurfaceView(handle, w->frame);
  w->frame->Layout();
  if (t.bold) {  // the controls made below take it over
    QFont font = w->frame->font();
    font.setBold(true);
    w->frame->setFont(font);
  }
  int radioGroup = 0;
  bool afterRadio = false;
  for (const ControlTemplate& c : t.controls) {
    bool radio = c.type == ControlType::kRadio;
    if (radio && (c.group || !afterRadio)) ++radioGroup;
    afterRadio = radio;
    MakeControl(*w, c, radioGroup);
  }
  if (t.controls.empty()) w->frame->Layout();

  Initialising().push_back(handle);
  SendMessage(handle, msg::kInitDialog, 0, param);
  Initialising().pop_back();
  if (!(w = FindWindow(handle))) return Window::kNone;
  if (data->ended) return handle;
  if (modal && !t.child) w->frame->setWindowModality(ownerObject ? Qt::WindowModal : Qt::ApplicationModal);
  if (!t.hidden) ShowWindow(handle, ShowMode::kShow);
  if (!data->focusGiven)
    for (Window control : data->controls)
      if (WindowObject* c = FindWindow(control); c && TakesFocus(InnerWidget(*c))) {
        // A tool strip's first control has the keys once the user clicks
        // into the strip; giving it them now would activate the strip.
        if (t.noCaption) InnerWidget(*c)->setFocus(Qt::OtherFocusReason);
        else SetFocus(control);
        SelectFieldText(InnerWidget(*c));
        break;
      }
  if (gDialogMade) gDialogMade(handle, data->templateName);
  return handle;
}

}  // namespace

Window DialogOf(Window window) {
  for (WindowObject* w = FindWindow(window); w; w = FindWindow(w->parent))
    if (w->kind == WindowKind::kDialog) return w->handle;
  return Window::kNone;
}

void NoteFocusMoved() {
  if (Initialising().empty()) return;
  if (DialogData* data = DataOf(Initialising().back())) data->focusGiven = true;
}

void MoveDialogFocus(Window dialog, bool next) {
  DialogData* data = DataOf(dialog);
  if (!data || data->controls.empty()) return;
  std::vector<Window> order = data->controls;
  if (!next) std::reverse(order.begin(), order.end());
  Window focus = GetFocus();
  auto at = std::find(order.begin(), order.end(), focus);
  std::size_t start = at == order.end() ? order.size() - 1 : std::size_t(at - order.begin());
  for (std::size_t step = 1; step <= order.size(); ++step) {
    Window candidate = order[(start + step) % order.size()];
    WindowObject* c = FindWindow(candidate);
    if (c && TakesFocus(InnerWidget(*c))) {
      InnerWidget(*c)->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
      SelectFieldText(InnerWidget(*c));
      return;
    }
  }
}

bool HandleDialogKey(Window dialog, unsigned virtualKey, bool backwards) {
  DialogData* data = DataOf(dialog);
  if (!data) return false;
  switch (virtualKey) {
    case kKeyTab: MoveDialogFocus(dialog, !backwards); return true;
    case kKeyEscape: PressButton(dialog, data->cancelId ? data->cancelId : kIdCancel); return true;
    case kKeyEnter: {
      WindowObject* button = FindWindow(GetDialogItem(dialog, data->defaultId));
      bool usable = button && button->frame->isVisible() && button->frame->isEnabled();
      PressButton(dialog, usable ? data->defaultId : kIdOk);
      return true;
    }
    default: return false;
  }
}

void InstallDialogMadeHook(void (*hook)(Window, const std::string&)) { gDialogMade = hook; }

}  // namespace detail

using namespace detail;

int DialogBox(Instance instance, std::string_view templateName, Window owner, WindowProc proc, LParam param) {
  // The keys go back where they went before, as on every desktop, also
  // where no window system hands the focus back.
  const Window focus = GetFocus();
  std::shared_ptr<DialogData> data;
  Window dialog = MakeDialog(instance, templateName, owner, proc, param, true, data);
  if (dialog == Window::kNone) return data && data->ended ? data->result : -1;
  RunModalLoop([&] { return data->ended || !IsWindow(dialog); },
               [&](const Message& message) { return IsDialogMessage(dialog, message); });
  DestroyWindow(dialog);
  // A dialog opened straight after another closed may find the focus not
  // handed back yet: the keys then go to its owner.
  if (IsWindow(focus)) SetFocus(focus);
  else if (IsWindow(owner)) SetFocus(owner);
  return data->ended ? data->result : 0;
}

bool EndDialog(Window dialog, int result) {
  DialogData* data = DataOf(dialog);
  if (!data || !data->modal) return false;
  data->ended = true;
  data->result = result;
  if (WindowObject* w = FindWindow(dialog)) w->frame->hide();
  return true;
}

Window CreateDialog(Instance instance, std::string_view templateName, Window owner, WindowProc proc, LParam param) {
  std::shared_ptr<DialogData> data;
  return MakeDialog(instance, templateName, owner, proc, param, false, data);
}

LParam DefaultDialogProc(Window dialog, unsigned kind, WParam, LParam) {
  if (kind == msg::kClose) HandleDialogKey(dialog, kKeyEscape, false);
  return 0;
}

bool IsDialogMessage(Window dialog, const Message& message) {
  if (!IsDialog(dialog) || message.window == Window::kNone || DialogOf(message.window) != dialog) return false;
  if (message.kind == msg::kKeyDown && HandleDialogKey(dialog, unsigned(message.wParam), false)) return true;
  DispatchMessage(message);
  return true;
}

bool IsDialog(Window window) { return DataOf(window) != nullptr; }

}  // namespace platform
