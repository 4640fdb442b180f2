#include "compiler/outputs.h"

#include <cstdint>
#include <cstring>

#include "run/failures.h"
#include "sources/cp1252.h"

namespace scenario {
namespace {

class ByteWriter {
 public:
  explicit ByteWriter(std::size_t reserve) { bytes_.reserve(reserve); }
  void u8(std::uint8_t v) { bytes_.push_back(static_cast<char>(v)); }
  void u16(std::uint16_t v) {
    u8(static_cast<std::uint8_t>(v));
    u8(static_cast<std::uint8_t>(v >> 8));
  }
  void i16(std::int16_t v) { u16(static_cast<std::uint16_t>(v)); }
  void u32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) u8(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
  void f64(double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    for (int i = 0; i < 8; ++i) u8(static_cast<std::uint8_t>(bits >> (8 * i)));
  }
  void text(const std::string& t) { bytes_ += t; }
  std::string take() { return std::move(bytes_); }

 private:
  std::string bytes_;
};

void plan_element(ByteWriter& out, PlanKind kind, double value) {
  out.u16(static_cast<std::uint16_t>(kind));
  if (kind == PlanKind::int16)
    out.i16(static_cast<std::int16_t>(value));
  else if (kind == PlanKind::real)
    out.f64(value);
}

}  // namespace

std::string track_plan_file_bytes(const TrackPlan& plan) {
  ByteWriter out(plan.size() * 20);
  for (std::size_t m = 0; m < plan.size(); ++m) plan_element(out, plan.kind[m], plan.x[m]);
  for (std::size_t m = 0; m < plan.size(); ++m) plan_element(out, plan.kind[m], plan.y[m]);
  return out.take();
}

std::string parameter_file_bytes(const ParameterTable& parameters) {
  ByteWriter out(kParameterSlots * 64);
  for (const ParameterRecord& r : parameters) {
    if (r.text.size() > 65535)
      throw RunFailure("a parameter text of " + std::to_string(r.text.size()) +
                       " characters does not fit its 16-bit length");
    out.u8(r.kind);
    out.i32(r.start_m);
    out.i32(r.end_m);
    out.i32(r.at_m);
    out.u8(r.opt_a);
    out.u16(static_cast<std::uint16_t>(r.text.size()));
    out.text(r.text);
    out.i16(r.num_a);
    out.i16(r.num_b);
    out.i16(r.num_c);
    out.i16(r.num_d);
    out.i16(r.num_e);
    out.u8(r.opt_b);
    out.u8(r.opt_c);
    out.u8(r.opt_d);
    out.u8(r.opt_e);
    out.i32(r.time_s);
  }
  return out.take();
}

std::string grid_file_bytes(const std::vector<TrackCell>& grid) {
  ByteWriter out(grid.size() * 15);
  for (const TrackCell& c : grid) {
    out.u8(c.cell_type);
    out.i16(c.value_1);
    out.i16(c.value_2);
    out.i16(c.value_3);
    out.i16(c.value_4);
    out.u8(c.signal_time);
    out.u8(c.approach_code);
    out.u8(c.tunnel_type);
    out.u8(c.speed_step);
    out.u8(c.gradient_code);
    out.u8(c.adhesion);
  }
  return out.take();
}

std::string code_text(const std::string& train_text, const std::string& route_text) {
  return cp1252_lower(train_text + route_text) + "bbddffhhjjllnnpprrttvvxxzz";
}

}  // namespace scenario
