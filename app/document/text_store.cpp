// TextStore: the text as a sequence of chunks of a few kilobytes, held in a
// treap (a randomly balanced binary tree) ordered by position, each node
// keeping the bytes, line breaks and view characters of its subtree.
//
// A chunk starts and ends on a character boundary and never between a CR
// and its LF, and prefers to end after a line break. So each chunk decodes
// on its own, and every query descends the tree by one of the three counts
// (O(log n)) and then scans one chunk. An edit rebuilds only the chunks it
// touches, widened until the bytes after it read as before.
//
// Chunks are views into shared buffers (the region an edit rebuilt, a
// large text packed chunk by chunk), so an edit copies only what it
// rebuilds. A large text (a file as it was read, a sorted text) is packed
// as it is counted, and its plain bytes are let go: the store then holds a
// fraction of the file's size.
#include "app/document/text_store.h"

#include <array>
#include <cstdint>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "app/document/chunk_cutting.h"
#include "app/document/chunk_packing.h"

namespace morvik {
namespace {

// A text this large is counted on two threads.
constexpr std::size_t kParallelCountBytes = std::size_t{1} << 20;
// A text this large is packed (an edit's small rebuilt region is not, so
// typing never packs).
constexpr std::size_t kPackTextBytes = std::size_t{1} << 16;
// Once this much of a half is packed, a half that packs to more than 7/8
// of its size stops packing.
constexpr std::size_t kPackProbeBytes = std::size_t{1} << 15;
// Letting go of a text this large returns the freed memory to the system.
constexpr std::size_t kTrimAfterBytes = std::size_t{1} << 24;
// Buffers at least this large are compacted once half of them is dead;
// edits that remove this much trigger the walk that finds them.
constexpr std::size_t kCompactBufferBytes = std::size_t{1} << 16;

// Bytes that chunks are stored in: the region an edit rebuilt, or the
// packed chunks of a large text. Chunks view into it and keep it alive;
// live counts the bytes chunks still use, so that a buffer mostly replaced
// by edits can be let go (Compact).
struct Buffer {
  explicit Buffer(std::string data) : bytes(std::move(data)) {}
  const std::string bytes;
  std::size_t live = 0;
};

struct Node {
  Node(std::shared_ptr<Buffer> from, std::string_view piece)
      : buffer(std::move(from)), stored(piece) {
    buffer->live += stored.size();
  }
  ~Node() { buffer->live -= stored.size(); }
  Node(const Node&) = delete;
  Node& operator=(const Node&) = delete;

