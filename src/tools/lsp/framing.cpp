#include "tools/lsp/framing.h"

#include <algorithm>
#include <cctype>

namespace scenario::tool::lsp {
namespace {

bool same_name(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// The Content-Length of a header block (without its final empty line); nullopt
// when it has none or it is not a plain decimal number.
std::optional<std::size_t> content_length(std::string_view headers) {
  std::optional<std::size_t> length;
  while (!headers.empty()) {
    std::size_t end = headers.find("\r\n");
    std::string_view line = headers.substr(0, end);
    headers = end == std::string_view::npos ? std::string_view{} : headers.substr(end + 2);
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    if (!same_name(line.substr(0, colon), "Content-Length")) continue;
    std::string_view value = line.substr(colon + 1);
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.remove_suffix(1);
    if (value.empty() || value.size() > 12) return std::nullopt;
    std::size_t n = 0;
    for (char c : value) {
      if (c < '0' || c > '9') return std::nullopt;
      n = n * 10 + static_cast<std::size_t>(c - '0');
    }
    length = n;
  }
  return length;
}

}  // namespace

void FrameReader::feed(std::string_view bytes) {
  if (skipping_ > 0) {
    const std::size_t skip = std::min(skipping_, bytes.size());
    skipping_ -= skip;
    bytes.remove_prefix(skip);
  }
  // Drop what is consumed before the buffer grows.
  if (start_ > 0 && start_ >= buffer_.size() / 2) {
    buffer_.erase(0, start_);
    start_ = 0;
  }
  buffer_.append(bytes);
}

std::optional<std::string> FrameReader::next() {
  for (;;) {
    if (skipping_ > 0) return std::nullopt;
    const std::string_view rest = std::string_view(buffer_).substr(start_);
    if (!length_) {
      const std::size_t end = rest.find("\r\n\r\n");
      if (end == std::string_view::npos) {
        // A header block never grows this large: drop what cannot be one.
        if (rest.size() > 64 * 1024) {
          ++dropped_;
          start_ = buffer_.size() - 3;
        }
        return std::nullopt;
      }
      std::optional<std::size_t> length = content_length(rest.substr(0, end));
      start_ += end + 4;
      if (!length) {
        ++dropped_;
        continue;
      }
      if (*length > max_body_) {
        ++dropped_;
        const std::size_t available = buffer_.size() - start_;
        const std::size_t skip = std::min(*length, available);
        start_ += skip;
        skipping_ = *length - skip;
        continue;
      }
      length_ = length;
    }
    const std::string_view body_rest = std::string_view(buffer_).substr(start_);
    if (body_rest.size() < *length_) return std::nullopt;
    std::string body(body_rest.substr(0, *length_));
    start_ += *length_;
    length_.reset();
    if (start_ == buffer_.size()) {
      buffer_.clear();
      start_ = 0;
    }
    return body;
  }
}

std::string frame(std::string_view body) {
  std::string out = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  out.append(body);
  return out;
}

}  // namespace scenario::tool::lsp
