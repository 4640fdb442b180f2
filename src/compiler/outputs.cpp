#include "compiler/outputs.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "run/failures.h"
#include "sources/cp1252.h"

namespace scenario {
namespace {

// Writes little-endian values into a buffer already sized for the file.
class ByteWriter {
 public:
  explicit ByteWriter(char* out) : out_(out) {}
  void u8(std::uint8_t v) { *out_++ = static_cast<char>(v); }
  void u16(std::uint16_t v) { little_endian(v); }
  void i16(std::int16_t v) { u16(static_cast<std::uint16_t>(v)); }
  void u32(std::uint32_t v) { little_endian(v); }
  void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
  void f64(double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    little_endian(bits);
  }
  void text(const std::string& t) {
    if (!t.empty()) std::memcpy(out_, t.data(), t.size());
    out_ += t.size();
  }
  const char* end() const { return out_; }

 private:
  template <class Unsigned>
  void little_endian(Unsigned v) {
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(out_, &v, sizeof v);
      out_ += sizeof v;
    } else {
      for (std::size_t i = 0; i < sizeof v; ++i) *out_++ = static_cast<char>(v >> (8 * i));
    }
  }
  char* out_;
};

void plan_element(ByteWriter& out, PlanKind kind, double value) {
  out.u16(static_cast<std::uint16_t>(kind));
  if (kind == PlanKind::int16)
    out.i16(static_cast<std::int16_t>(value));
  else if (kind == PlanKind::real)
    out.f64(value);
}

// Two elements a metre: 2 bytes each, and 8 more for a double or 2 for an
// integer.
std::size_t track_plan_file_size(const TrackPlan& plan) {
  const auto reals = static_cast<std::size_t>(std::count(plan.kind.begin(), plan.kind.end(), PlanKind::real));
  const auto integers = static_cast<std::size_t>(std::count(plan.kind.begin(), plan.kind.end(), PlanKind::int16));
  return 2 * (2 * plan.size() + 8 * reals + 2 * integers);
}

void put_track_plan_file(const TrackPlan& plan, char* bytes) {
  ByteWriter out(bytes);
  for (std::size_t m = 0; m < plan.size(); ++m) plan_element(out, plan.kind[m], plan.x[m]);
  for (std::size_t m = 0; m < plan.size(); ++m) plan_element(out, plan.kind[m], plan.y[m]);
}

class ByteReader {
 public:
  explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}
  bool at_end() const { return pos_ == bytes_.size(); }
  std::size_t offset() const { return pos_; }
  std::uint8_t u8() {
    need(1);
    return static_cast<std::uint8_t>(bytes_[pos_++]);
  }
  std::uint16_t u16() {
    std::uint16_t lo = u8();
    return static_cast<std::uint16_t>(lo | (u8() << 8));
  }
  std::int16_t i16() { return static_cast<std::int16_t>(u16()); }
  std::uint32_t u32() {
    need(4);
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(u8()) << (8 * i);
    return v;
  }
  std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
  double f64() {
    need(8);
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits |= static_cast<std::uint64_t>(u8()) << (8 * i);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
  }
  std::string text(std::size_t n) {
    need(n);
    std::string t(bytes_.substr(pos_, n));
    pos_ += n;
    return t;
  }
  [[noreturn]] void fail(const std::string& what) const {
    throw DecodeError(what + " at byte " + std::to_string(pos_));
  }

 private:
  void need(std::size_t n) const {
    if (bytes_.size() - pos_ < n) fail("the file ends inside a record");
  }

  std::string_view bytes_;
  std::size_t pos_ = 0;
};

}  // namespace

LargeBuffer track_plan_file_buffer(const TrackPlan& plan) {
  LargeBuffer bytes(track_plan_file_size(plan));
  put_track_plan_file(plan, bytes.data());
  return bytes;
}

std::string track_plan_file_bytes(const TrackPlan& plan) {
  std::string bytes(track_plan_file_size(plan), '\0');
  put_track_plan_file(plan, bytes.data());
  return bytes;
}

