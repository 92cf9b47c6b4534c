#pragma once
// The file dialogs' filters: the names are translated, the patterns are not,
// so a translation can never change which files a dialog offers.
#include <QString>

// Add a print file: every name, HP-GL, DXF (extensions in any case).
QString PlotFileFilters();
// Export the list: every name, HP-GL.
QString ExportFileFilters();
// Open or save a task file.
QString TaskFileFilter();
