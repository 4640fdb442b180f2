// The base protocol's framing: each message is a header block of
// "Name: value" lines ended by an empty line, with "Content-Length" giving
// the number of bytes of the body that follows. The reader is fed bytes as
// they come and hands back whole bodies; a header block it cannot use is
// dropped, as the protocol leaves nothing to answer.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace scenario::tool::lsp {

// Bodies above this size are skipped unread rather than held in memory.
inline constexpr std::size_t kMaxBody = 256u * 1024 * 1024;

class FrameReader {
 public:
  explicit FrameReader(std::size_t max_body = kMaxBody) : max_body_(max_body) {}

  // Appends bytes read from the stream.
  void feed(std::string_view bytes);
  // The next whole body, or nullopt until more bytes are fed. Header blocks
  // without a usable Content-Length and bodies over kMaxBody are dropped
  // (counted in dropped()). Bodies over `max_body` are skipped.
  std::optional<std::string> next();
  // Header blocks and bodies dropped so far.
  std::size_t dropped() const { return dropped_; }
  // True while a partly received message is held.
  bool pending() const { return start_ < buffer_.size() || skipping_ > 0; }

 private:
  std::size_t max_body_;
  std::string buffer_;
  std::size_t start_ = 0;              // first byte of buffer_ not yet consumed
  std::optional<std::size_t> length_;  // body length of the header block read
  std::size_t skipping_ = 0;           // bytes of an oversized body still to skip
  std::size_t dropped_ = 0;
};

// One message framed for the stream.
std::string frame(std::string_view body);

}  // namespace scenario::tool::lsp
