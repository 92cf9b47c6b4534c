#pragma once
// Zero-run coding of 16-bit words, shared by the ink bands and the knife
// passes: non-zero words go as they are, a run of zero words as the pair
// (0, count) with count 1 to 65000.
#include <cstddef>
#include <cstdint>

constexpr uint16_t kMaxZeroRun = 65000;

// Worst case of the coding: alternating zero and non-zero words give 1.5
// output words per input word.
constexpr size_t ZeroRunPackedBound(size_t words) { return words + (words + 1) / 2; }

// Packs `count` words of `in` into `out`; returns the words written. `out`
// should hold ZeroRunPackedBound(count) words; with less room the packing
// stops at the last complete item and sets *complete = false (when given).
size_t CompressZeroRuns(const uint16_t* in, size_t count, uint16_t* out, size_t outCapacity,
                        bool* complete = nullptr);

enum class ZeroRunDecode {
    Ok = 0,
    MissingCount = 1,  // a zero word at the very end, without its count
    BadCount = 2,      // a count of 0 or above 65000
    TooLong = 3,       // more words than the output holds
};

// Reverses CompressZeroRuns into `out` (capacity `outCapacity` words); the
// decoded length goes to *decoded. Anything malformed gives its code and
// keeps the words decoded up to that point.
ZeroRunDecode DecodeZeroRuns(const uint16_t* in, size_t count, uint16_t* out, size_t outCapacity,
                             size_t* decoded);
