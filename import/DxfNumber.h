#pragma once
// Text-to-number conversions of DXF group values. They behave like atoi and
// atof in the C locale whatever the process locale is: a comma-decimal locale
// must not move a coordinate.
#include <cstdint>
#include <string_view>

// Leading blanks, an optional sign, then digits; anything after them is
// ignored. No digits gives 0; values beyond the int32 range saturate.
int32_t DxfAtoi(const char* s);
// Leading blanks, then a decimal number as strtod reads it ("inf" and "nan"
// included); no number gives 0; overflow gives +-HUGE_VAL, underflow +-0.
double DxfAtof(const char* s);
// The same over a value's bytes: the number ends where it would at a NUL.
int32_t DxfAtoi(std::string_view s);
double DxfAtof(std::string_view s);
