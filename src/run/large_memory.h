// Memory for the few arrays that grow with the line: the track plan and the
// bytes of the track plan file. On some systems touching fresh memory costs a
// trap per 4 KiB page, which for these arrays outweighs the work done in them;
// a block asked for here comes from the operating system in one piece that it
// may back with huge pages. Small requests go to operator new.
#pragma once

#include <cstddef>
#include <new>
#include <string_view>
#include <vector>

namespace scenario {

// Throws std::bad_alloc. The memory is not cleared.
void* allocate_large(std::size_t bytes);
// `bytes` is the size the block was asked for with.
void release_large(void* block, std::size_t bytes) noexcept;
// True where large blocks are mapped on 2 MiB bounds for huge pages (Linux,
// outside AddressSanitizer builds); elsewhere they come from operator new.
bool large_blocks_on_huge_pages();

template <class T>
struct LargeAllocator {
  using value_type = T;
  LargeAllocator() = default;
  template <class U>
  LargeAllocator(const LargeAllocator<U>&) noexcept {}
  T* allocate(std::size_t n) {
    if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
    return static_cast<T*>(allocate_large(n * sizeof(T)));
  }
  void deallocate(T* p, std::size_t n) noexcept { release_large(p, n * sizeof(T)); }
  template <class U>
  bool operator==(const LargeAllocator<U>&) const noexcept {
    return true;
  }
};

template <class T>
using LargeVector = std::vector<T, LargeAllocator<T>>;

// A block of bytes, not cleared: for a file's bytes, which are all written.
class LargeBuffer {
 public:
  explicit LargeBuffer(std::size_t size) : data_(static_cast<char*>(allocate_large(size))), size_(size) {}
  ~LargeBuffer() {
    if (data_) release_large(data_, size_);
  }
  LargeBuffer(LargeBuffer&& other) noexcept : data_(other.data_), size_(other.size_) { other.data_ = nullptr; }
  LargeBuffer& operator=(LargeBuffer&&) = delete;
  LargeBuffer(const LargeBuffer&) = delete;
  LargeBuffer& operator=(const LargeBuffer&) = delete;

  char* data() { return data_; }
  std::size_t size() const { return size_; }
  std::string_view view() const { return {data_, size_}; }

 private:
  char* data_;
  std::size_t size_;
};

}  // namespace scenario