  std::shared_ptr<Buffer> buffer;
  // Into buffer->bytes: the chunk's own.bytes bytes, or their packed form.
  std::string_view stored;
  TextCounts own;
  TextCounts sum;  // of the subtree rooted here
  std::uint32_t priority = 0;
  std::unique_ptr<Node> left;
  std::unique_ptr<Node> right;
};

using NodePtr = std::unique_ptr<Node>;

bool IsPacked(const Node& node) {
  return IsPackedChunk(node.stored, node.own.bytes);
}

void AppendBytes(const Node& node, std::string& out) {
  if (!IsPacked(node)) {
    out.append(node.stored);
    return;
  }
  const std::size_t old_size = out.size();
  out.resize(old_size + node.own.bytes);
  UnpackChunk(node.stored, node.own.bytes, out.data() + old_size);
}

// The chunk's bytes, unpacked into scratch if need be (so valid until
// scratch changes).
std::string_view BytesOf(const Node& node, std::string& scratch) {
  if (!IsPacked(node)) return node.stored;
  scratch.clear();
  AppendBytes(node, scratch);
  return scratch;
}

const TextCounts kNoCounts{};

const TextCounts& SumOf(const NodePtr& node) {
  return node ? node->sum : kNoCounts;
}

void Update(Node& node) {
  node.sum = node.own;
  node.sum += SumOf(node.left);
  node.sum += SumOf(node.right);
}

NodePtr Merge(NodePtr a, NodePtr b) {
  if (!a) return b;
  if (!b) return a;
  if (a->priority > b->priority) {
    a->right = Merge(std::move(a->right), std::move(b));
    Update(*a);
    return a;
  }
  b->left = Merge(std::move(a), std::move(b->left));
  Update(*b);
  return b;
}

// Splits by byte position: chunks that start before at go left. at is a
// chunk boundary wherever it is used.
std::pair<NodePtr, NodePtr> Split(NodePtr node, std::size_t at) {
  if (!node) return {};
  const std::size_t left_bytes = SumOf(node->left).bytes;
  if (at <= left_bytes) {
    auto [l, r] = Split(std::move(node->left), at);
    node->left = std::move(r);
    Update(*node);
    return {std::move(l), std::move(node)};
  }
  auto [l, r] = Split(std::move(node->right), at - left_bytes - node->own.bytes);
  node->right = std::move(l);
  Update(*node);
  return {std::move(node), std::move(r)};
}

// The chunk where a count reaches a position, with the counts before it.
struct Located {
  const Node* node = nullptr;
  TextCounts before;
};

// Descends to the chunk for which key(before) <= target < key(before + own),
// where key reads one of the counts.
template <typename Key>
Located Locate(const Node* node, std::size_t target, Key key) {
  Located found;
  while (node != nullptr) {
    const TextCounts& left = SumOf(node->left);
    if (target < key(left)) {
      node = node->left.get();
      continue;
    }
    if (target < key(left) + key(node->own)) {
      found.before += left;
      found.node = node;
      return found;
    }
    found.before += left;
    found.before += node->own;
    target -= key(left) + key(node->own);
    node = node->right.get();
  }
  return found;
}

// Gives every node of the tree to visit, in no particular order.
template <typename Visit>
void VisitNodes(Node* node, Visit visit) {
  if (node == nullptr) return;
  visit(*node);
  VisitNodes(node->left.get(), visit);
  VisitNodes(node->right.get(), visit);
}

// Gives every node of the subtree to visit, in the order of the text.
template <typename Visit>
void InOrder(const Node* node, Visit& visit) {
  // The tree is shallow (a few dozen levels), so recursion is safe.
  if (node == nullptr) return;
  InOrder(node->left.get(), visit);
  visit(*node);
  InOrder(node->right.get(), visit);
}

// Visits the chunks of the subtree at node (whose first byte is at base)
// that hold bytes of [from, to); false once visit has asked to stop.
// read(node) gives a chunk's bytes, valid while visit runs.
template <typename Read>
bool VisitRange(const Node* node, std::size_t base, std::size_t from, std::size_t to, bool forward,
                const TextStore::PieceVisitor& visit, Read& read) {
  if (node == nullptr || from >= base + node->sum.bytes || to <= base) return true;
  const std::size_t start = base + SumOf(node->left).bytes;
  const std::size_t end = start + node->own.bytes;
  const auto left = [&] {
    return VisitRange(node->left.get(), base, from, to, forward, visit, read);
  };
  const auto own = [&] { return !(from < end && to > start) || visit(start, read(*node)); };
  const auto right = [&] {
    return VisitRange(node->right.get(), end, from, to, forward, visit, read);
  };
  return forward ? left() && own() && right() : right() && own() && left();
}

// Appends the bytes of [from, to) that lie in the subtree starting at base;
// read(node) gives the bytes of a chunk only partly in the range.
template <typename Read>
void CollectRange(const Node* node, std::size_t base, std::size_t from, std::size_t to,
                  std::string& out, Read& read) {
  if (node == nullptr || from >= base + node->sum.bytes || to <= base) return;
  const std::size_t left_bytes = SumOf(node->left).bytes;
  CollectRange(node->left.get(), base, from, to, out, read);
  const std::size_t start = base + left_bytes;
  const std::size_t end = start + node->own.bytes;
  if (from <= start && to >= end) {
    AppendBytes(*node, out);
  } else if (from < end && to > start) {
    const std::size_t a = std::max(from, start);
    const std::size_t b = std::min(to, end);
    out.append(read(*node), a - start, b - a);
  }
  CollectRange(node->right.get(), end, from, to, out, read);
}

// Where the last character of text (which starts on a boundary) starts.
std::size_t LastCharStart(std::string_view text) {
  std::size_t pos = 0;
  std::size_t last = 0;
  while (pos < text.size()) {
    last = pos;
    pos = NextCharBoundary(text, pos);
  }
  return last;
}

}  // namespace

struct TextStore::Impl {
  NodePtr root;
  std::uint32_t random_state = 0x9E3779B9u;

  std::uint32_t NextPriority() {
    // xorshift32: cheap, and good enough to balance a treap.
    random_state ^= random_state << 13;
    random_state ^= random_state >> 17;
    random_state ^= random_state << 5;
    return random_state;
  }

