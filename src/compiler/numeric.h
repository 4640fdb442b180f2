// The compiler's number rules: rounding half to even into 32 or 16 bits (a
// result out of range is a run-time failure), and integer results kept to
// their low 32, 16 or 8 bits without an overflow check.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace scenario {

// A rounding out of range, a value too wide for its field, or another
// run-time failure of the compile's arithmetic.
class NumericFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Nearest integer, ties to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2); independent
// of the floating-point rounding mode.
double round_half_even(double value);

std::int32_t round32(double value);
std::int16_t round16(double value);

// Low bits of an integer result: the wrap of a 32-bit store, the store into a
// 16-bit or 8-bit member.
inline std::int32_t low32(std::int64_t value) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
}
inline std::int16_t low16(std::int64_t value) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uint64_t>(value)));
}
inline std::uint8_t low8(std::int64_t value) {
  return static_cast<std::uint8_t>(static_cast<std::uint64_t>(value));
}

// A 32-bit value passed where a 16-bit one is declared: out of range is a
// run-time failure.
std::int16_t narrow16(std::int32_t value, const char* what);

}  // namespace scenario
