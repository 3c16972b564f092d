#include <QApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

#include "platform/internal.h"
#include "platform/keys_internal.h"
#include "platform/message_box.h"
#include "platform/queue_internal.h"
#include "platform/test_seams.h"
#include "platform/window_internal.h"

namespace platform {
namespace {
test::MessageBoxScript* gBoxScript = nullptr;  // answers boxes while a test's script lives
}  // namespace

namespace test {

MessageBoxScript::MessageBoxScript() { gBoxScript = this; }
MessageBoxScript::~MessageBoxScript() {
  if (gBoxScript == this) gBoxScript = nullptr;
}
void MessageBoxScript::Answer(int answer) { answers_.push_back(answer); }

int AnswerScripted(Window owner, std::string_view text, std::optional<std::string_view> caption, unsigned flags) {
  MessageBoxScript& script = *gBoxScript;
  RecordedBox box{std::string(text), caption ? std::optional<std::string>(std::string(*caption)) : std::nullopt, flags,
                  owner};
  script.boxes_.push_back(std::move(box));
  return script.next_ < script.answers_.size() ? script.answers_[script.next_++] : kAnswerOk;
}

bool PressKeyInModal(unsigned virtualKey) {
  QWidget* modal = QApplication::activeModalWidget();
  int key = detail::QtKeyOf(virtualKey);
  if (!modal || !key) return false;
  QWidget* target = modal->focusWidget() ? modal->focusWidget() : modal;
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &release);
  return true;
}

bool CloseModal() {
  QWidget* modal = QApplication::activeModalWidget();
  return modal && modal->close();
}

std::string ModalText() {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  return box ? detail::FromQt(box->text()) : std::string();
}

std::string ModalCaption() {
  QWidget* modal = QApplication::activeModalWidget();
  return modal ? detail::FromQt(modal->windowTitle()) : std::string();
}

std::string ModalShownCaption() {
  QWidget* modal = QApplication::activeModalWidget();
  return modal ? detail::FromQt(detail::ShownCaption(modal->windowTitle(), modal->width())) : std::string();
}

}  // namespace test

int MessageBox(Window owner, std::string_view text, std::optional<std::string_view> caption, unsigned flags) {
  using namespace detail;
  if (gBoxScript) return test::AnswerScripted(owner, text, caption, flags);

  WindowObject* w = FindWindow(owner);
  QMessageBox box(w ? w->frame->window() : nullptr);
  box.setWindowTitle(caption ? ToQt(*caption) : QStringLiteral("Error"));
  box.setText(ToQt(text));
  switch (flags & kBoxIconMask) {
    case kBoxIconStop: box.setIcon(QMessageBox::Critical); break;
    case kBoxIconExclamation: box.setIcon(QMessageBox::Warning); break;
    default: break;
  }
  QMessageBox::StandardButton defaultButton = QMessageBox::Ok, escapeButton = QMessageBox::Ok;
  switch (flags & kBoxButtonMask) {
    case kBoxOkCancel:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      defaultButton = flags & kBoxDefaultButton2 ? QMessageBox::Cancel : QMessageBox::Ok;
      escapeButton = QMessageBox::Cancel;
      break;
    case kBoxYesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      defaultButton = flags & kBoxDefaultButton2 ? QMessageBox::No : QMessageBox::Yes;
      escapeButton = QMessageBox::Cancel;
      break;
    default: box.setStandardButtons(QMessageBox::Ok); break;
  }
  // The box is as wide as its text and buttons need, and as its caption
  // needs to show whole.
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
    const QMargins margins = grid->contentsMargins();
    const int width = CaptionWidth(box.windowTitle()) - margins.left() - margins.right();
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Fixed, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                  grid->columnCount());
  }
  box.setDefaultButton(defaultButton);
  box.setEscapeButton(escapeButton);
  box.setWindowModality(w && !(flags & kBoxSystemModal) ? Qt::WindowModal : Qt::ApplicationModal);
  box.show();
  // The layer's queue runs meanwhile; a quit closes the box as Escape would.
  if (!RunModalLoop([&] { return !box.isVisible(); })) {
    box.hide();
    return escapeButton == QMessageBox::Cancel ? kAnswerCancel : kAnswerOk;
  }
  switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Cancel: return kAnswerCancel;
    case QMessageBox::Yes: return kAnswerYes;
    case QMessageBox::No: return kAnswerNo;
    case QMessageBox::Ok: return kAnswerOk;
    default: return escapeButton == QMessageBox::Cancel ? kAnswerCancel : kAnswerOk;
  }
}

}  // namespace platform
