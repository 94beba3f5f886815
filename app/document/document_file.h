// Reading a document's bytes from a file and writing them back safely.
#ifndef MORVIK_APP_DOCUMENT_DOCUMENT_FILE_H_
#define MORVIK_APP_DOCUMENT_DOCUMENT_FILE_H_

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace morvik {

// The whole file, byte for byte. Throws ESavraError naming the file and the
// system's reason, or the limit when the file holds more than max_size bytes.
std::string ReadFileBytes(const std::string& path, std::size_t max_size);

// Writes the pieces that produce hands to its sink into a temporary file
// beside path, flushes it to the disk and renames it over path. An existing
// file keeps its permission bits (and its owner, where the system lets us);
// a symbolic link is followed, so the file it names is replaced. On failure
// throws ESavraError naming the file and the reason; path is then as it was
// and the temporary file is gone.
void WriteFileAtomically(
    const std::string& path,
    const std::function<void(const std::function<void(std::string_view)>&)>& produce);

}  // namespace morvik

#endif  // MORVIK_APP_DOCUMENT_DOCUMENT_FILE_H_
