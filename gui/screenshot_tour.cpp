// morvik_screenshots: walks through the program as a user would (opens a
// sample data file, then each dialog) and saves a PNG of every window it
// meets into the directory given as its argument. scripts/screenshots.sh
// runs it under Xvfb; the pictures show that every caption renders.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <fstream>
#include <functional>

#include "gui/application.h"
#include "gui/document_view.h"
#include "gui/main_window.h"
#include "gui/modal_driver.h"
#include "gui/qt_desktop.h"
#include "gui/script_dialog.h"

namespace morvik {
namespace {

QString output_directory;

void Save(QWidget* widget, const char* name) {
  QTest::qWait(150);  // let the window lay out and paint
  const QString path = QDir(output_directory).filePath(QString::fromLatin1(name) + ".png");
  if (!widget->grab().save(path)) std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

// A DataA1 file with Japanese records, a priority block, an invalid byte,
// the end marker and a line after it.
std::string SampleData() {
  return "\"\x82\xa8\x82\xb7\x82\xb7\x82\xdf\",\"\x8d\xa1\x93\xfa\x82\xcc\x88\xea\x95\x69\","
         "\"x{a|b{c|d}}y\"\r\n"
         "\"{PRIOR}\",\"\",\"\"\r\n"
         "\"\x93\x8c\x8b\x9e\",\"\x8e\xf1\x93\x73\",\"1\"\r\n"
         "\"\x91\xe5\x8d\xe3\",\"\x8f\xa4\x82\xcc\x92\xac\",\"2\"\r\n"
         "\"bad\x80\x62yte\",\"x\"\r\n"
         "\"{EndOfData}\",\"{Dummy}\",\"{Dummy}\"\r\n"
         "after the end\r\n";
}

void Tour(QtDesktop& desktop, const QString& sample) {
  MainWindow& window = desktop.Window();
  auto trigger = [&window](const char* name) {
    window.Action(QString::fromLatin1(name))->trigger();
  };

  WhenModalOpens([sample](QWidget* widget) {
    auto* dialog = qobject_cast<QFileDialog*>(widget);
    dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(sample);
    Save(dialog, "open-dialog");
    WhenModalOpens([](QWidget* type) {
      type->findChild<QRadioButton*>(QStringLiteral("RadioType2"))->click();
      Save(type, "select-type-dialog");
      ClickButtonCaptioned(type, QStringLiteral("OK(&O)"));
    });
    static_cast<QDialog*>(dialog)->accept();
  });
  trigger("MenuFileOpen");
  DocumentView* view = desktop.CurrentView();
  view->setFocus();
  QTest::keyClick(view, Qt::Key_Down);
  QTest::keyClick(view, Qt::Key_Down);
  QTest::keyClick(view, Qt::Key_End);
  Save(&window, "main-window");

  WhenModalOpens([](QWidget* sort) {
    Save(sort, "sort-dialog");
    ClickButtonCaptioned(sort, QStringLiteral(u"キャンセル(&C)"));
  });
  trigger("MenuEditSort");

  WhenModalOpens([](QWidget* info) {
    auto* combo = info->findChild<QComboBox*>(QStringLiteral("ComboShowInfo"));
    combo->setCurrentIndex(2);
    emit combo->activated(2);
    Save(info, "file-information-dialog");
    ClickButtonCaptioned(info, QStringLiteral("OK(&O)"));
  });
  trigger("MenuFileInformation");

  // The script in the first record's third field.
  QTest::keyClick(view, Qt::Key_Home, Qt::ControlModifier);
  const std::size_t start = view->Document().Text().find('x');
  view->Document().SetSelection(start, 12);
  WhenModalOpens([](QWidget* script) {
    Save(script, "script-editor");
    static_cast<ScriptDialog*>(script)->Action(QStringLiteral("MenuQuitIgnore"))->trigger();
  });
  trigger("MenuEditScript");

  trigger("MenuEditFind");
  Save(window.findChild<QDialog*>(QStringLiteral("FindDialog")), "find-dialog");
  trigger("MenuEditReplace");
  Save(window.findChild<QDialog*>(QStringLiteral("ReplaceDialog")), "replace-dialog");

  WhenModalOpens([](QWidget* box) {
    Save(box, "about-box");
    static_cast<QMessageBox*>(box)->defaultButton()->click();
  });
  trigger("MenuHelpAbout");

  WhenModalOpens([](QWidget* font) {
    Save(font, "font-dialog");
    static_cast<QDialog*>(font)->reject();
  });
  trigger("MenuConfigFont");
}

}  // namespace
}  // namespace morvik

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: morvik_screenshots OUTPUT_DIRECTORY\n");
    return 2;
  }
  morvik::MorvikApplication application(argc, argv);
  morvik::output_directory = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(morvik::output_directory);
  const QString sample = QDir::temp().filePath(QStringLiteral("sample.htd"));
  {
    std::ofstream out(sample.toStdString(), std::ios::binary);
    out << morvik::SampleData();
  }
  morvik::QtDesktop desktop;
  desktop.Window().show();
  if (!QTest::qWaitForWindowExposed(&desktop.Window())) {
    std::fprintf(stderr, "morvik_screenshots: the window was never shown\n");
    return 1;
  }
  morvik::Tour(desktop, sample);
  QFile::remove(sample);
  return 0;
}
