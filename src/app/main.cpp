#include "browser/frmMain.h"
#include "interchange/InterchangeCommand.h"
#include "platform/ProgramIcon.h"
#include "shared/FileLocations.h"
#include "shared/Session.h"
#include "Version.h"

#include <csignal>
#include <cstdio>
#include <memory>
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>

namespace {

// The exit status of a command line that cannot be run as written.
constexpr int kUsageError = 2;

// Set by Ctrl+C (or a polite kill) while a command runs without the window: the work stops at its
// next look and leaves nothing half written.
volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void onInterrupt(int)
{
    g_interrupted = 1;
}

void print(FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
}

struct CommandLine
{
    QCommandLineParser parser;
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Shows the options and the files in use.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")}, QStringLiteral("Shows the version.")};
    QCommandLineOption importFile{QStringLiteral("import"),
                                  QStringLiteral("Imports the recordings of a CSV or Access file."),
                                  QStringLiteral("FILE")};
    QCommandLineOption table{QStringLiteral("table"), QStringLiteral("With --import: the Access table to read."),
                             QStringLiteral("NAME")};
    QCommandLineOption map{QStringLiteral("map"), QStringLiteral("With --import: the fields the columns fill."),
                           QStringLiteral("SOURCE=Field,...")};
    QCommandLineOption mapFormat{QStringLiteral("map-format"),
                                 QStringLiteral("With --import: what a format of the file becomes (repeatable)."),
                                 QStringLiteral("SOURCE=FORMAT")};
    QCommandLineOption notesExtra{QStringLiteral("notes-extra"),
                                  QStringLiteral("With --import: the columns that fill no field go to Notes.")};
    QCommandLineOption exportFile{QStringLiteral("export"),
                                  QStringLiteral("Exports a Selection to a CSV file, or to a PDF file when FILE ends "
                                                 "in .pdf."),
                                  QStringLiteral("FILE")};
    QCommandLineOption selection{QStringLiteral("selection"),
                                 QStringLiteral("With --export: the Selection's number, from 1."), QStringLiteral("N")};
    QString error;
    InterchangeRequest request;

    explicit CommandLine(const QStringList& arguments);
    bool wantsWindow() const
    {
        return error.isEmpty() && !parser.isSet(help) && !parser.isSet(version) && request.importFile.isEmpty() &&
               request.exportFile.isEmpty();
    }
    QString helpText() const;
};

CommandLine::CommandLine(const QStringList& arguments)
{
    parser.setApplicationDescription(
        QStringLiteral("Varolin, a desktop catalogue of a music collection.\n"
                       "Without options it opens its window; --import and --export work on the\n"
                       "catalogue without one, and need no display. Without --selection, --export\n"
                       "writes the default Selection."));
    // "-platform xcb" and the like are Qt's own options: read them as whole words, so that they
    // reach Qt rather than being taken for a row of one-letter options.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({help, version, importFile, table, map, mapFormat, notesExtra, exportFile, selection});
    for (const char* name : {"platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
                             "qwindowicon", "qwindowtitle", "session", "display", "geometry", "style", "stylesheet"}) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : {"reverse", "widgetcount"}) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return;
    }
    if (parser.isSet(help) || parser.isSet(version))
        return;
    if (!parser.positionalArguments().isEmpty()) {
        error = QStringLiteral("Unexpected argument '%1': Varolin opens no file named on its command line "
                               "(use --import FILE to bring one in).")
                    .arg(parser.positionalArguments().constFirst());
        return;
    }
    for (const QCommandLineOption* option : {&importFile, &table, &map, &exportFile, &selection}) {
        const QStringList values = parser.values(*option);
        const QString name = QStringLiteral("--") + option->names().constFirst();
        if (values.size() > 1) {
            error = QStringLiteral("%1 is given more than once.").arg(name);
            return;
        }
        if (values.size() == 1 && values.constFirst().isEmpty()) {
            error = QStringLiteral("%1 needs a value.").arg(name);
            return;
        }
    }
    request.importFile = parser.value(importFile);
    request.table = parser.value(table);
    request.map = parser.value(map);
    request.mapFormats = parser.values(mapFormat);
    if (request.mapFormats.contains(QString())) {
        error = QStringLiteral("--map-format needs a value.");
        return;
    }
    request.notesExtra = parser.isSet(notesExtra);
    request.exportFile = parser.value(exportFile);
    if (!request.importFile.isEmpty() && !request.exportFile.isEmpty()) {
        error = QStringLiteral("--import and --export cannot be used together.");
    } else if ((parser.isSet(table) || parser.isSet(map) || parser.isSet(mapFormat) || parser.isSet(notesExtra)) &&
               request.importFile.isEmpty()) {
        error = QStringLiteral("--table, --map, --map-format and --notes-extra go with --import.");
    } else if (parser.isSet(selection)) {
        bool ok = false;
        const QString text = parser.value(selection);
        const int number = text.toInt(&ok);
        if (request.exportFile.isEmpty())
            error = QStringLiteral("--selection goes with --export.");
        else if (!ok || number < 1 || text.trimmed() != text || text.startsWith(QLatin1Char('+')))
            error = QStringLiteral("--selection needs the number of a Selection, a whole number from 1, not '%1'.")
                        .arg(text);
        else
            request.selection = number;
    }
}

