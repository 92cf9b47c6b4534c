#pragma once
// Messages the link shows to the operator (a failed parameter write, a socket
// that cannot be made). The link has no windows: the program installs a sink
// that shows a message box; without one the text goes to standard error.
#include <string>

using LinkMessageSink = void (*)(const std::u16string& text);

// Installed by the program at start (before the worker threads), or by tests.
void SetLinkMessageSink(LinkMessageSink sink);
void ShowLinkMessage(const std::u16string& text);
