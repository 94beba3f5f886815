#include "gui/document_view.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <exception>
#include <optional>

#include "data/sjis_codec.h"
#include "gui/sjis_text.h"

namespace morvik {
namespace {

// The modifiers of the key event being handled, while a view handles one.
std::optional<Qt::KeyboardModifiers> current_key_modifiers;

class CurrentKeyScope {
 public:
  explicit CurrentKeyScope(Qt::KeyboardModifiers modifiers) : previous_(current_key_modifiers) {
    current_key_modifiers = modifiers;
  }
  ~CurrentKeyScope() { current_key_modifiers = previous_; }
  CurrentKeyScope(const CurrentKeyScope&) = delete;
  CurrentKeyScope& operator=(const CurrentKeyScope&) = delete;

 private:
  std::optional<Qt::KeyboardModifiers> previous_;
};

// Sets flag while it lives.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag), previous_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = previous_; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
  bool previous_;
};

bool IsUndoKey(const QKeyEvent* event) {
  return event->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Z);
}

bool IsRedoKey(const QKeyEvent* event) {
  return event->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y) ||
         event->keyCombination() ==
             QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z);
}

bool IsEnterKey(const QKeyEvent* event) {
  return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

// Keys that would change the text; refused while a long command works on
// the document.
bool ChangesText(const QKeyEvent* event) {
  if (!event->text().isEmpty() && event->text().at(0).isPrint()) return true;
  return IsEnterKey(event) || event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete ||
         event->matches(QKeySequence::Cut) || event->matches(QKeySequence::Paste) ||
         IsUndoKey(event) || IsRedoKey(event);
}

qsizetype WidgetCharCount(const QTextDocument* document) {
  return document->characterCount() - 1;  // without the final block's end
}

}  // namespace

bool IsShiftHeldForCurrentKey() {
  const Qt::KeyboardModifiers modifiers =
      current_key_modifiers.value_or(QGuiApplication::keyboardModifiers());
  return modifiers.testFlag(Qt::ShiftModifier);
}

DocumentView::DocumentView(TRichEditEx& document, DocumentViewEvents events, QMenu* popup_menu,
                           QWidget* parent)
    : QPlainTextEdit(parent),
      document_(document),
      events_(std::move(events)),
      popup_menu_(popup_menu) {
  setObjectName(QString::fromStdString(document.Name()));
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setTabChangesFocus(true);
  // The model keeps the history; the widget's own would cost seconds and
  // hundreds of megabytes on the first undo in a large file.
  setUndoRedoEnabled(false);
  setContextMenuPolicy(Qt::DefaultContextMenu);
  ReloadFromModel();
  connect(QPlainTextEdit::document(), &QTextDocument::contentsChange, this,
          &DocumentView::WidgetContentsChanged);
  connect(this, &QPlainTextEdit::cursorPositionChanged, this, &DocumentView::WidgetCursorMoved);
  connect(this, &QPlainTextEdit::selectionChanged, this, &DocumentView::WidgetCursorMoved);
  document_.AddObserver(this);
}

DocumentView::~DocumentView() {
  document_.RemoveObserver(this);
}

void DocumentView::ReloadFromModel() {
  FlagScope following(following_model_);
  setPlainText(WidgetTextOfBytes(document_.Text()));
  ShowModelSelection();
}

// --- Model to widget -----------------------------------------------------------

void DocumentView::TextReplaced(std::size_t offset, std::size_t /*removed_bytes*/,
                                std::size_t inserted_bytes, std::size_t char_position,
                                std::size_t removed_chars, std::size_t /*inserted_chars*/) {
  if (reporting_edit_) return;  // the widget holds this edit already
  QTextDocument* text = QPlainTextEdit::document();
  const auto widget_chars = static_cast<std::size_t>(WidgetCharCount(text));
  if (char_position == 0 && removed_chars >= widget_chars) {
    ReloadFromModel();  // a whole new text (open, sort): one fast load
    return;
  }
  {
    FlagScope following(following_model_);
    QTextCursor cursor(text);
    cursor.setPosition(static_cast<int>(char_position));
    cursor.setPosition(static_cast<int>(char_position + removed_chars), QTextCursor::KeepAnchor);
    cursor.insertText(WidgetTextOfBytes(document_.TextRange(offset, inserted_bytes)));
  }
  // A break that the edit joined or split (a CR meeting an LF) can count
  // differently here; the model is the truth.
  if (static_cast<std::size_t>(WidgetCharCount(text)) != document_.CharCount()) {
    ReloadFromModel();
    return;
  }
  ShowModelSelection();
}

