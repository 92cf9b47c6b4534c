#include "app/dialogs/ParaRules.h"

HeadBoxes HeadBoxesFromSelect(uint8_t headSelect)
{
    if (headSelect == 1) return {true, false};
    if (headSelect == 2) return {false, true};
    return {true, true};
}

uint8_t HeadSelectFromBoxes(HeadBoxes boxes)
{
    if (boxes.head1 && !boxes.head2) return 1;
    if (!boxes.head1 && boxes.head2) return 2;
    return 0;
}

HeadBoxes HeadBoxClicked(HeadBoxes boxes, int box)
{
    if (box == 1) {
        boxes.head1 = !boxes.head1;
        if (!boxes.head1 && !boxes.head2) boxes.head2 = true;
    } else {
        boxes.head2 = !boxes.head2;
        if (!boxes.head1 && !boxes.head2) boxes.head1 = true;
    }
    return boxes;
}

std::array<int, 4> IpOctets(uint32_t machineIp)
{
    return {int(machineIp & 0xFF), int((machineIp >> 8) & 0xFF), int((machineIp >> 16) & 0xFF),
            int((machineIp >> 24) & 0xFF)};
}

uint32_t IpFromOctets(const std::array<int, 4>& o)
{
    uint32_t ip = 0;
    for (int i = 3; i >= 0; --i) ip = ip << 8 | (static_cast<uint32_t>(o[i]) & 0xFF);
    return ip;
}
