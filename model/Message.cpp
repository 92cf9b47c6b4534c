#include "model/Message.h"

#include <atomic>
#include <cstdio>

#include "model/Settings.h"
#include "model/Text.h"

namespace {
// Written by SetMessageSink (program start, tests); read by every thread
// that shows a message.
std::atomic<MessageSink> g_sink{nullptr};
}  // namespace

void SetMessageSink(MessageSink sink)
{
    g_sink.store(sink);
}

void ShowMessage(const char* key, const std::u16string& chinese, const std::u16string& english)
{
    if (MessageSink sink = g_sink.load()) {
        sink(key, chinese, english);
        return;
    }
    const std::u16string& text = theSettings.Get(Slot::Language) != 0 ? english : chinese;
    std::fprintf(stderr, "%s\n", ToUtf8(text).c_str());
}

void ShowMessage(const UserMessage& message)
{
    if (message) ShowMessage(message.key, message.chinese, message.english);
}