void DocumentView::SelectionChanged() {
  if (!reporting_edit_) ShowModelSelection();
}

void DocumentView::ShowModelSelection() {
  if (static_cast<std::size_t>(WidgetCharCount(QPlainTextEdit::document())) !=
      document_.CharCount()) {
    return;  // a reload is on its way
  }
  const std::size_t start = document_.SelStart();
  const auto anchor = static_cast<int>(document_.CharPositionOfOffset(start));
  const auto position =
      static_cast<int>(document_.CharPositionOfOffset(start + document_.SelLength()));
  QTextCursor cursor = textCursor();
  if (cursor.anchor() == anchor && cursor.position() == position) return;
  FlagScope following(following_model_);
  cursor.setPosition(anchor);
  cursor.setPosition(position, QTextCursor::KeepAnchor);
  setTextCursor(cursor);
}

// --- Widget to model -----------------------------------------------------------

void DocumentView::WidgetContentsChanged(int position, int removed, int added) {
  if (following_model_) return;
  QTextDocument* text = QPlainTextEdit::document();
  const auto view_chars = static_cast<long long>(WidgetCharCount(text));
  const auto model_chars = static_cast<long long>(document_.CharCount());
  // Qt may report a change wider than the text (the final block's end
  // counted in); the lengths on both sides say what was really removed.
  const long long inserted = std::min<long long>(added, view_chars - position);
  const long long removed_chars = inserted + model_chars - view_chars;
  if (position < 0 || inserted < 0 || removed_chars < 0 || position + removed_chars > model_chars) {
    QMetaObject::invokeMethod(this, &DocumentView::ReloadFromModel, Qt::QueuedConnection);
    return;
  }
  (void)removed;
  QTextCursor cursor(text);
  cursor.setPosition(position);
  cursor.setPosition(static_cast<int>(position + inserted), QTextCursor::KeepAnchor);
  QString inserted_text = cursor.selectedText();
  int dropped = 0;
  inserted_text = KeepEncodable(inserted_text, &dropped);
  try {
    FlagScope reporting(reporting_edit_);
    document_.ApplyViewEdit(static_cast<std::size_t>(position),
                            static_cast<std::size_t>(removed_chars),
                            ModelCharsOfWidgetText(inserted_text));
  } catch (const std::exception& error) {
    // The model refused the edit (too long, or a long command is running):
    // the widget goes back to what the model holds.
    if (events_.input_refused) events_.input_refused(QString::fromUtf8(error.what()));
  }
  if (dropped > 0) RefuseInput(dropped);
  if (static_cast<std::size_t>(WidgetCharCount(text)) != document_.CharCount()) {
    // Not while the widget is inside its own change notification.
    QMetaObject::invokeMethod(this, &DocumentView::ReloadFromModel, Qt::QueuedConnection);
  }
}

void DocumentView::WidgetCursorMoved() {
  if (following_model_) return;
  if (static_cast<std::size_t>(WidgetCharCount(QPlainTextEdit::document())) !=
      document_.CharCount()) {
    return;
  }
  const QTextCursor cursor = textCursor();
  const std::size_t start =
      document_.OffsetOfCharPosition(static_cast<std::size_t>(cursor.selectionStart()));
  const std::size_t end =
      document_.OffsetOfCharPosition(static_cast<std::size_t>(cursor.selectionEnd()));
  if (document_.SelStart() == start && document_.SelLength() == end - start) return;
  FlagScope reporting(reporting_edit_);
  document_.SetSelection(start, end - start);
}

void DocumentView::RefuseInput(int dropped) {
  QApplication::beep();
  if (events_.input_refused) events_.input_refused(UnencodableMessage(dropped));
}

// --- Events ----------------------------------------------------------------------

bool DocumentView::event(QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (IsUndoKey(key) || IsRedoKey(key)) {
      event->accept();  // the model's undo, not a shortcut
      return true;
    }
    const QKeySequence pressed(key->keyCombination());
    for (const QKeySequence& shortcut : reserved_) {
      if (shortcut == pressed) {
        event->ignore();
        return true;
      }
    }
  }
  return QPlainTextEdit::event(event);
}

