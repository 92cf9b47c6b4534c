// Guards: a message that loses its key or a language's text, or fails when raised from another thread.
//
// The one message sink: a key and both languages' texts, from any thread.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "model/Message.h"

namespace {

std::vector<std::string> g_keys;
std::vector<std::u16string> g_texts;

void Capture(const char* key, const std::u16string& chinese, const std::u16string& english)
{
    g_keys.push_back(key);
    g_texts.push_back(chinese + u"|" + english);
}

}  // namespace

TEST(MessageSink, CarriesTheKeyAndBothTexts)
{
    g_keys.clear();
    g_texts.clear();
    SetMessageSink(&Capture);
    ShowMessage("A", u"甲", u"a");
    ShowMessage(UserMessage{});  // nothing to say: nothing shown
    const UserMessage m{"B", u"乙", u"b"};
    std::thread([&] { ShowMessage(m); }).join();  // a worker thread reaches the same sink
    SetMessageSink(nullptr);
    EXPECT_EQ(g_keys, (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(g_texts, (std::vector<std::u16string>{u"甲|a", u"乙|b"}));
    EXPECT_EQ(m.Text(0), u"乙");
    EXPECT_EQ(m.Text(2), u"b");  // Turkish shows English
}
