// What a screen reader sees of a document view: Qt's accessible text and
// editable-text interfaces over the document, so that Orca reads it through
// AT-SPI as it reads Qt's own text widgets.
//
// Offsets are the view's characters over the whole document (a line break
// is one character, as a '\n' in the text given out). Each question reads
// only the characters it is about: a screen reader that asks for the line
// at the caret of a 50 MB document gets that line, and a line of 50 MB only
// when it asks for all of it.
#ifndef MORVIK_GUI_DOCUMENT_VIEW_ACCESSIBLE_H_
#define MORVIK_GUI_DOCUMENT_VIEW_ACCESSIBLE_H_

#include <QAccessibleWidget>
#include <cstddef>
#include <functional>

namespace morvik {

class DocumentView;
class TRichEditEx;
struct TextPoint;

// Where the views' accessibility events go: to Qt, and through it to
// AT-SPI, while a screen reader listens. A listener set here takes them
// instead, whether or not one does (a test; an empty one gives them back
// to Qt).
void SetAccessibleEventListener(std::function<void(QAccessibleEvent*)> listener);

// The characters [first, last) of document as a screen reader reads them:
// a line break as '\n', a byte that is no character as U+FFFD.
QString AccessibleTextOf(const TRichEditEx& document, std::size_t first, std::size_t last);

class DocumentViewAccessible : public QAccessibleWidget,
                               public QAccessibleTextInterface,
                               public QAccessibleEditableTextInterface {
 public:
  explicit DocumentViewAccessible(DocumentView* view);

  // Makes Qt ask this class for every DocumentView (once per program).
  static void InstallFactory();

  QAccessible::State state() const override;
  QString text(QAccessible::Text t) const override;
  void* interface_cast(QAccessible::InterfaceType type) override;

  // QAccessibleTextInterface.
  void selection(int selection_index, int* start_offset, int* end_offset) const override;
  int selectionCount() const override;
  void addSelection(int start_offset, int end_offset) override;
  void removeSelection(int selection_index) override;
  void setSelection(int selection_index, int start_offset, int end_offset) override;
  int cursorPosition() const override;
  void setCursorPosition(int position) override;
  QString text(int start_offset, int end_offset) const override;
  QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary_type,
                           int* start_offset, int* end_offset) const override;
  QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundary_type,
                          int* start_offset, int* end_offset) const override;
  QString textAtOffset(int offset, QAccessible::TextBoundaryType boundary_type, int* start_offset,
                       int* end_offset) const override;
  int characterCount() const override;
  QRect characterRect(int offset) const override;
  int offsetAtPoint(const QPoint& point) const override;
  void scrollToSubstring(int start_index, int end_index) override;
  QString attributes(int offset, int* start_offset, int* end_offset) const override;

  // QAccessibleEditableTextInterface.
  void deleteText(int start_offset, int end_offset) override;
  void insertText(int offset, const QString& text) override;
  void replaceText(int start_offset, int end_offset, const QString& text) override;

 private:
  DocumentView* View() const;
  TextPoint PointOfChar(std::size_t char_position) const;
  std::size_t CharOf(const TextPoint& point) const;
  // The unit (character, word, line) at offset, as [first, last).
  std::pair<std::size_t, std::size_t> UnitAt(std::size_t offset,
                                             QAccessible::TextBoundaryType boundary_type) const;
};

}  // namespace morvik

#endif  // MORVIK_GUI_DOCUMENT_VIEW_ACCESSIBLE_H_
