#pragma once
// Numbers typed for a job: copies, start position, manual split length.
#include <QString>
#include <cstdint>

class COnePage;

// Truncated; any value is stored, 0 and negative included.
int32_t CopiesFromInput(double value);

struct StartPosResult {
    int32_t startPos = 0;
    bool refused = false;  // beyond the job's length: the start becomes 0
};
StartPosResult StartPosFromInput(double mm, int32_t maxX);

struct SplitLengthResult {
    int32_t width = 0;     // plot units, for SplitAlongY
    QString refusal;       // empty when accepted
};
// Below 1 mm, or into more than kMaxSplitStrips strips, is refused: each
// strip copies the marker's points that cross it.
inline constexpr int64_t kMaxSplitStrips = 1000;
SplitLengthResult SplitLengthFromInput(double mm, const COnePage& page, int language);

QString CopiesPrompt();
QString StartPosPrompt(int language);
QString StartPosRefusal(int language);
QString SplitPrompt(int language);
