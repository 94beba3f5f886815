// Where the text store cuts a text into chunks: each starts and ends on a
// character boundary and never between a CR and its LF, and prefers to end
// after a line break, so each chunk decodes and searches on its own.
#ifndef MORVIK_APP_DOCUMENT_CHUNK_CUTTING_H_
#define MORVIK_APP_DOCUMENT_CHUNK_CUTTING_H_

#include <cstddef>
#include <string_view>

namespace morvik {

// Chunk sizes: pieces are cut near kTargetChunk, never longer than
// kMaxChunk, and an edit that leaves less than kMinChunk merges with a
// neighbour. Small enough that scanning one is a few microseconds, large
// enough that a million-line file is some ten thousand nodes.
constexpr std::size_t kMinChunk = 1024;
constexpr std::size_t kTargetChunk = 4096;
constexpr std::size_t kMaxChunk = 8192;

// Where to end the chunk that starts at pos of text (a character boundary):
// after a line break near the target size if there is one, else at a
// character boundary near it.
std::size_t ChunkEnd(std::string_view text, std::size_t pos);

}  // namespace morvik

#endif  // MORVIK_APP_DOCUMENT_CHUNK_CUTTING_H_
