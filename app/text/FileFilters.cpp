#include "app/text/FileFilters.h"

#include <QCoreApplication>

namespace {

const char* const kAllFiles = QT_TRANSLATE_NOOP("FileFilter", "All file(*.*)");
const char* const kTaskFiles = QT_TRANSLATE_NOOP("FileFilter", "立式切割机打印任务(*.orlattask)");

QString Name(const char* source) { return QCoreApplication::translate("FileFilter", source); }

// "*.*" would pass only names with a dot; the shown names stay the
// program's own (the dialogs hide the patterns).
QString AllFiles() { return Name(kAllFiles) + QStringLiteral(" (*)"); }

}  // namespace

QString PlotFileFilters()
{
    return AllFiles() + QStringLiteral(";;HP-GL(*.plt) (*.[pP][lL][tT]);;AutoCAD(*.dxf) (*.[dD][xX][fF])");
}

QString ExportFileFilters() { return AllFiles() + QStringLiteral(";;HP-GL(*.plt) (*.[pP][lL][tT])"); }

QString TaskFileFilter() { return Name(kTaskFiles) + QStringLiteral(" (*.orlattask)"); }
