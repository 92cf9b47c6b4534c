#include "model/KnifePoint.h"

std::vector<KnifePoint> g_knifePoints;