  TextCounts Totals() const { return SumOf(root); }

  // Recently unpacked chunks, for the queries that read one chunk and let
  // go of it, so that painting a screenful of lines unpacks each chunk once.
  // Nodes are destroyed only by Replace and Assign, which forget them here.
  struct Unpacked {
    const Node* node = nullptr;
    std::string bytes;
  };
  mutable std::array<Unpacked, 8> unpacked;
  mutable std::size_t next_unpacked = 0;

  const Unpacked* Cached(const Node& node) const {
    for (const Unpacked& slot : unpacked) {
      if (slot.node == &node) return &slot;
    }
    return nullptr;
  }
  // The chunk's bytes, valid until the next call.
  std::string_view Bytes(const Node& node) const {
    if (!IsPacked(node)) return node.stored;
    if (const Unpacked* cached = Cached(node)) return cached->bytes;
    Unpacked& slot = unpacked[next_unpacked++ % unpacked.size()];
    slot.node = &node;
    return BytesOf(node, slot.bytes);
  }
  // The chunk's bytes, valid until scratch changes: copied from the cache
  // when a query has just unpacked them (a backward search reads the byte
  // before each piece), else unpacked.
  std::string_view BytesInto(const Node& node, std::string& scratch) const {
    if (const Unpacked* cached = IsPacked(node) ? Cached(node) : nullptr) {
      scratch.assign(cached->bytes);
      return scratch;
    }
    return BytesOf(node, scratch);
  }
  void ForgetUnpacked() {
    for (Unpacked& slot : unpacked) slot.node = nullptr;
  }

  // A tree of the chunks of bytes (which start and end on boundaries). A
  // small text's chunks view into it without a copy; a large one's are
  // packed, and its plain bytes go when this returns, unless it hardly
  // packs: then the rest of it stays plain rather than be held twice.
  NodePtr Build(std::string bytes) {
    const std::string_view text = bytes;
    std::vector<std::size_t> ends;
    for (std::size_t pos = 0; pos < text.size(); pos = ends.back()) {
      ends.push_back(ChunkEnd(text, pos));
    }
    // Counting (and packing) is most of the work of opening a file; the
    // chunks count on their own, so two threads share a large text, each
    // packing its half into a buffer of its own.
    const bool pack = text.size() >= kPackTextBytes;
    const std::size_t half = ends.size() / 2;
    const std::array<std::size_t, 2> part_start{0, half};
    std::vector<TextCounts> counts(ends.size());
    std::array<std::string, 2> packed;
    std::vector<std::size_t> packed_ends(pack ? ends.size() : 0);
    // The chunks of each half before this index are packed.
    std::array<std::size_t, 2> packed_until = part_start;
    const auto count = [&](std::size_t part, std::size_t last) {
      std::string& out = packed[part];
      std::optional<ChunkPacker> packer;
      if (pack) packer.emplace();
      std::size_t plain_size = 0;
      for (std::size_t i = part_start[part]; i < last; ++i) {
        const std::size_t start = i == 0 ? 0 : ends[i - 1];
        const std::string_view chunk = text.substr(start, ends[i] - start);
        counts[i] = CountText(chunk);
        if (!packer) continue;
        packer->Append(chunk, out);
        packed_ends[i] = out.size();
        packed_until[part] = i + 1;
        plain_size += chunk.size();
        if (plain_size >= kPackProbeBytes && out.size() * 8 > plain_size * 7) packer.reset();
      }
    };
    if (text.size() >= kParallelCountBytes && std::thread::hardware_concurrency() >= 2) {
      std::thread first_half(count, 0, half);
      count(1, ends.size());
      first_half.join();
    } else {
      count(0, half);
      count(1, ends.size());
    }
    std::shared_ptr<Buffer> plain;
    if (packed_until[0] < half || packed_until[1] < ends.size()) {
      plain = std::make_shared<Buffer>(std::move(bytes));
    }
    const std::string_view plain_text = plain ? std::string_view(plain->bytes) : "";
    std::array<std::shared_ptr<Buffer>, 2> stores;
    for (std::size_t part = 0; part < 2 && pack; ++part) {
      packed[part].shrink_to_fit();
      stores[part] = std::make_shared<Buffer>(std::move(packed[part]));
    }
    NodePtr tree;
    for (std::size_t i = 0; i < ends.size(); ++i) {
      const std::size_t part = i < half ? 0 : 1;
      std::unique_ptr<Node> node;
      if (i < packed_until[part]) {
        const std::size_t start = i == part_start[part] ? 0 : packed_ends[i - 1];
        node = std::make_unique<Node>(
            stores[part],
            std::string_view(stores[part]->bytes).substr(start, packed_ends[i] - start));
      } else {
        const std::size_t start = i == 0 ? 0 : ends[i - 1];
        node = std::make_unique<Node>(plain, plain_text.substr(start, ends[i] - start));
      }
      node->own = counts[i];
      node->sum = node->own;
      node->priority = NextPriority();
      tree = Merge(std::move(tree), std::move(node));
    }
    return tree;
  }

