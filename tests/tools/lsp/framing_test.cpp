// The base protocol's framing, fed a byte at a time or all at once.
#include "tools/lsp/framing.h"

#include <gtest/gtest.h>

#include <vector>

namespace scenario::tool::lsp {
namespace {

std::vector<std::string> bodies_of(const std::string& stream, std::size_t chunk, std::size_t* dropped = nullptr) {
  FrameReader reader;
  std::vector<std::string> out;
  for (std::size_t at = 0; at < stream.size(); at += chunk) {
    reader.feed(std::string_view(stream).substr(at, chunk));
    while (auto body = reader.next()) out.push_back(*body);
  }
  if (dropped) *dropped = reader.dropped();
  return out;
}

TEST(Framing, WholeBodiesWhateverTheChunks) {
  const std::string stream = frame("{\"a\":1}") + "content-length:  2 \r\nContent-Type: x\r\n\r\n{}" + frame("");
  for (std::size_t chunk : {1u, 3u, 1000u})
    EXPECT_EQ(bodies_of(stream, chunk), (std::vector<std::string>{"{\"a\":1}", "{}", ""})) << chunk;
}

TEST(Framing, UnusableHeadersAreDropped) {
  std::size_t dropped = 0;
  const std::string stream = std::string("Content-Type: x\r\n\r\n") + "Content-Length: -1\r\n\r\n" +
                             "Content-Length: 99999999999999\r\n\r\n" + frame("ok");
  EXPECT_EQ(bodies_of(stream, 7, &dropped), std::vector<std::string>{"ok"});
  EXPECT_EQ(dropped, 3u);
  // A body over the limit is skipped, bytes arriving later included.
  FrameReader reader(10);
  reader.feed("Content-Length: 14\r\n\r\nab");
  EXPECT_EQ(reader.next(), std::nullopt);
  reader.feed(std::string(10, 'x'));
  reader.feed("cd" + frame("after"));
  EXPECT_EQ(reader.next(), "after");
  EXPECT_FALSE(reader.pending());
}

}  // namespace
}  // namespace scenario::tool::lsp
