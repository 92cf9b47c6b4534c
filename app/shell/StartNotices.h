#pragma once
// The boxes of a start that goes on otherwise than asked: which program
// folder is used instead, or that the settings are the defaults. Texts in
// the language in use when they are built.
#include <QString>

struct ProgramFolderChoice;
struct SettingsFileCheck;

// Empty when the folder asked for is used.
QString ProgramFolderNotice(const ProgramFolderChoice& choice);
QString SettingsFileNotice(const QString& path, const SettingsFileCheck& check);
// An errno as the operator reads it.
QString ReasonText(int error);