std::string parameter_file_bytes(const ParameterTable& parameters) {
  std::size_t size = 0;
  for (const ParameterRecord& r : parameters) {
    if (r.text.size() > 65535)
      throw RunFailure("a parameter text of " + std::to_string(r.text.size()) +
                       " characters does not fit its 16-bit length");
    size += 34 + r.text.size();
  }
  std::string bytes(size, '\0');
  ByteWriter out(bytes.data());
  for (const ParameterRecord& r : parameters) {
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
  return bytes;
}

std::string grid_file_bytes(const std::vector<TrackCell>& grid) {
  std::string bytes(grid.size() * 15, '\0');
  ByteWriter out(bytes.data());
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
  return bytes;
}

DecodedTrackPlan decode_track_plan_file(std::string_view bytes) {
  ByteReader in(bytes);
  std::vector<PlanElement> elements;
  while (!in.at_end()) {
    PlanElement e;
    const std::uint16_t tag = in.u16();
    if (tag == static_cast<std::uint16_t>(PlanKind::empty)) {
      e.kind = PlanKind::empty;
    } else if (tag == static_cast<std::uint16_t>(PlanKind::int16)) {
      e.kind = PlanKind::int16;
      e.value = in.i16();
    } else if (tag == static_cast<std::uint16_t>(PlanKind::real)) {
      e.kind = PlanKind::real;
      e.value = in.f64();
    } else {
      in.fail("unknown element tag " + std::to_string(tag));
    }
    elements.push_back(e);
  }
  // Column x of every metre, then column y: the halves must match.
  if (elements.size() % 2 != 0)
    throw DecodeError("an odd number of elements (" + std::to_string(elements.size()) +
                      ") cannot be split into x and y");
  DecodedTrackPlan plan;
  const auto half = static_cast<std::ptrdiff_t>(elements.size() / 2);
  plan.x.assign(elements.begin(), elements.begin() + half);
  plan.y.assign(elements.begin() + half, elements.end());
  return plan;
}

ParameterTable decode_parameter_file(std::string_view bytes) {
  ByteReader in(bytes);
  ParameterTable parameters{};
  for (ParameterRecord& r : parameters) {
    r.kind = in.u8();
    r.start_m = in.i32();
    r.end_m = in.i32();
    r.at_m = in.i32();
    r.opt_a = in.u8();
    r.text = in.text(in.u16());
    r.num_a = in.i16();
    r.num_b = in.i16();
    r.num_c = in.i16();
    r.num_d = in.i16();
    r.num_e = in.i16();
    r.opt_b = in.u8();
    r.opt_c = in.u8();
    r.opt_d = in.u8();
    r.opt_e = in.u8();
    r.time_s = in.i32();
  }
  if (!in.at_end()) in.fail("bytes left over after the " + std::to_string(kParameterSlots) + " records");
  return parameters;
}

std::vector<TrackCell> decode_grid_file(std::string_view bytes) {
  if (bytes.size() % 15 != 0)
    throw DecodeError("a grid file of " + std::to_string(bytes.size()) +
                      " bytes is not a whole number of 15-byte cells");
  ByteReader in(bytes);
  std::vector<TrackCell> grid(bytes.size() / 15);
  for (TrackCell& c : grid) {
    c.cell_type = in.u8();
    c.value_1 = in.i16();
    c.value_2 = in.i16();
    c.value_3 = in.i16();
    c.value_4 = in.i16();
    c.signal_time = in.u8();
    c.approach_code = in.u8();
    c.tunnel_type = in.u8();
    c.speed_step = in.u8();
    c.gradient_code = in.u8();
    c.adhesion = in.u8();
  }
  return grid;
}

std::string code_text(const std::string& train_text, const std::string& route_text) {
  return cp1252_lower(train_text + route_text) + "bbddffhhjjllnnpprrttvvxxzz";
}

}  // namespace scenario
