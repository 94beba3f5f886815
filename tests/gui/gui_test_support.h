// Helpers for driving real widgets as a user does.
#ifndef MORVIK_TESTS_GUI_GUI_TEST_SUPPORT_H_
#define MORVIK_TESTS_GUI_GUI_TEST_SUPPORT_H_

#include <QWidget>
#include <filesystem>
#include <functional>
#include <string>

#include "tests/common/file_bytes.h"
#include "tests/common/scratch_dir.h"

namespace morvik::testing {

// Runs answer on the next modal window that opens (a dialog or message
// box), once it is shown. Call before the action that opens it.
void WhenModalOpens(std::function<void(QWidget*)> answer);
// The same for the modal window named name (its object name, or its class
// name such as "QMessageBox"), so that a window still closing is not taken
// for the next one.
void WhenModalOpens(const QString& name, std::function<void(QWidget*)> answer);

// Drops the answers whose window never opened and returns how many there
// were: a test ends with none pending.
int CancelPendingAnswers();

// Clicks the button whose text is caption inside widget.
void ClickButton(QWidget* widget, const QString& caption);

// Answers the next open or save dialog with path, typed into its name
// field; first runs next (which arms the answer to the window that
// follows), if any.
void AnswerFile(const std::filesystem::path& path, std::function<void()> next = nullptr);

// Answers the next data-type dialog with type (RadioType + type) and OK.
void AnswerType(int type);

}  // namespace morvik::testing

#endif  // MORVIK_TESTS_GUI_GUI_TEST_SUPPORT_H_
