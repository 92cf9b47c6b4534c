#pragma once
// A transport with scripted results and replies, recording what was sent:
// exchanges without a device or a socket.
#include <algorithm>
#include <cstring>
#include <deque>
#include <vector>

#include "link/LinkPort.h"

class CScriptedPort final : public CLinkPort {
public:
    int beginResult = 0;
    bool chunked = true;
    std::deque<int> writeResults;             // else a write takes everything
    std::deque<std::vector<uint8_t>> replies;  // else a read gets nothing (time-out)
    std::vector<std::vector<uint8_t>> frames;
    std::vector<std::vector<uint8_t>> data;
    int ends = 0;
    int failedEnds = 0;

    int Begin() override { return beginResult; }
    int WriteFrame(const uint8_t* b, int n) override
    {
        frames.emplace_back(b, b + n);
        return Take(n);
    }
    int WriteData(const uint8_t* b, int n) override
    {
        data.emplace_back(b, b + n);
        return Take(n);
    }
    int ReadReply(uint8_t* reply, int want, int) override
    {
        if (replies.empty()) return 0;
        std::vector<uint8_t> r = std::move(replies.front());
        replies.pop_front();
        if (!r.empty()) std::memcpy(reply, r.data(), std::min<size_t>(r.size(), static_cast<size_t>(want)));
        return static_cast<int>(r.size());
    }
    void End(bool failed) override
    {
        ++ends;
        failedEnds += failed ? 1 : 0;
    }
    bool ChunkedData() const override { return chunked; }

private:
    int Take(int n)
    {
        if (writeResults.empty()) return n;
        const int r = writeResults.front();
        writeResults.pop_front();
        return r;
    }
};
