#pragma once
// The program's end of the core's message sink: a box over the main window
// on the UI thread, in the language of the Language slot.

// Installs the sink; call once on the UI thread after the QApplication exists.
void InstallMessageBoxSink();
