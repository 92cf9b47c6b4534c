#pragma once
// The folder of the instance lock and socket: $XDG_RUNTIME_DIR, or where a
// session sets none (a bare X server, a service) a private folder of this
// user in the temporary folder, the one Qt would fall back to, picked
// without Qt's warning.
#include <QString>

// tempDir/runtime-<user>, made (0700) when missing. Empty when it is not a
// folder of this user's own (a symbolic link, another owner) or cannot be made.
QString PrivateRuntimeFolder(const QString& tempDir, const QString& user);

// $XDG_RUNTIME_DIR when set, else PrivateRuntimeFolder of QDir::tempPath().
QString RuntimeFolder();

// Sets XDG_RUNTIME_DIR to the private folder when the session set none, so
// that Qt's own look-ups (the platform plugin's at start) find one and stay
// quiet. Before the QApplication, while no other thread runs.
void ProvideRuntimeFolder();