QString CommandLine::helpText() const
{
    const FileLocations locations(QCoreApplication::applicationDirPath());
    const Session session(locations.iniFile());
    const QString problem = session.iniProblem();
    // The catalogue opened now: the one varolin.ini names, or the default one.
    const bool named = session.namesCatalogue();
    const QString catalogue = session.cataloguePath(locations.defaultCatalogue());
    QString text = parser.helpText();
    text +=
        QStringLiteral("\nFiles (%1):\n  Settings   %2%3\n  Catalogue  %4%5\n")
            .arg(locations.isPortable() ? QStringLiteral("a portable copy: varolin.ini beside the program")
                                        : QStringLiteral("an installed copy: the user's folders"),
                 QDir::toNativeSeparators(locations.iniFile()),
                 problem.isEmpty() ? QString() : QStringLiteral(" (cannot be read: %1)").arg(problem),
                 QDir::toNativeSeparators(catalogue), named ? QStringLiteral(" (named in varolin.ini)") : QString());
    return text;
}

int runWindow(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setWindowIcon(ProgramIcon::icon());
    Session session;
    frmMain window(session);
    if (!window.Form_Load())
        return 1;
    return QApplication::exec();
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("Varolin"));
    QCoreApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(VAROLIN_VERSION_MAJOR).arg(VAROLIN_VERSION_MINOR).arg(VAROLIN_VERSION_PATCH));
    // The desktop entry's id, so that the desktop groups the windows with the menu entry.
    QGuiApplication::setDesktopFileName(QStringLiteral(VAROLIN_APP_ID));

    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine line(arguments);
    if (line.wantsWindow())
        return runWindow(argc, argv);

    // Everything else runs without a display; pages for a PDF are drawn off screen.
    const bool drawsPages = line.error.isEmpty() && isPdfFile(line.request.exportFile);
    if (drawsPages)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> app =
        drawsPages ? std::make_unique<QGuiApplication>(argc, argv) : std::make_unique<QCoreApplication>(argc, argv);
    if (!line.error.isEmpty()) {
        print(stderr, QStringLiteral("varolin: %1\nTry 'varolin --help' for the options.\n").arg(line.error));
        return kUsageError;
    }
    if (line.parser.isSet(line.help)) {
        print(stdout, line.helpText());
        return 0;
    }
    if (line.parser.isSet(line.version)) {
        print(stdout, QStringLiteral("Varolin %1\n").arg(QCoreApplication::applicationVersion()));
        return 0;
    }
    const FileLocations locations(QCoreApplication::applicationDirPath());
    QString error;
    if (!locations.prepare(&error)) {
        print(stderr, QStringLiteral("varolin: %1\n").arg(error));
        return 1;
    }
    InterchangeRequest request = line.request;
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    request.keepGoing = [] { return g_interrupted == 0; };
    return RunInterchangeCommand(request, locations.iniFile(), locations.defaultCatalogue());
}
