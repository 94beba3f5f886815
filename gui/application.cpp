#include "gui/application.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdlib>
#include <exception>

#include "gui/fonts.h"
#include "gui/message_box.h"

namespace morvik {
namespace {

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

void ShowEscapedException(QWidget* parent) {
  try {
    throw;
  } catch (const std::exception& error) {
    ShowErrorMessage(parent, QString::fromUtf8(error.what()));
  } catch (...) {
    ShowErrorMessage(parent, QStringLiteral(u"不明なエラーが発生しました"));
  }
}

}  // namespace

QString MissingDisplayReason() {
  // An explicit platform (offscreen for tests, xcb, wayland) is the user's
  // choice; Qt reports its own failures then.
  if (IsSet("QT_QPA_PLATFORM") || IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY")) return {};
  return QStringLiteral(
      "morvik: no display to show the window on (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
      "Start Morvik from a desktop session, or with QT_QPA_PLATFORM=offscreen for a test run.");
}

void RunHandler(QWidget* parent, const std::function<void()>& handler) {
  try {
    handler();
  } catch (...) {
    ShowEscapedException(parent);
  }
}

MorvikApplication::MorvikApplication(int& argc, char** argv)
    : QApplication(argc, argv), qt_translator_(new QTranslator(this)) {
  setApplicationName(QStringLiteral("Morvik"));
  setApplicationDisplayName(QStringLiteral("Morvik"));
  setApplicationVersion(QStringLiteral("2.10.00"));
  setDesktopFileName(QStringLiteral("morvik"));
  InstallFontSubstitutions();
  setFont(WindowFont());
  // The program speaks Japanese whatever the locale, so Qt's own dialogs
  // (files, fonts) and context menus do too.
  QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
  if (qt_translator_->load(QStringLiteral("qtbase_ja"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    installTranslator(qt_translator_);
  }
}

MorvikApplication::~MorvikApplication() = default;

bool MorvikApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    ShowEscapedException(activeWindow());
    return false;
  }
}

}  // namespace morvik
