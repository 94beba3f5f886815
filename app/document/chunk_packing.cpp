#include "app/document/chunk_packing.h"

#include <lz4.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace morvik {
namespace {

// LZ4's speed-for-size setting: on record files 4 both packs fastest and
// packs smallest of the settings tried, since it skips over the short
// matches that do not pay.
constexpr int kAcceleration = 4;

}  // namespace

void AppendPackedChunk(std::string_view chunk, std::string& out) {
  // Packed into a buffer of its own first: growing out by the worst case
  // would write that much for nothing on every chunk.
  thread_local std::string room;
  const auto size = static_cast<int>(chunk.size());
  const auto bound = static_cast<std::size_t>(LZ4_compressBound(size));
  if (room.size() < bound) room.resize(bound);
  const int packed =
      LZ4_compress_fast(chunk.data(), room.data(), size, static_cast<int>(bound), kAcceleration);
  if (packed <= 0 || static_cast<std::size_t>(packed) >= chunk.size()) {
    out.append(chunk);
  } else {
    out.append(room.data(), static_cast<std::size_t>(packed));
  }
}

void UnpackChunk(std::string_view stored, std::size_t plain_size, char* out) {
  if (!IsPackedChunk(stored, plain_size)) {
    std::memcpy(out, stored.data(), plain_size);
    return;
  }
  const int unpacked = LZ4_decompress_safe(stored.data(), out, static_cast<int>(stored.size()),
                                           static_cast<int>(plain_size));
  if (unpacked != static_cast<int>(plain_size)) {
    // The store packed these bytes itself, so this is memory gone bad;
    // going on would show or save wrong bytes.
    std::fputs("morvik: a stored piece of the text does not unpack\n", stderr);
    std::abort();
  }
}

}  // namespace morvik
