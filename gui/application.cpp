#include "gui/application.h"

#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <exception>

#include "gui/display_probe.h"
#include "gui/fonts.h"
#include "gui/message_box.h"

namespace morvik {
namespace {

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
  DisplaySettings settings = DisplaySettingsFromEnvironment();
  const QDir platforms(QLibraryInfo::path(QLibraryInfo::PluginsPath) +
                       QStringLiteral("/platforms"));
  settings.wayland_plugin =
      !platforms.entryList({QStringLiteral("libqwayland*")}, QDir::Files).isEmpty();
  return QString::fromLocal8Bit(MissingDisplayReason(settings));
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
  setApplicationVersion(QStringLiteral("2.10.00"));
  setDesktopFileName(QStringLiteral("morvik"));
  setWindowIcon(QIcon(QStringLiteral(":/icons/morvik.svg")));
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