void DocumentView::keyPressEvent(QKeyEvent* event) {
  const CurrentKeyScope key_scope(event->modifiers());
  if (events_.key_down) events_.key_down(document_);
  if (document_.ReadOnly() && ChangesText(event)) {
    QApplication::beep();
    return;
  }
  if (IsUndoKey(event)) {
    document_.Undo();
    return;
  }
  if (IsRedoKey(event)) {
    document_.Redo();
    return;
  }
  if (IsEnterKey(event)) {
    if (events_.key_press && events_.key_press(document_, u'\r')) return;
    // Shift+Enter: a real line break, not the widget's soft line separator.
    textCursor().insertText(QStringLiteral("\n"));
    ensureCursorVisible();
    return;
  }
  if (!event->text().isEmpty() && !IsEncodable(event->text())) {
    int dropped = 0;
    KeepEncodable(event->text(), &dropped);
    RefuseInput(dropped);
    return;
  }
  QPlainTextEdit::keyPressEvent(event);
}

void DocumentView::keyReleaseEvent(QKeyEvent* event) {
  const CurrentKeyScope key_scope(event->modifiers());
  QPlainTextEdit::keyReleaseEvent(event);
  if (events_.key_up) events_.key_up(document_);
}

void DocumentView::mousePressEvent(QMouseEvent* event) {
  // The widget places the caret first, so the status shows where the press
  // put it.
  QPlainTextEdit::mousePressEvent(event);
  if (events_.mouse_down) events_.mouse_down(document_);
}

void DocumentView::mouseReleaseEvent(QMouseEvent* event) {
  // A press inside the selection (which could have started a drag) moves
  // the caret only now: the status shows where the click put it.
  const int before = textCursor().position();
  QPlainTextEdit::mouseReleaseEvent(event);
  if (textCursor().position() != before && events_.mouse_down) events_.mouse_down(document_);
}

void DocumentView::inputMethodEvent(QInputMethodEvent* event) {
  if (document_.ReadOnly() && !event->commitString().isEmpty()) {
    QApplication::beep();
    return;
  }
  int dropped = 0;
  const QString kept = KeepEncodable(event->commitString(), &dropped);
  if (dropped == 0) {
    QPlainTextEdit::inputMethodEvent(event);
    return;
  }
  QInputMethodEvent filtered(event->preeditString(), event->attributes());
  filtered.setCommitString(kept, event->replacementStart(), event->replacementLength());
  QPlainTextEdit::inputMethodEvent(&filtered);
  RefuseInput(dropped);
}

void DocumentView::insertFromMimeData(const QMimeData* source) {
  if (!source->hasText()) return;
  if (document_.ReadOnly()) {
    QApplication::beep();
    return;
  }
  int dropped = 0;
  const QString kept = KeepEncodable(source->text(), &dropped);
  textCursor().insertText(kept);
  ensureCursorVisible();
  if (dropped > 0) RefuseInput(dropped);
}

void DocumentView::contextMenuEvent(QContextMenuEvent* event) {
  if (popup_menu_ != nullptr) popup_menu_->exec(event->globalPos());
}

void DocumentView::paintEvent(QPaintEvent* event) {
  QPlainTextEdit::paintEvent(event);
  // Bytes that are no Shift_JIS character are drawn by the font as a
  // replacement sign; a red frame makes them stand out from real text.
  QPainter painter(viewport());
  const QColor fill(255, 0, 0, 60);
  const QColor frame(200, 0, 0);
  const QPointF offset = contentOffset();
  const int bottom = viewport()->height();
  for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
    const QRectF bounds = blockBoundingGeometry(block).translated(offset);
    if (bounds.top() > bottom) break;
    const QString text = block.text();
    const QTextLayout* layout = block.layout();
    if (layout == nullptr) continue;
    for (qsizetype i = 0; i < text.size(); ++i) {
      if (!IsInvalidByteUnit(text[i].unicode())) continue;
      const QTextLine line = layout->lineForTextPosition(static_cast<int>(i));
      if (!line.isValid()) continue;
      const qreal left = line.cursorToX(static_cast<int>(i));
      const qreal right = line.cursorToX(static_cast<int>(i + 1));
      const QRectF mark(bounds.left() + left, bounds.top() + line.y(),
                        std::max<qreal>(right - left, 4), line.height());
      painter.fillRect(mark, fill);
      painter.setPen(frame);
      painter.drawRect(mark.adjusted(0, 0, -1, -1));
    }
  }
}

}  // namespace morvik
