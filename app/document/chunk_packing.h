// Packing of the text store's chunks. A large text is held chunk by chunk
// in LZ4's form, which data files shrink to a third or less of their size
// and which unpacks at several gigabytes a second, so a document takes
// less memory than its file while a search over it stays fast.
//
// A chunk that packing would not make smaller is kept as it is, so a
// stored chunk is packed exactly when it is shorter than its bytes.
#ifndef MORVIK_APP_DOCUMENT_CHUNK_PACKING_H_
#define MORVIK_APP_DOCUMENT_CHUNK_PACKING_H_

#include <cstddef>
#include <string>
#include <string_view>

union LZ4_stream_u;

namespace morvik {

// Packs chunks one after another, each on its own (any of them unpacks
// alone). One packer per thread.
class ChunkPacker {
 public:
  ChunkPacker();
  ~ChunkPacker();
  ChunkPacker(const ChunkPacker&) = delete;
  ChunkPacker& operator=(const ChunkPacker&) = delete;

  // Appends to out the stored form of chunk (at most a few kilobytes).
  void Append(std::string_view chunk, std::string& out);

 private:
  LZ4_stream_u* stream_;
  std::string room_;
};

inline bool IsPackedChunk(std::string_view stored, std::size_t plain_size) {
  return stored.size() < plain_size;
}

// Writes the plain_size bytes that stored holds to out.
void UnpackChunk(std::string_view stored, std::size_t plain_size, char* out);

}  // namespace morvik

#endif  // MORVIK_APP_DOCUMENT_CHUNK_PACKING_H_
