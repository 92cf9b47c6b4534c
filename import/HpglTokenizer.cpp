// The byte-level state machine of the HP-GL reader. It is fed block by block
// and keeps every partial token in its state, so where a block ends never
// changes what is read.
#include <algorithm>
#include <cstring>

#include "import/HpglFile.h"
#include "import/HpglNumber.h"

namespace {

constexpr uint8_t kEsc = 27;
constexpr int kEscSkip = 4;

// Byte classes for the hot paths: number characters and ASCII letters.
struct ByteClasses {
    bool number[256] = {};
    bool letter[256] = {};
    constexpr ByteClasses()
    {
        for (int c = '0'; c <= '9'; ++c) number[c] = true;
        number[int{'+'}] = number[int{'-'}] = number[int{'.'}] = true;
        for (int c = 'A'; c <= 'Z'; ++c) letter[c] = letter[c + 32] = true;
    }
};
constexpr ByteClasses kClasses;
inline bool IsNum(uint8_t c) { return kClasses.number[c]; }
inline bool IsAsciiLetterByte(uint8_t c) { return kClasses.letter[c]; }

char Upper(uint8_t c) { return static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c); }
bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }

}  // namespace

inline void CHpglFile::BeginRun(uint8_t c)
{
    m_run[0] = static_cast<char>(c);
    m_runLen = 1;
    m_runCut = false;
    m_tok = Tok::Run;
    m_runNeg = c == '-';
    m_runPlain = c != '.';
    m_runDigits = IsDigit(c) ? 1 : 0;
    m_runInt = m_runDigits ? uint64_t{c} - '0' : 0;
}

inline void CHpglFile::RunByte(uint8_t c)
{
    if (m_runLen < kRunKeep)
        m_run[m_runLen++] = static_cast<char>(c);
    else
        m_runCut = true;
    if (!m_runPlain) return;
    if (IsDigit(c) && m_runDigits < 15) {
        m_runInt = m_runInt * 10 + (c - '0');
        ++m_runDigits;
    } else {
        m_runPlain = false;
    }
}

// The rest of a run at once: the same as RunByte on each byte in turn.
inline void CHpglFile::RunBytes(const uint8_t* s, size_t k)
{
    const size_t keep = std::min(k, kRunKeep - m_runLen);
    std::memcpy(m_run + m_runLen, s, keep);
    m_runLen += keep;
    if (keep < k) m_runCut = true;
    if (!m_runPlain) return;
    uint64_t v = m_runInt;
    int digits = m_runDigits;
    for (size_t t = 0; t < k; ++t) {
        if (!IsDigit(s[t]) || digits >= 15) {
            m_runPlain = false;
            break;
        }
        v = v * 10 + (s[t] - '0');
        ++digits;
    }
    m_runInt = v;
    m_runDigits = digits;
}

bool CHpglFile::Feed(const uint8_t* p, size_t n)
{
    size_t i = 0;
    while (i < n) {
        const uint8_t c = p[i];
        // The hot paths inline: a run of number characters whole, with its
        // start and the separator after it; the letters of a mnemonic.
        const bool starts = m_tok == Tok::Numbers && IsNum(c);
        if (starts || m_tok == Tok::Run) {
            size_t j = i;
            if (starts) BeginRun(p[j++]);
            size_t end = j;
            while (end < n && IsNum(p[end])) ++end;
            if (end > j) RunBytes(p + j, end - j);
            i = end;
            if (i == n) break;
            if (p[i] == ',') {
                EndRun();
                ++i;
                continue;
            }
        } else if (m_tok == Tok::Between && IsAsciiLetterByte(c)) {
            if (m_pending == 0)
                m_pending = Upper(c);
            else
                StartMnemonic(Upper(c));
            ++i;
            continue;
        }
        if (!Step(p[i])) return false;
        ++i;
    }
    return true;
}

void CHpglFile::StartMnemonic(char second)
{
    // Tested on the letters in hand: reading back the two bytes just stored
    // as one word stalls the store forwarding on every command.
    const char first = m_pending;
    m_cmd[0] = first;
    m_cmd[1] = second;
    m_pending = 0;
    m_numbers.clear();
    m_cmdOpen = true;
    if (first == 'D' && second == 'F') {
        m_tok = Tok::NoParams;
    } else if (first == 'L' && second == 'B') {
        std::memset(m_label, 0, sizeof m_label);
        m_labelLen = 0;
        m_tok = Tok::Label;
    } else if (first == 'D' && second == 'T') {
        m_cmdOpen = false;  // DT is never executed
        m_tok = Tok::DtFirst;
    } else {
        m_tok = Tok::Numbers;
    }
}

bool CHpglFile::BetweenByte(uint8_t c)
{
    m_tok = Tok::Between;
    if (m_pending == 0) {
        if (IsAsciiLetterByte(c)) {
            m_pending = Upper(c);
        } else if (c == kEsc) {
            m_tok = Tok::Skip;
            m_skip = kEscSkip;
        }
        return true;
    }
    if (IsAsciiLetterByte(c))
        StartMnemonic(Upper(c));
    else
        m_pending = 0;  // dropped together with the letter
    return true;
}

void CHpglFile::EndRun()
{
    if (m_tok == Tok::Run && m_runPlain && m_runDigits > 0) {
        // Digits only: the same double as the general conversion gives.
        const double v = static_cast<double>(m_runInt);
        m_numbers.push_back(m_runNeg ? -v : v);
        m_tok = Tok::Numbers;
        return;
    }
    HpglExponent exp;
    if (m_tok == Tok::ExpDigits) {
        exp.present = true;
        exp.negative = m_expNeg;
        exp.value = m_expValue;
    }
    m_numbers.push_back(ParseHpglNumber({m_run, m_runLen}, !m_runCut, exp));
    m_tok = Tok::Numbers;
}

