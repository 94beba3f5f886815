// The plain values that the main window keeps for its long-lived dialogs and
// its display font. Each dialog lives as long as the main window, so these
// remember the user's last choices; a view fills its widgets from them and
// writes the user's answers back.
#ifndef MORVIK_APP_EDITOR_DIALOG_STATE_H_
#define MORVIK_APP_EDITOR_DIALOG_STATE_H_

#include <cstdint>
#include <string>

namespace morvik {

// A font as a plain value; the Qt layer maps it to a real font.
struct FontSpec {
  // The colour a view draws text in by default (the system's window text).
  static constexpr std::uint32_t kWindowTextColor = 0xFF000000u;
  // The "default" character set: the face decides.
  static constexpr int kDefaultCharset = 1;

  std::string Name = "ＭＳ ゴシック";  // face name, UTF-8
  int Size = 10;                       // points
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  std::uint32_t Color = kWindowTextColor;  // 0xRRGGBB, or kWindowTextColor
  int Charset = kDefaultCharset;

  bool operator==(const FontSpec&) const = default;
};

// The open or save dialog.
struct FileDialogState {
  // Entries "description|patterns" joined by "|"; patterns are separated
  // by ";". Empty: no filter.
  std::string Filter;
  int FilterIndex = 1;  // 1-based entry shown first
  // The path last chosen in this dialog during this run (empty at first);
  // the dialog starts with it and a view writes the chosen full path here.
  std::string FileName;
  // Open: the chosen file (and its directory) must exist.
  bool FileMustExist = false;
};

// The modeless find or replace dialog. Texts are UTF-8 as the user typed
// them; the find handlers encode them to Shift_JIS.
struct FindDialogState {
  std::string FindText;
  std::string ReplaceText;  // the replace dialog only
  bool Down = true;         // the replace dialog offers no direction
  bool ReplaceAll = false;  // set by the view for its Replace All button
  // The find text is a pattern of the regular-expression engine.
  bool RegularExpression = false;
};

}  // namespace morvik

#endif  // MORVIK_APP_EDITOR_DIALOG_STATE_H_
