#include "app/shell/StartOptions.h"

#include <cstdio>

#include <QCommandLineParser>
#include <QFileInfo>

#ifndef ORLAT_VERSION
#define ORLAT_VERSION "0"
#endif

StartOptions ParseStartOptions(const QStringList& args)
{
    StartOptions o;
    QCommandLineParser parser;
    // One dash or two, as the options were always written.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, QString());
    const QCommandLineOption programDir(QStringLiteral("program-dir"), QString(), QStringLiteral("DIR"));
    const QCommandLineOption machinePort(QStringLiteral("machine-port"), QString(), QStringLiteral("N"));
    parser.addOptions({help, version, programDir, machinePort});
    parser.addPositionalArgument(QStringLiteral("FILE"), QString());

    // The parser skips the first entry, the program's name.
    if (!parser.parse(QStringList{QStringLiteral("OrlatCenter")} + args)) {
        o.error = parser.errorText();
        return o;
    }
    o.help = parser.isSet(help);
    o.version = parser.isSet(version);
    if (parser.isSet(programDir)) {
        o.programDir = parser.value(programDir);
        if (o.programDir.isEmpty()) {
            o.error = QStringLiteral("--program-dir needs a folder");
            return o;
        }
    }
    if (parser.isSet(machinePort)) {
        bool ok = false;
        const int port = parser.value(machinePort).toInt(&ok);
        if (!ok || port < 1 || port > 65535) {
            o.error = QStringLiteral("--machine-port needs a port number from 1 to 65535");
            return o;
        }
        o.machinePort = port;
    }
    for (const QString& file : parser.positionalArguments()) {
        if (IsPlotFileName(file)) {
            o.plotFiles << file;
        } else if (o.taskFile.isEmpty()) {
            o.taskFile = file;
        } else {
            o.error = QStringLiteral("only one task file can be opened");
            return o;
        }
    }
    return o;
}

QString StartUsage()
{
    return QStringLiteral(
        "usage: OrlatCenter [--program-dir DIR] [--machine-port N] [FILE]...\n"
        "\n"
        "  FILE                a task file (.orlattask) opened into the job list and\n"
        "                      HP-GL (.plt) and DXF (.dxf) files added to it, by the\n"
        "                      instance already running on the program folder if any\n"
        "  --program-dir DIR   keep the settings, job list and data folders in DIR\n"
        "  --machine-port N    the machine's TCP port (5188 by default)\n"
        "  -h, --help          print this text and exit\n"
        "  -v, --version       print the version and exit\n");
}

QString StartVersion() { return QStringLiteral("OrlatCenter " ORLAT_VERSION "\n"); }

QStringList NamedFiles(const StartOptions& options)
{
    QStringList files;
    if (!options.taskFile.isEmpty()) files << QFileInfo(options.taskFile).absoluteFilePath();
    for (const QString& f : options.plotFiles) files << QFileInfo(f).absoluteFilePath();
    return files;
}

bool IsPlotFileName(const QString& path)
{
    for (const char* suffix : {".plt", ".hpgl", ".dxf"})
        if (path.endsWith(QLatin1String(suffix), Qt::CaseInsensitive)) return true;
    return false;
}

int AnswerWithoutWindow(const StartOptions& options)
{
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "OrlatCenter: %s\n", qPrintable(options.error));
        std::fputs(qPrintable(StartUsage()), stderr);
        return 2;
    }
    if (options.help) {
        std::fputs(qPrintable(StartUsage()), stdout);
        return 0;
    }
    if (options.version) {
        std::fputs(qPrintable(StartVersion()), stdout);
        return 0;
    }
    return -1;
}

QStringList ArgumentsOf(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    return args;
}
