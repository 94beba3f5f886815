// The main window's fixed layout: geometry, fonts, status panels and the
// menus with their names, captions and shortcuts, so that a view draws
// exactly these and connects each item by name to its TFormEditor handler
// (MenuFileOpen -> MenuFileOpenClick; PopupMenuFileInformation ->
// MenuFileInformationClick).
#ifndef MORVIK_APP_EDITOR_MAIN_WINDOW_LAYOUT_H_
#define MORVIK_APP_EDITOR_MAIN_WINDOW_LAYOUT_H_

#include <span>

namespace morvik::main_window {

inline constexpr int kLeft = 208;
inline constexpr int kTop = 107;
inline constexpr int kWidth = 528;
inline constexpr int kHeight = 356;
inline constexpr char kWindowFontName[] = "ＭＳ Ｐゴシック";
inline constexpr int kWindowFontPixels = 12;
// Panel 0 is 200 pixels; panel 1, the last, reaches to the right end.
inline constexpr int kStatusPanelWidths[] = {200, 50};

// One menu item; a separator has the caption "-" and no shortcut.
struct MenuItemSpec {
  const char* Name;
  const char* Caption;
  const char* Shortcut;  // portable text ("Ctrl+Shift+S", "Alt+Return", "F1"), or ""
};

struct MenuSpec {
  const char* Name;
  const char* Caption;
  std::span<const MenuItemSpec> Items;
};

inline constexpr MenuItemSpec kMenuFileItems[] = {
    {"MenuFileNew", "新規作成(&N)", ""},
    {"MenuFileOpen", "開く(&O)...", "Ctrl+O"},
    {"MenuFileSave", "上書き保存(&S)", "Ctrl+S"},
    {"MenuFileSaveAs", "名前を付けて保存(&A)...", "Ctrl+Shift+S"},
    {"S3", "-", ""},
    {"MenuFileChangeDataType", "ファイルの種類を変更(&C)...", ""},
    {"MenuFileInformation", "ファイル情報(&I)...", "Alt+Return"},
    {"S2", "-", ""},
    {"MenuFileQuit", "終了(&Q)", "Ctrl+Q"},
};
inline constexpr MenuItemSpec kMenuEditItems[] = {
    {"MenuEditFind", "検索(&F)...", "Ctrl+F"},
    {"MenuEditReplace", "置換(&R)...", "Ctrl+R"},
    {"S4", "-", ""},
    {"MenuEditScript", "SavraScript エディタ(&E)...", "Ctrl+E"},
    {"S5", "-", ""},
    {"MenuEditSort", "並び替え/ソート(&S)...", ""},
    {"MenuEditMerge", "合成/マージ(&M)...", ""},
};
inline constexpr MenuItemSpec kMenuConfigItems[] = {
    {"MenuConfigFont", "フォント(&F)...", ""},
};
inline constexpr MenuItemSpec kMenuHelpItems[] = {
    {"MenuHelpScript", "SavraScript リファレンス(&R)", "F1"},
    {"MenuHelpWWW", "Olvane's branch of SavraProjects(&W)", ""},
    {"S1", "-", ""},
    {"MenuHelpAbout", "バージョン情報(&A)...", ""},
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
    {"PopupMenuFileInformation", "ファイル情報(&I)...", ""},
};

}  // namespace morvik::main_window

#endif  // MORVIK_APP_EDITOR_MAIN_WINDOW_LAYOUT_H_
