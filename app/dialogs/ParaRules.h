#pragma once
// The two rules of the machine settings dialog that are not plain copies:
// which print heads the two boxes select, and the machine address's fields.
#include <array>
#include <cstdint>

struct HeadBoxes {
    bool head1 = true;
    bool head2 = true;
    bool operator==(const HeadBoxes&) const = default;
};

// headSelect 1: head 1 only; 2: head 2 only; anything else: both.
HeadBoxes HeadBoxesFromSelect(uint8_t headSelect);
// Head 1 alone 1, head 2 alone 2, otherwise 0 (both heads).
uint8_t HeadSelectFromBoxes(HeadBoxes boxes);
// A click on box 1 or 2 flips it; when both are then clear, the other one
// comes back on, so one head always stays selected.
HeadBoxes HeadBoxClicked(HeadBoxes boxes, int box);

// The block keeps the address with its first octet in the low byte.
std::array<int, 4> IpOctets(uint32_t machineIp);
uint32_t IpFromOctets(const std::array<int, 4>& octets);
