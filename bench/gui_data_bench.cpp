// gui_data_bench: opening, sorting and the keyword listing of large data
// files through the real main window (offscreen), with the memory they take.
//
//   open      - Open of a 1 000 000-line, ~50 MB file until painted, and the
//               resident memory it adds to the empty program;
//   sort      - Sort (whole document, ascending) from the Edit menu, and the
//               peak resident memory it adds;
//   keywords  - File information of 1 000 000 lines with as many distinct
//               keywords: from choosing the keyword listing until it is
//               painted.
// Targets: open under 0.15 s and memory under 1.0x the file; sort under
// 0.8 s and its peak under 4x the file; the keyword listing under 1 s.
#include <sys/resource.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/bench_data.h"
#include "bench/modal_driver.h"
#include "gui/application.h"
#include "gui/document_view.h"
#include "gui/listing_view.h"
#include "gui/main_window.h"
#include "gui/qt_desktop.h"

namespace {

using morvik::ClickButtonCaptioned;
using morvik::OpenFromMenu;
using morvik::WhenModalOpens;

// A line of /proc/self/status in MB ("VmRSS", "VmHWM").
double StatusMb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::string prefix = std::string(field) + ":";
  while (std::getline(status, line)) {
    if (line.rfind(prefix, 0) == 0) return std::stod(line.substr(prefix.size())) / 1024.0;
  }
  return 0;
}

// CPU time of the process, all threads, in ms: on a shared machine the
// wall time depends on the load, the CPU time much less.
double CpuMs() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// The records of gui_bench's file with a keyword prefix in mixed case, for
// the case folding of the keyword listing; the keys are scattered further.
std::string_view MixedCasePrefix(int i) {
  return i % 2 != 0 ? "Key" : "kEY";
}
int ScatteredKey(int i) {
  return morvik::bench::ShuffledKey(i) * 7 % 1000003;
}
int DistinctKey(int i) {
  return i * 7 % 1000003;
}

// Starts a new peak (VmHWM) from the present resident size.
void ResetPeak() {
  std::ofstream("/proc/self/clear_refs") << "5";
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  morvik::MorvikApplication application(argc, argv);
  const std::filesystem::path file = std::filesystem::temp_directory_path() / "gui_data_bench.htd";
  const std::filesystem::path keywords =
      std::filesystem::temp_directory_path() / "gui_data_bench_keywords.htd";
  morvik::bench::WriteDataFile(file, morvik::bench::MillionRecords(MixedCasePrefix, ScatteredKey));
  morvik::bench::WriteDataFile(keywords,
                               morvik::bench::MillionRecords(MixedCasePrefix, DistinctKey));
  const double file_mb = static_cast<double>(std::filesystem::file_size(file)) / (1024 * 1024);

  morvik::QtDesktop desktop;
  morvik::MainWindow& window = desktop.Window();
  window.resize(1000, 700);
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) return 1;
  QCoreApplication::processEvents();
  const double empty_mb = StatusMb("VmRSS");

  double cpu = CpuMs();
  const double open_ms = OpenFromMenu(desktop, file);
  const double open_cpu = CpuMs() - cpu;
  const double open_mb = StatusMb("VmRSS") - empty_mb;
  std::printf(
      "open: %.0f ms (cpu %.0f ms); resident %.0f MB above the empty program's %.0f MB = "
      "%.2fx the file (%.0f MB)\n",
      open_ms, open_cpu, open_mb, empty_mb, open_mb / file_mb, file_mb);

  WhenModalOpens([](QWidget* sort) {
    sort->findChild<QRadioButton*>(QStringLiteral("RadioTarget1"))->click();
    ClickButtonCaptioned(sort, QStringLiteral("OK(&O)"));
  });
  const double before_sort_mb = StatusMb("VmRSS");
  ResetPeak();
  QElapsedTimer timer;
  timer.start();
  cpu = CpuMs();
  window.Action(QStringLiteral("MenuEditSort"))->trigger();
  desktop.CurrentView()->repaint();
  QCoreApplication::processEvents();
  const double sort_ms = timer.nsecsElapsed() / 1e6;
  const double sort_cpu = CpuMs() - cpu;
  const double sort_peak_mb = StatusMb("VmHWM") - before_sort_mb;
  std::printf(
      "sort: %.0f ms (cpu %.0f ms); peak %.0f MB above the open document's = %.2fx the "
      "file\n",
      sort_ms, sort_cpu, sort_peak_mb, sort_peak_mb / file_mb);
  desktop.CurrentView()->Document().SetModified(false);

  OpenFromMenu(desktop, keywords);
  double listing_ms = 0;
  double listing_cpu = 0;
  int rows = 0;
  WhenModalOpens([&](QWidget* dialog) {
    auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("ComboShowInfo"));
    auto* memo = dialog->findChild<morvik::ListingView*>(QStringLiteral("MemoInfo"));
    QElapsedTimer listing;
    listing.start();
    const double listing_cpu_start = CpuMs();
    combo->setCurrentIndex(2);
    emit combo->activated(2);
    memo->viewport()->repaint();
    QCoreApplication::processEvents();
    listing_ms = listing.nsecsElapsed() / 1e6;
    listing_cpu = CpuMs() - listing_cpu_start;
    rows = memo->model()->rowCount();
    ClickButtonCaptioned(dialog, QStringLiteral("OK(&O)"));
  });
  window.Action(QStringLiteral("MenuFileInformation"))->trigger();
  std::printf("keywords: %.0f ms (cpu %.0f ms) until the listing of %d keywords is painted\n",
              listing_ms, listing_cpu, rows);
  desktop.CurrentView()->Document().SetModified(false);

  std::filesystem::remove(file);
  std::filesystem::remove(keywords);
  return 0;
}
