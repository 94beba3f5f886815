// The fixture of the editor's session tests: a TFormEditor on a scripted
// desktop, created as the program creates it, and a fresh directory for the
// files a session opens and saves.
#ifndef MORVIK_TESTS_APP_EDITOR_SESSION_H_
#define MORVIK_TESTS_APP_EDITOR_SESSION_H_

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/editor/editor.h"
#include "tests/app/fake_desktop.h"
#include "tests/common/file_bytes.h"
#include "tests/common/scratch_dir.h"

namespace morvik {

class EditorSession : public ::testing::Test {
 protected:
  EditorSession() { editor_.FormCreate(); }

  std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }

  std::string WriteFile(const std::string& name, const std::string& bytes) const {
    const std::string path = PathOf(name);
    testing::WriteFile(path, bytes);
    return path;
  }

  static std::string ReadFile(const std::string& path) { return testing::ReadFile(path); }

  // File > New, choosing type in the data-type dialog.
  TRichEditEx& NewDocument(DataType type) {
    desktop_.type_answers.push_back({type, FakeDesktop::TypeButton::Ok});
    editor_.MenuFileNewClick();
    return *editor_.CurrentDocument();
  }

  // File > Open of path, choosing type in the data-type dialog.
  TRichEditEx& OpenAs(const std::string& path, DataType type) {
    desktop_.open_answers.push_back(path);
    desktop_.type_answers.push_back({type, FakeDesktop::TypeButton::Ok});
    editor_.MenuFileOpenClick();
    return *editor_.CurrentDocument();
  }

  // Puts the caret at the start of line (0-based) plus column bytes.
  static void PutCaret(TRichEditEx& document, std::size_t line, std::size_t column = 0) {
    document.SetSelection(document.PositionOfLine(line) + column, 0);
  }

  // Enter as the view reports it: true when the editor handled the key.
  bool PressEnter(TRichEditEx& document) {
    return editor_.DocumentKeyPress(document, TFormEditor::kEnterKey);
  }

  testing::ScratchDir scratch_{"morvik-editor"};
  const std::filesystem::path& dir_ = scratch_.path();
  FakeDesktop desktop_;
  TFormEditor editor_{desktop_};
};

}  // namespace morvik

#endif  // MORVIK_TESTS_APP_EDITOR_SESSION_H_
