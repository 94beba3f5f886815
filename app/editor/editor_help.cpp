// TFormEditor: the Settings menu (display font) and the Help menu.
#include <filesystem>

#include "app/editor/editor.h"

namespace morvik {
namespace {

// path as a file URL: bytes other than unreserved ones and "/" are
// percent-encoded, so a blank or a "#" in a directory name stays a name.
std::string FileUrl(const std::string& path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string url = "file://";
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
        (byte >= '0' && byte <= '9') || c == '-' || c == '.' || c == '_' || c == '~' || c == '/') {
      url += c;
    } else {
      url += '%';
      url += kHex[byte >> 4];
      url += kHex[byte & 0xF];
    }
  }
  return url;
}

}  // namespace

void TFormEditor::MenuConfigFontClick() {
  // The dialog always starts from the display font, not from what it last
  // showed.
  FontDialog = DisplayFont;
  if (!port_.ChooseFont(FontDialog)) return;
  DisplayFont = FontDialog;
  // The zoom of this run stays, on the new font.
  ApplyDocumentFont();
}

void TFormEditor::MenuHelpAboutClick() {
  port_.ShowMessage(MessageKind::About,
                    std::string(kVersionLine) +
                        "\r\n\r\n"
                        "Savra データファイルと SavraScript のための Shift_JIS テキストエディタ\r\n"
                        "ヘルプ: " +
                        ProgramDir + kHelpFile,
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

std::string TFormEditor::ProjectPageUrl() const {
  return FileUrl(ProgramDir + kHelpFile) + "#" + kProjectSection;
}

void TFormEditor::MenuHelpWWWClick() {
  port_.OpenWithDesktop(ProjectPageUrl(), false);
}

}  // namespace morvik
