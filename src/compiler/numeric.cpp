#include "compiler/numeric.h"

#include <cmath>

namespace scenario {

double round_half_even(double value) {
  double floor = std::floor(value);
  double diff = value - floor;
  if (diff > 0.5) return floor + 1.0;
  if (diff < 0.5) return floor;
  return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

std::int32_t round32(double value) {
  double r = round_half_even(value);
  if (!(r >= -2147483648.0 && r <= 2147483647.0))
    throw NumericFailure("value " + std::to_string(value) + " out of the 32-bit range");
  return static_cast<std::int32_t>(r);
}

std::int16_t round16(double value) {
  double r = round_half_even(value);
  if (!(r >= -32768.0 && r <= 32767.0))
    throw NumericFailure("value " + std::to_string(value) + " out of the 16-bit range");
  return static_cast<std::int16_t>(r);
}

std::int16_t narrow16(std::int32_t value, const char* what) {
  if (value < -32768 || value > 32767)
    throw NumericFailure(std::string(what) + " " + std::to_string(value) + " does not fit in 16 bits");
  return static_cast<std::int16_t>(value);
}

}  // namespace scenario
