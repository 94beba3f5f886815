// TFormEditor: the Settings menu (display font) and the Help menu.
#include <filesystem>

#include "app/editor/editor.h"

namespace morvik {

void TFormEditor::MenuConfigFontClick() {
  // The dialog always starts from the display font, not from what it last
  // showed.
  FontDialog = DisplayFont;
  if (!port_.ChooseFont(FontDialog)) return;
  DisplayFont = FontDialog;
  for (int number = 1; number <= DocumentCount; ++number) {
    if (DocumentByNumber(number) == nullptr) continue;
    SetPageFont(number - 1, DisplayFont);
  }
}

void TFormEditor::MenuHelpAboutClick() {
  port_.ShowMessage(MessageKind::About,
                    std::string(kVersionLine) +
                        "\r\n\r\n"
                        "Savra データファイルと SavraScript のための Shift_JIS テキストエディタ\r\n"
                        "https://morvik.example.org/",
                    kOkButton);
}

void TFormEditor::MenuHelpScriptClick() {
  const std::string path = ProgramDir + kHelpFile;
  std::error_code error;
  if (std::filesystem::is_regular_file(std::filesystem::path(path), error)) {
    port_.OpenWithDesktop(path, true);
    return;
  }
  port_.ShowMessage(MessageKind::Warning, "ファイル\r\n\"" + path + "\"\r\nは見つかりませんでした",
                    kYesButton);
}

void TFormEditor::MenuHelpWWWClick() {
  port_.OpenWithDesktop(kProjectUrl, false);
}

}  // namespace morvik
