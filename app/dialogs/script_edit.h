// TFormScript: the SavraScript editor window, as logic without a window.
//
// MemoScript holds the field's text in Shift_JIS, lines separated by CR LF.
// A view shows it, and after every edit by the user writes the field's text
// back with SetMemoText; after calling a menu handler it shows MemoScript
// again. Enter goes to MemoScriptKeyPress first, with the text of the
// displayed line that holds the selection start (a wrapped line counts as
// several) and the caret's byte offset in it. The view closes the window
// when CloseRequested is set, or by its frame, which reflects the edit.
#ifndef MORVIK_APP_DIALOGS_SCRIPT_EDIT_H_
#define MORVIK_APP_DIALOGS_SCRIPT_EDIT_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "app/editor/dialog_state.h"

namespace morvik {

// The clipboard, as the script editor's menu uses it; texts are Shift_JIS.
class ScriptClipboard {
 public:
  virtual ~ScriptClipboard() = default;
  // The clipboard's plain text, or nullopt when it holds none.
  virtual std::optional<std::string> Text() = 0;
  virtual void SetText(std::string_view text) = 0;
};

class TFormScript {
 public:
  static constexpr char kCaption[] = "SavraScript エディタ";
  // A sizable window centred on the main window; the field fills it,
  // wraps long lines and has no scroll bars.
  static constexpr int kWidth = 415;
  static constexpr int kHeight = 264;
  static constexpr char kFontName[] = "ＭＳ Ｐゴシック";
  static constexpr int kFontPixels = 12;
  static constexpr char kMenuEditCaption[] = "編集(&E)";
  static constexpr char kMenuEditAnalyzeCaption[] = "分解(&A)";
  static constexpr char kMenuEditLinizeCaption[] = "一行化(&L)";
  static constexpr char kMenuEditCopyCaption[] = "コピー(&C)";
  static constexpr char kMenuEditPasteCaption[] = "貼り付け(&P)";
  static constexpr char kMenuQuitCaption[] = "終了(&Q)";
  static constexpr char kMenuQuitReflectCaption[] = "編集を反映して終了(&X)";
  static constexpr char kMenuQuitIgnoreCaption[] = "編集を無視して終了(&I)";
  static constexpr char kMenuEditAnalyzeShortCut[] = "Ctrl+A";
  static constexpr char kMenuEditLinizeShortCut[] = "Ctrl+L";
  static constexpr char kMenuEditCopyShortCut[] = "Ctrl+C";
  static constexpr char kMenuEditPasteShortCut[] = "Ctrl+P";
  static constexpr char kMenuQuitReflectShortCut[] = "Ctrl+Q";
  static constexpr char kEnterKey = 13;

  std::string MemoScript;
  FontSpec MemoScriptFont;  // a copy of the main window's display font
  // Empty until FormCreate assigns Ctrl+Shift+Q.
  std::string MenuQuitIgnoreShortCut;
  bool Ignored = false;
  bool CloseRequested = false;

  void FormCreate();

  // The field's text; every lone CR or lone LF becomes CR LF.
  void SetMemoText(std::string_view text);

  // MemoScript := the decomposed form of the one-line script. Throws
  // EInvalidSavraScript ("braces do not close") and changes nothing then.
  void SetScript(std::string_view script);
  // The linized form of MemoScript.
  std::string GetScript() const;

  // The automatic indent. For Enter without Shift, the bytes that replace
  // the selection: CR LF and the blanks and tabs that start line, but no
  // more of them than stand left of the caret. nullopt for every other key
  // (and Shift+Enter): the field handles it.
  std::optional<std::string> MemoScriptKeyPress(char16_t key, bool shift_down,
                                                std::string_view line,
                                                std::size_t caret_column) const;

  // Menu commands. Analyze throws EInvalidSavraScript and leaves the text.
  void MenuEditAnalyzeClick();
  void MenuEditLinizeClick();
  void MenuEditCopyClick(ScriptClipboard& clipboard) const;
  void MenuEditPasteClick(ScriptClipboard& clipboard);
  void MenuQuitReflectClick();
  void MenuQuitIgnoreClick();
};

}  // namespace morvik

#endif  // MORVIK_APP_DIALOGS_SCRIPT_EDIT_H_
