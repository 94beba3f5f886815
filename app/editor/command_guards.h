// RAII guards for the clean-up that a command must do on every way out,
// also when an exception passes on its way to the application's default
// handler: the busy cursor, a menu caption changed while a command runs,
// and a document kept from edits while a long command works on it.
#ifndef MORVIK_APP_EDITOR_COMMAND_GUARDS_H_
#define MORVIK_APP_EDITOR_COMMAND_GUARDS_H_

#include <string>
#include <utility>

#include "app/document/rich_edit_ex.h"
#include "app/editor/desktop_port.h"

namespace morvik {

// Shows the hourglass while it lives.
class BusyCursorGuard {
 public:
  explicit BusyCursorGuard(DesktopPort& port) : port_(port) { port_.SetBusyCursor(true); }
  ~BusyCursorGuard() { port_.SetBusyCursor(false); }
  BusyCursorGuard(const BusyCursorGuard&) = delete;
  BusyCursorGuard& operator=(const BusyCursorGuard&) = delete;

 private:
  DesktopPort& port_;
};

// Shows running_caption on item while it lives, then idle_caption.
class MenuCaptionGuard {
 public:
  MenuCaptionGuard(DesktopPort& port, MenuItemId item, const std::string& running_caption,
                   std::string idle_caption)
      : port_(port), item_(item), idle_caption_(std::move(idle_caption)) {
    port_.SetMenuCaption(item_, running_caption);
  }
  ~MenuCaptionGuard() { port_.SetMenuCaption(item_, idle_caption_); }
  MenuCaptionGuard(const MenuCaptionGuard&) = delete;
  MenuCaptionGuard& operator=(const MenuCaptionGuard&) = delete;

 private:
  DesktopPort& port_;
  MenuItemId item_;
  std::string idle_caption_;
};

// Refuses the view's edits of document while it lives; restores the
// previous state, so guards may nest.
class ReadOnlyGuard {
 public:
  explicit ReadOnlyGuard(TRichEditEx& document)
      : document_(document), was_read_only_(document.ReadOnly()) {
    document_.SetReadOnly(true);
  }
  ~ReadOnlyGuard() { document_.SetReadOnly(was_read_only_); }
  ReadOnlyGuard(const ReadOnlyGuard&) = delete;
  ReadOnlyGuard& operator=(const ReadOnlyGuard&) = delete;

 private:
  TRichEditEx& document_;
  bool was_read_only_;
};

}  // namespace morvik

#endif  // MORVIK_APP_EDITOR_COMMAND_GUARDS_H_
