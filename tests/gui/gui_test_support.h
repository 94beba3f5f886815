// Helpers for driving real widgets as a user does.
#ifndef MORVIK_TESTS_GUI_GUI_TEST_SUPPORT_H_
#define MORVIK_TESTS_GUI_GUI_TEST_SUPPORT_H_

#include <QWidget>
#include <functional>

namespace morvik::testing {

// Runs answer on the next modal window that opens (a dialog or message
// box), once it is shown. Call before the action that opens it.
void WhenModalOpens(std::function<void(QWidget*)> answer);

// Clicks the button whose text is caption inside widget.
void ClickButton(QWidget* widget, const QString& caption);

}  // namespace morvik::testing

#endif  // MORVIK_TESTS_GUI_GUI_TEST_SUPPORT_H_
