#include "app/document/chunk_packing.h"

#include <lz4.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace morvik {
namespace {

// LZ4's speed-for-size setting: on record files 4 packs as small as 1 and
// about half again as fast.
constexpr int kAcceleration = 4;

}  // namespace

ChunkPacker::ChunkPacker() : stream_(LZ4_createStream()) {
  if (stream_ == nullptr) throw std::bad_alloc();
}

ChunkPacker::~ChunkPacker() {
  LZ4_freeStream(stream_);
}

void ChunkPacker::Append(std::string_view chunk, std::string& out) {
  // Each chunk starts a chain of its own, so it unpacks without the ones
  // before it; starting over this way keeps the hash table instead of
  // clearing it, which for chunks of a few kilobytes would cost more than
  // the packing. The chunk is packed into room of its own first: growing
  // out by the worst case would write that much for nothing.
  LZ4_resetStream_fast(stream_);
  const auto size = static_cast<int>(chunk.size());
  const auto bound = static_cast<std::size_t>(LZ4_compressBound(size));
  if (room_.size() < bound) room_.resize(bound);
  const int packed = LZ4_compress_fast_continue(stream_, chunk.data(), room_.data(), size,
                                                static_cast<int>(bound), kAcceleration);
  if (packed <= 0 || static_cast<std::size_t>(packed) >= chunk.size()) {
    out.append(chunk);
  } else {
    out.append(room_.data(), static_cast<std::size_t>(packed));
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