void CHpglFile::CloseCommand()
{
    ExecuteCommand(m_cmd[0], m_cmd[1]);
    m_cmdOpen = false;
}

void CHpglFile::EndNumberCommand(uint8_t c)
{
    if (c == ';') {
        CloseCommand();
        m_tok = Tok::Between;
    } else if (IsAsciiLetterByte(c)) {
        CloseCommand();
        m_tok = Tok::Between;
        m_pending = Upper(c);
    } else if (c == kEsc) {
        CloseCommand();
        m_tok = Tok::Skip;
        m_skip = kEscSkip;
    } else {
        m_tok = Tok::Numbers;  // separator
    }
}

void CHpglFile::AppendLabelByte(uint8_t c)
{
    // One byte is kept for the closing NUL; the rest of a longer label is dropped.
    if (static_cast<size_t>(m_labelLen) < kLabelSize - 1) m_label[m_labelLen++] = static_cast<char>(c);
}

void CHpglFile::FinishLabel(bool withTerm)
{
    if (withTerm && m_labelTermMode == 0) AppendLabelByte(m_labelTerm);
    ExecuteCommand('L', 'B');
    m_cmdOpen = false;
    m_tok = Tok::Between;
}

bool CHpglFile::Step(uint8_t c)
{
    switch (m_tok) {
    case Tok::Skip:
        if (--m_skip <= 0) m_tok = Tok::Between;
        return true;
    case Tok::Between:
        return BetweenByte(c);
    case Tok::NoParams:
        if (c == ';') {
            CloseCommand();
            m_tok = Tok::Between;
        } else if (IsAsciiLetterByte(c)) {
            CloseCommand();
            m_tok = Tok::Between;
            m_pending = Upper(c);
        } else if (IsNum(c)) {
            m_cmdOpen = false;
            m_result = -3;
            return false;
        }
        return true;
    case Tok::Numbers:
        if (IsNum(c)) {
            BeginRun(c);
            return true;
        }
        EndNumberCommand(c);
        return true;
    case Tok::Run:
        if (IsNum(c)) {
            RunByte(c);
            return true;
        }
        if (c == 'E' || c == 'e') {
            // Maybe an exponent: the command waits for the next byte.
            m_expNeg = false;
            m_expValue = 0;
            m_tok = Tok::Exp;
            return true;
        }
        EndRun();
        EndNumberCommand(c);
        return true;
    case Tok::Exp:
        if (c == '+' || c == '-') {
            m_expNeg = c == '-';
            m_tok = Tok::ExpSign;
            return true;
        }
        if (IsDigit(c)) {
            m_expValue = c - '0';
            m_tok = Tok::ExpDigits;
            return true;
        }
        // No exponent: the E ended the command and is the first letter of a mnemonic.
        EndRun();
        CloseCommand();
        m_pending = 'E';
        return BetweenByte(c);
    case Tok::ExpSign:
        if (IsDigit(c)) {
            m_expValue = c - '0';
            m_tok = Tok::ExpDigits;
            return true;
        }
        // The sign dropped the pending E.
        EndRun();
        CloseCommand();
        m_pending = 0;
        return BetweenByte(c);
    case Tok::ExpDigits:
        if (IsDigit(c)) {
            if (m_expValue < kHpglExponentCap) m_expValue = m_expValue * 10 + (c - '0');
            return true;
        }
        // The E and its exponent, read between commands, have no further effect.
        EndRun();
        CloseCommand();
        m_pending = 0;
        return BetweenByte(c);
    case Tok::Label:
        if (c == m_labelTerm)
            m_tok = Tok::LabelTerm;
        else
            AppendLabelByte(c);
        return true;
    case Tok::LabelTerm:
        if (c == 'L') {
            m_tok = Tok::LabelTermL;
            return true;
        }
        FinishLabel(true);
        return BetweenByte(c);
    case Tok::LabelTermL:
        if (c == 'B') {
            m_tok = Tok::Label;  // terminator + "LB": the same label goes on
            return true;
        }
        FinishLabel(true);
        BetweenByte('L');
        return BetweenByte(c);
    case Tok::DtFirst:
        if (c == ';') {
            m_labelTerm = 3;
            m_labelTermMode = 1;
            m_tok = Tok::Between;
        } else if (c == 0 || c == 5 || c == kEsc) {
            m_tok = Tok::Between;
        } else {
            m_labelTerm = c;
            m_labelTermMode = 129;
            m_tok = Tok::DtAfterTerm;
        }
        return true;
    case Tok::DtAfterTerm:
        if (c == ',') {
            m_labelTermMode = 130;
            m_tok = Tok::DtMode;
            return true;
        }
        m_labelTermMode = 1;
        return BetweenByte(c);
    case Tok::DtMode:
        if (c == '0' || c == '1') {
            m_labelTermMode = static_cast<uint8_t>(c - '0');
            m_tok = Tok::Between;
            return true;
        }
        m_labelTermMode = 1;
        return BetweenByte(c);
    }
    return true;
}

void CHpglFile::FinishInput()
{
    switch (m_tok) {
    case Tok::Run:
    case Tok::Exp:
    case Tok::ExpSign:
    case Tok::ExpDigits:
        EndRun();
        [[fallthrough]];
    case Tok::Numbers:
    case Tok::NoParams:
    case Tok::Label:
        if (m_cmdOpen) CloseCommand();
        break;
    case Tok::LabelTerm:
    case Tok::LabelTermL:
        FinishLabel(true);
        break;
    case Tok::DtAfterTerm:
    case Tok::DtMode:
        m_labelTermMode = 1;
        break;
    default:
        break;
    }
    m_cmdOpen = false;
    m_tok = Tok::Between;
}
