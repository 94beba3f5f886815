// gui_bench: the desktop program on a large data file, offscreen.
//
// Measures, through the real main window and its menus:
//   open   - Open of a 1 000 000-line, ~50 MB DataA1 file until the view
//            holds every line and has painted;
//   key    - one typed character in the middle of that file until the
//            status bar shows the new caret (key press and release), and
//            the same including the repaint; medians of many keystrokes;
//   sort   - Sort (whole document, ascending) chosen from the Edit menu.
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

#include "gui/application.h"
#include "gui/document_view.h"
#include "gui/main_window.h"
#include "gui/modal_driver.h"
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
                                "\"abcdefghijk\"\r\n",
                                key, i);
    out.write(line, n);
  }
  out << "\"{EndOfData}\",\"{Dummy}\",\"{Dummy}\"\r\n";
  return path.string();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
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

  // Open: menu, file dialog, type dialog, load, first paint.
  WhenModalOpens([&file](QWidget* widget) {
    WhenModalOpens([](QWidget* type) {
      type->findChild<QRadioButton*>(QStringLiteral("RadioType2"))->click();
      ClickButtonCaptioned(type, QStringLiteral("OK(&O)"));
    });
    auto* dialog = static_cast<QFileDialog*>(widget);
    // Typed into the name field, then Open or Save, as a user does.
    dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
        ->setText(QString::fromStdString(file.string()));
    static_cast<QDialog*>(dialog)->accept();
  });
  QElapsedTimer timer;
  timer.start();
  window.Action(QStringLiteral("MenuFileOpen"))->trigger();
  morvik::DocumentView* view = desktop.CurrentView();
  view->repaint();
  QCoreApplication::processEvents();
  const double open_ms = timer.nsecsElapsed() / 1e6;
  std::printf("open: %.0f ms (%zu lines)\n", open_ms, view->Document().RawLineCount());

  // Keystrokes in the middle.
  view->setFocus();
  morvik::TRichEditEx& document = view->Document();
  document.SetSelection(document.PositionOfLine(500000) + 3, 0);
  view->EnsureCaretVisible();
  QCoreApplication::processEvents();
  std::vector<double> key_ms;
  std::vector<double> key_paint_ms;
  for (int i = 0; i < 200; ++i) {
    timer.restart();
    QTest::keyClick(view, Qt::Key_A);
    key_ms.push_back(timer.nsecsElapsed() / 1e6);
    view->viewport()->repaint();
    window.statusBar()->repaint();
    key_paint_ms.push_back(timer.nsecsElapsed() / 1e6);
  }
  std::printf("key: median %.3f ms, with repaint %.3f ms, max %.3f ms; status \"%s\"\n",
              Median(key_ms), Median(key_paint_ms),
              *std::max_element(key_paint_ms.begin(), key_paint_ms.end()),
              qPrintable(window.StatusPanel(0)));

  // Sort of the whole document from the menu.
  WhenModalOpens([](QWidget* sort) {
    sort->findChild<QRadioButton*>(QStringLiteral("RadioTarget1"))->click();
    ClickButtonCaptioned(sort, QStringLiteral("OK(&O)"));
  });
  timer.restart();
  window.Action(QStringLiteral("MenuEditSort"))->trigger();
  view->repaint();
  QCoreApplication::processEvents();
  std::printf("sort: %.0f ms; status \"%s\"\n", timer.nsecsElapsed() / 1e6,
              qPrintable(window.StatusPanel(1)));

  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("peak memory: %ld MB\n", usage.ru_maxrss / 1024);

  desktop.CurrentView()->Document().SetModified(false);
  std::filesystem::remove(file);
  return 0;
}
