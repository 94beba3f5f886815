// gui_bench: the desktop program on a large data file, offscreen.
//
// Measures, through the real main window and its menus:
//   open   - Open of a 1 000 000-line, ~50 MB DataA1 file until the view
//            has painted;
//   key    - one typed character in the middle of that file until the
//            status bar shows the new caret (key press and release), and
//            the same including the repaint; medians of many keystrokes;
//   sort   - Sort (whole document, ascending) chosen from the Edit menu;
//   long   - open of a file of one 2 400 000-character line, and keystrokes
//            in its middle.
// Targets: open under 3 s, a keystroke under 16 ms.
#include <sys/resource.h>
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "bench/modal_driver.h"
#include "gui/application.h"
#include "gui/document_view.h"
#include "gui/main_window.h"
#include "gui/qt_desktop.h"

namespace {

using morvik::ClickButtonCaptioned;
using morvik::WhenModalOpens;

// 1 000 000 records of about 50 bytes: "キーワードNNNNNNN","値NNNNNNN","abc..."
std::string MakeDataFile(const std::filesystem::path& path) {
  std::ofstream out(path, std::ios::binary);
  char line[128];
  for (int i = 0; i < 1000000; ++i) {
    const int key = static_cast<int>((static_cast<long long>(i) * 7919) % 1000000);
    const int n = std::snprintf(line, sizeof line,
                                "\"\x83\x4c\x81\x5b\x83\x8f\x81\x5b\x83\x68%07d\",\"\x92\x6c%07d\","
                                "\"abcdefghijklmn\"\r\n",
                                key, i);
    out.write(line, n);
  }
  out << "\"{EndOfData}\",\"{Dummy}\",\"{Dummy}\"\r\n";
  return path.string();
}

// One line of 2 400 000 bytes ("あabc," repeated): a file without breaks,
// or a linized script.
void MakeLongLineFile(const std::filesystem::path& path) {
  std::ofstream out(path, std::ios::binary);
  for (int i = 0; i < 480000; ++i)
    out << "\x82\xa0"
           "abc,";
  out << "\r\n";
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Open from the menu: file dialog, type dialog, load, first paint. Returns
// the milliseconds taken.
double OpenFromMenu(morvik::QtDesktop& desktop, const std::filesystem::path& file) {
  WhenModalOpens([&file](QWidget* widget) {
    WhenModalOpens([](QWidget* type) {
      type->findChild<QRadioButton*>(QStringLiteral("RadioType2"))->click();
      ClickButtonCaptioned(type, QStringLiteral("OK(&O)"));
    });
    auto* dialog = static_cast<QFileDialog*>(widget);
    // Typed into the name field, then Open, as a user does.
    dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
        ->setText(QString::fromStdString(file.string()));
    static_cast<QDialog*>(dialog)->accept();
  });
  QElapsedTimer timer;
  timer.start();
  desktop.Window().Action(QStringLiteral("MenuFileOpen"))->trigger();
  desktop.CurrentView()->repaint();
  QCoreApplication::processEvents();
  return timer.nsecsElapsed() / 1e6;
}

// Types count characters at offset of the current document and reports the
// median until the status bar shows the new caret, and with the repaint.
void MeasureKeystrokes(morvik::QtDesktop& desktop, std::size_t offset, int count,
                       const char* what) {
  morvik::DocumentView* view = desktop.CurrentView();
  view->setFocus();
  view->Document().SetSelection(offset, 0);
  view->EnsureCaretVisible();
  QCoreApplication::processEvents();
  std::vector<double> key_ms;
  std::vector<double> key_paint_ms;
  QElapsedTimer timer;
  for (int i = 0; i < count; ++i) {
    timer.restart();
    QTest::keyClick(view, Qt::Key_A);
    key_ms.push_back(timer.nsecsElapsed() / 1e6);
    view->viewport()->repaint();
    desktop.Window().statusBar()->repaint();
    key_paint_ms.push_back(timer.nsecsElapsed() / 1e6);
  }
  std::printf("%s: median %.3f ms, with repaint %.3f ms, max %.3f ms; status \"%s\"\n", what,
              Median(key_ms), Median(key_paint_ms),
              *std::max_element(key_paint_ms.begin(), key_paint_ms.end()),
              qPrintable(desktop.Window().StatusPanel(0)));
}

// Keystrokes while recovery files are kept: the current document is typed
// into at a typist's pace for several recovery periods, first without
// recovery files (the baseline), then with them, so that snapshots are
// taken (in slices, between keystrokes) and written (on the recovery
// thread) while the user types. Reports the keystrokes with repaint
// (median, worst) of both runs and the longest slice of a snapshot.
void MeasureKeystrokesWithRecovery(morvik::QtDesktop& desktop, std::size_t offset) {
  morvik::DocumentView* view = desktop.CurrentView();
  auto type_for = [&](int milliseconds, std::vector<double>& key_paint_ms) {
    view->setFocus();
    view->Document().SetSelection(offset, 0);
    view->EnsureCaretVisible();
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    QElapsedTimer total;
    total.start();
    while (total.elapsed() < milliseconds) {
      timer.restart();
      QTest::keyClick(view, Qt::Key_A);
      view->viewport()->repaint();
      desktop.Window().statusBar()->repaint();
      key_paint_ms.push_back(timer.nsecsElapsed() / 1e6);
      QTest::qWait(30);  // the recovery timer and the snapshot's slices run in here
    }
  };
  auto report = [](const char* what, const std::vector<double>& ms) {
    std::printf("%s: median with repaint %.3f ms, max %.3f ms (%zu keys)\n", what, Median(ms),
                *std::max_element(ms.begin(), ms.end()), ms.size());
  };
  std::vector<double> without;
  type_for(9000, without);
  report("paced keys, no recovery files", without);

  const std::filesystem::path state =
      std::filesystem::temp_directory_path() / "gui_bench_recovery_state";
  std::filesystem::remove_all(state);
  desktop.KeepRecoveryFiles(state.string());
  std::vector<double> with;
  type_for(9000, with);
  report("paced keys, recovery files kept", with);

  // What one slice of a snapshot costs the typing thread.
  std::vector<double> slice_ms;
  QElapsedTimer timer;
  for (int i = 0; i < 20; ++i) {
    QTest::keyClick(view, Qt::Key_A);
    timer.restart();
    desktop.Editor().SaveRecoveryFiles();  // starts a snapshot: its first slice
    slice_ms.push_back(timer.nsecsElapsed() / 1e6);
    QTest::qWait(100);
  }
  std::printf("snapshot slice on the typing thread: median %.2f ms, max %.2f ms\n",
              Median(slice_ms), *std::max_element(slice_ms.begin(), slice_ms.end()));
  std::filesystem::remove_all(state);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  morvik::MorvikApplication application(argc, argv);
  const std::filesystem::path file = std::filesystem::temp_directory_path() / "gui_bench.htd";
  MakeDataFile(file);
  std::printf("file: %ju bytes\n", static_cast<std::uintmax_t>(std::filesystem::file_size(file)));

  morvik::QtDesktop desktop;
  morvik::MainWindow& window = desktop.Window();
  window.resize(1000, 700);
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) return 1;

  const double open_ms = OpenFromMenu(desktop, file);
  morvik::TRichEditEx& document = desktop.CurrentView()->Document();
  std::printf("open: %.0f ms (%zu lines)\n", open_ms, document.RawLineCount());
  MeasureKeystrokes(desktop, document.PositionOfLine(500000) + 3, 200, "key");
  MeasureKeystrokesWithRecovery(desktop, document.PositionOfLine(500000) + 3);

  // Sort of the whole document from the menu.
  WhenModalOpens([](QWidget* sort) {
    sort->findChild<QRadioButton*>(QStringLiteral("RadioTarget1"))->click();
    ClickButtonCaptioned(sort, QStringLiteral("OK(&O)"));
  });
  QElapsedTimer timer;
  timer.start();
  window.Action(QStringLiteral("MenuEditSort"))->trigger();
  desktop.CurrentView()->repaint();
  QCoreApplication::processEvents();
  std::printf("sort: %.0f ms; status \"%s\"\n", timer.nsecsElapsed() / 1e6,
              qPrintable(window.StatusPanel(1)));
  document.SetModified(false);

  // A line of 2 400 000 characters, typed into in its middle.
  const std::filesystem::path long_file =
      std::filesystem::temp_directory_path() / "gui_bench_long_line.htd";
  MakeLongLineFile(long_file);
  const double long_open_ms = OpenFromMenu(desktop, long_file);
  std::printf("open, one long line: %.0f ms\n", long_open_ms);
  morvik::TRichEditEx& long_document = desktop.CurrentView()->Document();
  MeasureKeystrokes(desktop, long_document.Length() / 2, 20, "key in the long line");
  long_document.SetModified(false);

  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("peak memory: %ld MB\n", usage.ru_maxrss / 1024);

  std::filesystem::remove(file);
  std::filesystem::remove(long_file);
  return 0;
}
