#include "model/Settings.h"

CSettings theSettings;

std::atomic<int32_t> UnitNoHintNextTime{0};
std::atomic<int32_t> PltFileUnit{0};
std::atomic<int32_t> InkBox2Left{0};
