#pragma once
// Messages for the operator. Each has a key that names it and its text in
// both languages; the core hands them to one sink. The program installs a
// sink that shows a message box on the UI thread; without one (the tools)
// the text goes to standard error in the language of the Language slot.
#include <string>

struct UserMessage {
    const char* key = nullptr;  // null: nothing to say
    std::u16string chinese;
    std::u16string english;

    // Language slot value: 0 Chinese, anything else English (Turkish included).
    const std::u16string& Text(int language) const { return language != 0 ? english : chinese; }
    explicit operator bool() const { return key != nullptr; }
};

// Called on the thread that has something to say (UI, link or sending
// thread); the sink must take it from any of them.
using MessageSink = void (*)(const char* key, const std::u16string& chinese, const std::u16string& english);

// Installed once at start, before the worker threads, or by tests; null
// restores the default.
void SetMessageSink(MessageSink sink);
void ShowMessage(const char* key, const std::u16string& chinese, const std::u16string& english);
void ShowMessage(const UserMessage& message);
