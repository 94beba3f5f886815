// NodeArena: storage for the syntax tree's nodes of one type.
//
// A pattern of ten thousand words makes hundreds of thousands of nodes; one
// allocation and one free each cost more than building their position sets.
// The arena constructs its objects in large blocks, keeps their addresses
// stable, and destroys them all at once, in creation order.
#ifndef MORVIK_REGEX_NODE_ARENA_H_
#define MORVIK_REGEX_NODE_ARENA_H_

#include <algorithm>
#include <cstddef>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace morvik {

template <typename T>
class NodeArena {
 public:
  NodeArena() = default;
  NodeArena(const NodeArena&) = delete;
  NodeArena& operator=(const NodeArena&) = delete;
  ~NodeArena() { Clear(); }

  // Constructs a T from args; a constructor that throws leaves nothing
  // behind.
  template <typename... Args>
  T* Emplace(Args&&... args) {
    if (blocks_.empty() || used_ == BlockObjects(blocks_.size() - 1)) {
      blocks_.push_back(std::make_unique_for_overwrite<Slot[]>(BlockObjects(blocks_.size())));
      used_ = 0;
    }
    T* object = ::new (static_cast<void*>(&blocks_.back()[used_])) T(std::forward<Args>(args)...);
    ++used_;
    return object;
  }

  // Destroys every object and frees the blocks.
  void Clear() {
    for (std::size_t b = 0; b < blocks_.size(); ++b) {
      const std::size_t count = b + 1 == blocks_.size() ? used_ : BlockObjects(b);
      for (std::size_t k = 0; k < count; ++k) {
        std::launder(reinterpret_cast<T*>(&blocks_[b][k]))->T::~T();
      }
    }
    blocks_.clear();
    used_ = 0;
  }

 private:
  // Raw, suitably aligned room for one T.
  struct Slot {
    alignas(T) unsigned char bytes[sizeof(T)];
  };

  // Blocks double from a few objects, so that a short pattern allocates
  // little and a long one few times.
  static std::size_t BlockObjects(std::size_t block) {
    return std::size_t{16} << std::min<std::size_t>(block, 8);
  }

  std::vector<std::unique_ptr<Slot[]>> blocks_;
  std::size_t used_ = 0;
};

}  // namespace morvik

#endif  // MORVIK_REGEX_NODE_ARENA_H_