  // Copies the chunks that keep a mostly replaced buffer alive into
  // buffers of their own, so that its dead bytes are freed. Costs a walk
  // over the chunks, so it runs after large edits only.
  void Compact() {
    VisitNodes(root.get(), [](Node& node) {
      const Buffer& buffer = *node.buffer;
      if (buffer.bytes.size() < kCompactBufferBytes || buffer.live * 2 > buffer.bytes.size()) {
        return;
      }
      auto own = std::make_shared<Buffer>(std::string(node.stored));
      node.buffer->live -= node.stored.size();
      node.buffer = std::move(own);
      node.stored = node.buffer->bytes;
      node.buffer->live = node.stored.size();
    });
  }

  std::string Range(std::size_t offset, std::size_t length) const {
    std::string out;
    const std::size_t size = Totals().bytes;
    if (offset >= size) return out;
    length = std::min(length, size - offset);
    out.reserve(length);
    const auto read = [this](const Node& node) { return Bytes(node); };
    CollectRange(root.get(), 0, offset, offset + length, out, read);
    return out;
  }

  Located ByBytes(std::size_t offset) const {
    return Locate(root.get(), offset, [](const TextCounts& c) { return c.bytes; });
  }
  Located ByChars(std::size_t position) const {
    return Locate(root.get(), position, [](const TextCounts& c) { return c.chars; });
  }
  // The chunk holding the n-th line break (n >= 1).
  Located ByBreak(std::size_t n) const {
    return Locate(root.get(), n - 1, [](const TextCounts& c) { return c.breaks; });
  }
};

TextStore::TextStore() : impl_(std::make_unique<Impl>()) {}
TextStore::~TextStore() = default;

std::size_t TextStore::Size() const {
  return impl_->Totals().bytes;
}

TextCounts TextStore::Totals() const {
  return impl_->Totals();
}

std::string TextStore::Range(std::size_t offset, std::size_t length) const {
  return impl_->Range(offset, length);
}

std::string TextStore::Text() const {
  std::string text;
  text.reserve(Size());
  const auto append = [&text](const Node& node) { AppendBytes(node, text); };
  InOrder(impl_->root.get(), append);
  return text;
}

std::u16string TextStore::DecodedText() const {
  std::u16string text;
  text.reserve(impl_->Totals().chars);
  ForEachPiece([&text](std::string_view piece) { text += DecodeForView(piece); });
  return text;
}

void TextStore::ForEachPiece(const std::function<void(std::string_view)>& sink) const {
  std::string scratch;
  const auto hand = [&](const Node& node) { sink(BytesOf(node, scratch)); };
  InOrder(impl_->root.get(), hand);
}

void TextStore::VisitPieces(std::size_t from, std::size_t to, bool forward,
                            const PieceVisitor& visit) const {
  std::string scratch;
  const auto read = [&](const Node& node) { return impl_->BytesInto(node, scratch); };
  VisitRange(impl_->root.get(), 0, from, to, forward, visit, read);
}

std::size_t TextStore::LineStart(std::size_t raw_line) const {
  if (raw_line == 0) return 0;
  if (raw_line > impl_->Totals().breaks) return Size();
  const Located at = impl_->ByBreak(raw_line);
  return at.before.bytes + OffsetAfterBreak(impl_->Bytes(*at.node), raw_line - at.before.breaks);
}

std::size_t TextStore::LineOfOffset(std::size_t offset) const {
  if (offset >= Size()) return impl_->Totals().breaks;
  const Located at = impl_->ByBytes(offset);
  return at.before.breaks + CountBreaksBefore(impl_->Bytes(*at.node), offset - at.before.bytes);
}

std::size_t TextStore::CharOfOffset(std::size_t offset) const {
  if (offset >= Size()) return impl_->Totals().chars;
  const Located at = impl_->ByBytes(offset);
  std::size_t chars = 0;
  CharStartOf(impl_->Bytes(*at.node), offset - at.before.bytes, &chars);
  return at.before.chars + chars;
}

std::size_t TextStore::OffsetOfChar(std::size_t char_position) const {
  if (char_position >= impl_->Totals().chars) return Size();
  const Located at = impl_->ByChars(char_position);
  return at.before.bytes +
         OffsetOfCharIndex(impl_->Bytes(*at.node), char_position - at.before.chars);
}

TextChange TextStore::Replace(std::size_t offset, std::size_t length, std::string_view bytes) {
  const TextCounts totals = impl_->Totals();
  if (offset == 0 && length == totals.bytes) {
    // The whole text (Replace All, undoing it): nothing around the edit can
    // read differently, so the counts say what changed without comparing.
    return ReplaceAll(std::string(bytes));
  }
  const std::size_t edit_end = offset + length;
  // The chunks to rebuild: from the one holding the byte before the edit (a
  // lone lead byte or CR there may join the new bytes) to the one holding
  // the byte after it (which may join them likewise).
  Located first = impl_->ByBytes(offset > 0 ? offset - 1 : 0);
  std::size_t region_start = first.before.bytes;
  std::size_t region_end = totals.bytes;
  if (edit_end < totals.bytes) {
    const Located last = impl_->ByBytes(edit_end);
    region_end = last.before.bytes + last.node->own.bytes;
  }
  std::string old_region;
  std::string new_region;
  for (;;) {
    old_region = impl_->Range(region_start, region_end - region_start);
    new_region = old_region;
    new_region.replace(offset - region_start, length, bytes);
    // Widen while the chunk after the region would read differently: its
    // first byte may complete the region's last character (a lead byte, or
    // the LF of a CR), or the region is too small to stand alone.
    if (region_end < totals.bytes) {
      const Located next = impl_->ByBytes(region_end);
      bool joins = new_region.size() < kMinChunk;
      if (!joins && !new_region.empty()) {
        const std::string with_next =
            new_region.substr(new_region.size() - 1) + impl_->Bytes(*next.node)[0];
        const auto last = static_cast<unsigned char>(with_next[0]);
        joins = (last == '\r' && with_next[1] == '\n') ||
                (IsSjisLeadByte(last) && SjisCharLength(with_next, 0) == 2 &&
                 LastCharStart(new_region) == new_region.size() - 1);
      }
      if (joins) {
        region_end += next.node->own.bytes;
        continue;
      }
    } else if (new_region.size() < kMinChunk && region_start > 0) {
      first = impl_->ByBytes(region_start - 1);
      region_start = first.before.bytes;
      continue;
    }
    break;
  }

  TextChange change =
      DescribeChange(old_region, new_region, offset - region_start, length, bytes.size());
  change.offset += region_start;
  change.char_position += first.before.chars;

  auto [left, rest] = Split(std::move(impl_->root), region_start);
  auto [old_middle, right] = Split(std::move(rest), region_end - region_start);
  old_middle.reset();
  impl_->ForgetUnpacked();
  impl_->root =
      Merge(Merge(std::move(left), impl_->Build(std::move(new_region))), std::move(right));
  if (old_region.size() >= kCompactBufferBytes) impl_->Compact();
  return change;
}

void TextStore::Assign(std::string bytes) {
  impl_->root.reset();
  impl_->ForgetUnpacked();
  [[maybe_unused]] const std::size_t size = bytes.size();
  impl_->root = impl_->Build(std::move(bytes));
#ifdef __GLIBC__
  // The plain bytes of a large text (and the text this one replaced) have
  // just been freed; without this the allocator may keep them for later.
  if (size >= kTrimAfterBytes) malloc_trim(0);
#endif
}

TextChange TextStore::ReplaceAll(std::string bytes) {
  const TextCounts old_counts = Totals();
  Assign(std::move(bytes));
  const TextCounts new_counts = Totals();
  return TextChange{0, old_counts.bytes, new_counts.bytes, 0, old_counts.chars, new_counts.chars};
}

}  // namespace morvik
