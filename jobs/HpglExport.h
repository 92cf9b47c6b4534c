#pragma once
// The whole job list as one run of HP-GL text: no header, no line ends.
#include <memory>
#include <string>
#include <vector>

class COnePage;

// Per page: "LT%d;" on a line-type change, "SP%d;" on a pen change and for
// the page's first curve, "PU x,y;PD" and every point "x,y," then ";" for a
// curve with points, and "PG;" after the page. Plot units, unscaled.
std::string HpglExportText(const std::vector<std::unique_ptr<COnePage>>& pages);
