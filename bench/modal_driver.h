// Drives modal windows from outside, for the programs that run the real
// windows unattended (the benchmark): a modal window opens inside the action
// that starts it, so its answer has to be set up before and run from the
// window's own event loop.
#ifndef MORVIK_BENCH_MODAL_DRIVER_H_
#define MORVIK_BENCH_MODAL_DRIVER_H_

#include <QString>
#include <functional>

class QWidget;

namespace morvik {

// Runs answer on the next modal window once it is visible, polling every
// interval_ms milliseconds.
void WhenModalOpens(std::function<void(QWidget*)> answer, int interval_ms = 1);

// Clicks the first button inside widget whose caption is caption; false
// when there is none.
bool ClickButtonCaptioned(QWidget* widget, const QString& caption);

}  // namespace morvik

#endif  // MORVIK_BENCH_MODAL_DRIVER_H_
