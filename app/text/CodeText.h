#pragma once
// Texts the program builds in its own code exist in Chinese and English,
// chosen when shown by the Language setting: 0 Chinese, anything else English.
#include <QString>

QString CodeText(const char* chinese, const char* english);
