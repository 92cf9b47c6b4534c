#include "link/LinkMessage.h"

#include <atomic>
#include <cstdio>

#include "model/Text.h"

namespace {
// Written by SetLinkMessageSink (program start, tests); read by whichever
// thread shows a message.
std::atomic<LinkMessageSink> g_sink{nullptr};
}  // namespace

void SetLinkMessageSink(LinkMessageSink sink)
{
    g_sink.store(sink);
}

void ShowLinkMessage(const std::u16string& text)
{
    if (LinkMessageSink sink = g_sink.load()) {
        sink(text);
        return;
    }
    std::fprintf(stderr, "%s\n", ToUtf8(text).c_str());
}
