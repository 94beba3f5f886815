// The main window's fixed layout: geometry, fonts, status panels and the
// menus with their names, captions, shortcuts and TFormEditor handlers, so
// that a view draws exactly these and connects each item to the handler
// written beside it. A misspelt handler does not compile; an item without
// one fails the layout's test.
#ifndef MORVIK_APP_EDITOR_MAIN_WINDOW_LAYOUT_H_
#define MORVIK_APP_EDITOR_MAIN_WINDOW_LAYOUT_H_

#include <span>

#include "app/editor/editor.h"

namespace morvik::main_window {

inline constexpr int kLeft = 208;
inline constexpr int kTop = 107;
inline constexpr int kWidth = 528;
inline constexpr int kHeight = 356;
inline constexpr char kWindowFontName[] = "ＭＳ Ｐゴシック";
inline constexpr int kWindowFontPixels = 12;
// Panel 0 is 200 pixels; panel 1, the last, reaches to the right end.
inline constexpr int kStatusPanelWidths[] = {200, 50};

inline constexpr char kSeparator[] = "-";

// One menu item; a separator has the caption kSeparator, no shortcut and no
// handler.
struct MenuItemSpec {
  const char* Name;
  const char* Caption;
  const char* Shortcut;  // portable text ("Ctrl+Shift+S", "Alt+Return", "F1"), or ""
  void (TFormEditor::*Handler)() = nullptr;
};

struct MenuSpec {
  const char* Name;
  const char* Caption;
  std::span<const MenuItemSpec> Items;
};

inline constexpr MenuItemSpec kMenuFileItems[] = {
    {"MenuFileNew", "新規作成(&N)", "", &TFormEditor::MenuFileNewClick},
    {"MenuFileOpen", "開く(&O)...", "Ctrl+O", &TFormEditor::MenuFileOpenClick},
    {"MenuFileSave", "上書き保存(&S)", "Ctrl+S", &TFormEditor::MenuFileSaveClick},
    {"MenuFileSaveAs", "名前を付けて保存(&A)...", "Ctrl+Shift+S",
     &TFormEditor::MenuFileSaveAsClick},
    {"MenuFileClose", "閉じる(&C)", "Ctrl+W", &TFormEditor::MenuFileCloseClick},
    {"S3", kSeparator, ""},
    {"MenuFileChangeDataType", "ファイルの種類を変更(&C)...", "",
     &TFormEditor::MenuFileChangeDataTypeClick},
    {"MenuFileInformation", "ファイル情報(&I)...", "Alt+Return",
     &TFormEditor::MenuFileInformationClick},
    {"S2", kSeparator, ""},
    {"MenuFileQuit", "終了(&Q)", "Ctrl+Q", &TFormEditor::MenuFileQuitClick},
};
inline constexpr MenuItemSpec kMenuEditItems[] = {
    {"MenuEditFind", "検索(&F)...", "Ctrl+F", &TFormEditor::MenuEditFindClick},
    {"MenuEditFindNext", "次を検索(&N)", "F3", &TFormEditor::MenuEditFindNextClick},
    {"MenuEditFindPrevious", "前を検索(&V)", "Shift+F3", &TFormEditor::MenuEditFindPreviousClick},
    {"MenuEditReplace", "置換(&R)...", "Ctrl+R", &TFormEditor::MenuEditReplaceClick},
    {"MenuEditGoToLine", "行へ移動(&G)...", "Ctrl+G", &TFormEditor::MenuEditGoToLineClick},
    {"S4", kSeparator, ""},
    {"MenuEditScript", "SavraScript エディタ(&E)...", "Ctrl+E", &TFormEditor::MenuEditScriptClick},
    {"S5", kSeparator, ""},
    {"MenuEditSort", "並び替え/ソート(&S)...", "", &TFormEditor::MenuEditSortClick},
    {"MenuEditMerge", "合成/マージ(&M)...", "", &TFormEditor::MenuEditMergeClick},
};
inline constexpr MenuItemSpec kMenuConfigItems[] = {
    {"MenuConfigFont", "フォント(&F)...", "", &TFormEditor::MenuConfigFontClick},
    {"MenuConfigLineNumbers", "行番号(&L)", "", &TFormEditor::MenuConfigLineNumbersClick},
    {"S6", kSeparator, ""},
    {"MenuConfigZoomIn", "拡大(&I)", "Ctrl++", &TFormEditor::MenuConfigZoomInClick},
    {"MenuConfigZoomOut", "縮小(&O)", "Ctrl+-", &TFormEditor::MenuConfigZoomOutClick},
    {"MenuConfigZoomReset", "元の大きさ(&R)", "Ctrl+0", &TFormEditor::MenuConfigZoomResetClick},
};
inline constexpr MenuItemSpec kMenuHelpItems[] = {
    {"MenuHelpScript", "SavraScript リファレンス(&R)", "F1", &TFormEditor::MenuHelpScriptClick},
    {"MenuHelpWWW", "Olvane's branch of SavraProjects(&W)", "", &TFormEditor::MenuHelpWWWClick},
    {"S1", kSeparator, ""},
    {"MenuHelpAbout", "バージョン情報(&A)...", "", &TFormEditor::MenuHelpAboutClick},
};
// The menu bar, left to right.
inline constexpr MenuSpec kMainMenu[] = {
    {"MenuFile", "ファイル(&F)", kMenuFileItems},
    {"MenuEdit", "編集(&E)", kMenuEditItems},
    {"MenuConfig", "設定(&C)", kMenuConfigItems},
    {"MenuHelp", "ヘルプ(&H)", kMenuHelpItems},
};
// The context menu of every document; automatic access keys off.
inline constexpr MenuItemSpec kPopupMenuItems[] = {
    {"PopupMenuFileInformation", "ファイル情報(&I)...", "", &TFormEditor::MenuFileInformationClick},
};

}  // namespace morvik::main_window

#endif  // MORVIK_APP_EDITOR_MAIN_WINDOW_LAYOUT_H_
