// Drives modal windows from outside, for the programs that run the real
// windows unattended (the benchmark): a modal window opens inside the action
// that starts it, so its answer has to be set up before and run from the
// window's own event loop.
#ifndef MORVIK_BENCH_MODAL_DRIVER_H_
#define MORVIK_BENCH_MODAL_DRIVER_H_

#include <QString>
#include <filesystem>
#include <functional>

class QWidget;

namespace morvik {

class QtDesktop;

// Runs answer on the next modal window once it is visible, polling every
// interval_ms milliseconds.
void WhenModalOpens(std::function<void(QWidget*)> answer, int interval_ms = 1);

// Clicks the first button inside widget whose caption is caption; false
// when there is none.
bool ClickButtonCaptioned(QWidget* widget, const QString& caption);

// Opens file from the File menu as a user does: its name typed into the file
// dialog, then the second data type chosen and OK. Returns the milliseconds
// until the view has painted it.
double OpenFromMenu(QtDesktop& desktop, const std::filesystem::path& file);

}  // namespace morvik

#endif  // MORVIK_BENCH_MODAL_DRIVER_H_
