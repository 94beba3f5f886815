#include "gui/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFileInfo>

namespace morvik {
namespace {

constexpr char kVersionText[] = "morvik 2.10.00\n";

// One parser for both passes, so that the help shows what is really read.
class Parser {
 public:
  Parser()
      : type_(QStringLiteral("type"),
              QStringLiteral("Open every FILE as data type TYPE (Data01 Data02 DataA1 DataA2 "
                             "DataB1 DataB2 DataC1 DataC2) instead of asking for each."),
              QStringLiteral("TYPE")) {
    parser_.setApplicationDescription(
        QStringLiteral("Morvik edits the Shift_JIS data files of the Savra system and their "
                       "SavraScript.\nEach FILE opens as a document, as File > Open does."));
    parser_.addHelpOption();
    parser_.addVersionOption();
    parser_.addOption(type_);
    parser_.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("A data file to open."),
                                  QStringLiteral("[FILE...]"));
  }

  QCommandLineParser& Get() { return parser_; }
  const QCommandLineOption& Type() const { return type_; }

 private:
  QCommandLineParser parser_;
  QCommandLineOption type_;
};

}  // namespace

std::optional<QString> InformationRequested(const QStringList& arguments) {
  Parser parser;
  // Errors (Qt's own options, a bad type) are the second pass's business.
  parser.Get().parse(arguments);
  // --help-all would add Qt's own options, which the program does not
  // list; it answers like --help.
  if (parser.Get().isSet(QStringLiteral("help")) ||
      parser.Get().isSet(QStringLiteral("help-all"))) {
    QString text = parser.Get().helpText();
    // Without an application object Qt cannot name the program.
    const QString name = arguments.isEmpty() ? QStringLiteral("morvik")
                                             : QFileInfo(arguments.constFirst()).fileName();
    text.replace(QStringLiteral("<executable_name>"), name);
    return text;
  }
  if (parser.Get().isSet(QStringLiteral("version"))) return QString::fromLatin1(kVersionText);
  return std::nullopt;
}

std::optional<CommandLine> ParseCommandLine(const QStringList& arguments, QString* error) {
  Parser parser;
  if (!parser.Get().parse(arguments)) {
    *error = parser.Get().errorText();
    return std::nullopt;
  }
  CommandLine line;
  if (parser.Get().isSet(parser.Type())) {
    const QString name = parser.Get().value(parser.Type());
    line.type = DataTypeNamed(name.toStdString());
    if (!line.type) {
      *error = QStringLiteral(
                   "unknown data type '%1' (Data01 Data02 DataA1 DataA2 DataB1 DataB2 DataC1 "
                   "DataC2)")
                   .arg(name);
      return std::nullopt;
    }
  }
  for (const QString& file : parser.Get().positionalArguments()) {
    line.files << QFileInfo(file).absoluteFilePath();
  }
  return line;
}

}  // namespace morvik
