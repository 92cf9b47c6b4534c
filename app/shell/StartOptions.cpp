#include "app/shell/StartOptions.h"

StartOptions ParseStartOptions(const QStringList& args)
{
    StartOptions o;
    bool onlyFiles = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString a = args[i];
        if (!onlyFiles && a == QLatin1String("--")) {
            onlyFiles = true;
            continue;
        }
        if (!onlyFiles && a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            QString value;
            bool hasValue = false;
            const qsizetype eq = a.indexOf(QLatin1Char('='));
            if (a.startsWith(QLatin1String("--")) && eq > 0) {
                value = a.mid(eq + 1);
                a = a.left(eq);
                hasValue = true;
            }
            auto next = [&]() -> bool {
                if (hasValue) return true;
                if (i + 1 >= args.size()) return false;
                value = args[++i];
                return true;
            };
            if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
                o.help = true;
            } else if (a == QLatin1String("--program-dir")) {
                if (!next() || value.isEmpty()) {
                    o.error = QStringLiteral("--program-dir needs a folder");
                    return o;
                }
                o.programDir = value;
            } else if (a == QLatin1String("--machine-port")) {
                bool ok = false;
                const int port = next() ? value.toInt(&ok) : 0;
                if (!ok || port < 1 || port > 65535) {
                    o.error = QStringLiteral("--machine-port needs a port number from 1 to 65535");
                    return o;
                }
                o.machinePort = port;
            } else {
                o.error = QStringLiteral("unknown option %1").arg(a);
                return o;
            }
            continue;
        }
        if (!o.taskFile.isEmpty()) {
            o.error = QStringLiteral("only one task file can be opened");
            return o;
        }
        o.taskFile = a;
    }
    return o;
}

QString StartUsage()
{
    return QStringLiteral("usage: OrlatCenter [--program-dir DIR] [--machine-port N] [TASKFILE]\n");
}
