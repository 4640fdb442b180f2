// The preview server's Host header check on any bytes: no crash, no read out
// of bounds, and nothing passes that does not name the server's port.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "tools/serve/host_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace scenario::tool::serve;
  if (size == 0) return 0;
  constexpr std::string_view kBound[] = {"127.0.0.1", "::1", "0.0.0.0", "::", "localhost", "myhost.lan", ""};
  const std::string_view bound = kBound[data[0] % std::size(kBound)];
  const int port = data[0] & 0x80 ? 80 : 8417;
  const std::string_view header(reinterpret_cast<const char*>(data + 1), size - 1);
  const bool allowed = host_allowed(header, bound, port);
  if (allowed && port != 80 && !header.ends_with(":8417")) std::abort();
  is_loopback(header);
  page_url(std::string(header), port);
  return 0;
}
