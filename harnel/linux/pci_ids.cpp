// Looking names up in the pci.ids database, reading only the parts a lookup needs.

#include "harnel/linux/pci_ids.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <utility>

#include "harnel/linux/pci.h"
#include "harnel/linux/pci_ids_line.h"

namespace harnel::linux {

std::string_view PciIdsText::From(std::size_t offset, std::size_t minimum) {
  if (offset >= size_) return {};
  if (file_ != nullptr) {
    const bool inside = offset >= windowStart_ && offset - windowStart_ < window_.size();
    const std::size_t wanted = std::min({minimum, buffer_.size(), size_ - offset});
    if (!inside || window_.size() - (offset - windowStart_) < wanted) {
      ++reads_;
      const std::size_t got = file_->ReadAt(offset, buffer_.data(), buffer_.size());
      windowStart_ = offset;
      window_ = std::string_view(buffer_.data(), got);
    }
  }
  return window_.substr(offset - windowStart_);
}

std::string_view PciIdsText::Before(std::size_t offset, std::size_t after, std::size_t& start) {
  offset = std::min(offset, size_);
  const std::size_t window = backBuffer_.size() - kBackTail;
  after = std::min({after, kBackTail, size_ - offset});
  start = offset > window ? offset - window : 0;
  const std::size_t length = offset - start + after;
  if (file_ == nullptr) return window_.substr(start, length);
  ++reads_;
  return std::string_view(backBuffer_.data(), file_->ReadAt(start, backBuffer_.data(), length));
}

std::string_view PciIdsText::Line(std::size_t offset, std::string& spill) {
  offset = std::min(offset, size_);
  if (file_ == nullptr) {
    const std::string_view rest = window_.substr(offset);
    return rest.substr(0, rest.find('\n'));
  }
  // Each read moves on by what it got, and the file's end ends the line: a line as long as
  // the file is read once.
  constexpr std::size_t kChunk = 4096;
  spill.clear();
  for (std::size_t at = offset; at < size_;) {
    const std::size_t before = spill.size();
    spill.resize(before + kChunk);
    ++reads_;
    const std::size_t got = file_->ReadAt(at, spill.data() + before, kChunk);
    spill.resize(before + got);
    const std::size_t feed = spill.find('\n', before);
    if (feed != std::string::npos) {
      spill.resize(feed);
      break;
    }
    if (got == 0) break;
    at += got;
  }
  return spill;
}

namespace {

// Classes follow every vendor in the file, so their keys sort after every vendor ID.
constexpr std::uint32_t kClassKey = 0x10000;
constexpr std::size_t kModelDigits = 4, kSubclassDigits = 2;
// Enough of a line to read a key from in the common case: a tab and four digits, white space
// and the first letter of the name; a line that needs more is read whole.
constexpr std::size_t kKeyBytes = 8;
// As many bytes as a read window holds.
constexpr std::size_t kWholeWindow = std::string_view::npos;
// How far a binary-search probe first looks ahead for an entry before it looks back.
constexpr std::size_t kProbeBytes = 4096;

// A vendor or class line's start and key: the searches look at the top-level entries only.
struct Entry {
  std::size_t offset = 0;
  std::uint32_t key = 0;
};
using Probe = std::pair<std::size_t, std::size_t>;

// What the binary-search probes of a database found: a pure function of its content. The
// searches for the several vendors and classes of a selection, and of later selections in the
// same file, start alike; a search makes about 40 probes.
struct ProbeMemo {
  std::map<Probe, Entry> next;
  std::map<Probe, std::optional<Entry>> previous;
  std::size_t Size() const { return next.size() + previous.size(); }
};

// Probes kept beyond this are started afresh, bounding a long-running process.
constexpr std::size_t kMemoLimit = 4096;

// Lines of the database by their start offsets, and binary search over its top-level entries.
class IdsLines {
 public:
  IdsLines(PciIdsText& ids, ProbeMemo& memo) : ids_(ids), memo_(memo) {}

  std::size_t Size() const { return ids_.Size(); }

  // The start of the line after the one that holds `offset`; the size at the last line.
  std::size_t NextLine(std::size_t offset) {
    for (;;) {
      const std::string_view bytes = ids_.From(offset);
      if (bytes.empty()) return Size();
      const std::size_t newline = bytes.find('\n');
      if (newline != std::string_view::npos) return offset + newline + 1;
      offset += bytes.size();
    }
  }

  // The line at `start` whole, without its line feed, from `seen`, the bytes read from there
  // on, or read again where they stop inside it. The windows of the text stay as they were.
  std::string_view WholeLine(std::size_t start, std::string_view seen) {
    const std::size_t feed = seen.find('\n');
    if (feed != std::string_view::npos) return seen.substr(0, feed);
    if (start + seen.size() >= Size()) return seen;
    return ids_.Line(start, spill_);
  }

  // The key of the line at `start`, `seen` being the bytes read from there on, when it heads a
  // block: a vendor ID, or kClassKey plus a class ID.
  std::optional<std::uint32_t> KeyOf(std::size_t start, std::string_view seen) {
    if (seen.empty() || !MayBeTopLevel(seen[0])) return std::nullopt;  // most lines, unread
    // Bytes that already show an ID, white space and a name's first letter decide for the
    // whole line, which is read only where they do not.
    PciIdsLine line = ReadPciIdsLine(seen.substr(0, seen.find('\n')), PciIdsBlock::None);
    if (line.opens == PciIdsBlock::None && seen.find('\n') == std::string_view::npos) {
      line = ReadPciIdsLine(WholeLine(start, seen), PciIdsBlock::None);
    }
    if (line.opens == PciIdsBlock::None) return std::nullopt;
    return line.opens == PciIdsBlock::Class ? kClassKey | line.id : line.id;
  }

  // KeyOf the line at `start`.
  std::optional<std::uint32_t> Key(std::size_t start) {
    return KeyOf(start, ids_.From(start, kKeyBytes));
  }

  // The first entry in [begin, end) whose key is `key` or above; `end` when there is none.
  // The entries of the range must be in ascending order of key.
  std::size_t LowerBound(std::size_t begin, std::size_t end, std::uint32_t key) {
    // Entries that start before `low` have smaller keys, entries from `high` on larger or equal
    // ones, and `found` is the first entry from `high` on.
    std::size_t low = begin, high = end, found = end;
    while (low < high) {
      const std::size_t middle = low + (high - low) / 2;
      // A probe that lands inside a long block (the models of a big vendor) finds the block's
      // head behind it sooner than the next entry ahead; so one window ahead first, then back.
      const std::size_t ahead = std::min(high, middle + kProbeBytes);
      Entry entry = NextEntry(middle, ahead);
      if (entry.offset == ahead) {
        if (const std::optional<Entry> before = PreviousEntry(low, middle)) {
          if (before->key < key) {
            low = ahead;
          } else {
            high = found = before->offset;
          }
          continue;
        }
        entry = NextEntry(ahead, high);
        if (entry.offset == high) break;  // no entry in [low, high)
      }
      if (entry.key < key) {
        low = entry.offset + 1;  // the next line start is the first that may hold a larger key
      } else {
        high = found = entry.offset;
      }
    }
    return found;
  }

  // LowerBound for a key that sorts near the end of the range (the classes, which close the
  // file): the range is widened from its end until its first entry sorts below `key`, so that
  // the search never wades through the big vendor blocks before them.
  std::size_t LowerBoundNearEnd(std::size_t begin, std::size_t end, std::uint32_t key) {
    for (std::size_t span = kProbeBytes;; span *= 2) {
      const std::size_t start = end - std::min(span, end - begin);
      const Entry first = NextEntry(start, end);
      if (start == begin || (first.offset < end && first.key < key)) {
        return LowerBound(start, end, key);
      }
    }
  }

  // Appends the whole line at `start` to `out` with its line break, one added where the text
  // ends without it: the lines appended next (the classes after the last vendor of a database
  // out of order) stay lines of their own.
  void AppendLine(std::size_t start, std::string& out) {
    const std::size_t end = NextLine(start);
    while (start < end) {
      const std::string_view bytes = ids_.From(start).substr(0, end - start);
      if (bytes.empty()) break;
      out.append(bytes);
      start += bytes.size();
    }
    if (!out.ends_with('\n')) out += '\n';
  }

  // The first entry in [begin, end) with `key`; nullopt when there is none. Binary search
  // finds it in a sorted range; a range out of order is searched line by line.
  std::optional<std::size_t> Find(std::size_t begin, std::size_t end, std::uint32_t key) {
    const std::size_t bound =
        key >= kClassKey ? LowerBoundNearEnd(begin, end, key) : LowerBound(begin, end, key);
    if (bound < end && Key(bound) == key) return bound;
    for (std::size_t start = begin; start < end; start = NextLine(start)) {
      if (Key(start) == key) return start;
    }
    return std::nullopt;
  }

  // Appends the first line that heads a block with `key`, and the lines of its `members` in
  // every block with that key, to `out`. A block is read line by line to its end: finding its
  // members by binary search would have to read that far anyway to learn where it stops.
  void AppendBlock(std::uint32_t key, const std::set<std::uint32_t>& members, std::string& out) {
    std::optional<std::size_t> head = Find(0, Size(), key);
    if (!head) return;
    AppendLine(*head, out);
    const PciIdsBlock block = key >= kClassKey ? PciIdsBlock::Class : PciIdsBlock::Vendor;
    const std::size_t memberDigits = block == PciIdsBlock::Class ? kSubclassDigits : kModelDigits;
    // Most lines of a big block are unwanted (the Intel block has 8,500): a line one tab in
    // whose second byte is not the first digit of a wanted ID, in either case, is passed over
    // unread.
    std::array<bool, 256> firstDigits{};
    for (const std::uint32_t member : members) {
      const unsigned digit = member >> 4 * (memberDigits - 1) & 0xFu;
      firstDigits[static_cast<unsigned char>("0123456789abcdef"[digit])] = true;
      firstDigits[static_cast<unsigned char>("0123456789ABCDEF"[digit])] = true;
    }
    std::vector<std::size_t> found;
    while (head) {
      // The block ends at the next top-level line; one that heads a block with the same key
      // goes on with it.
      std::optional<std::size_t> next;
      WalkLines(NextLine(*head), Size(), [&](std::size_t start, std::string_view seen) {
        if (!MayBeTopLevel(seen[0])) {
          if (seen[0] == '#' || seen.size() < 2 ||
              !firstDigits[static_cast<unsigned char>(seen[1])])
            return true;
        }
        const PciIdsLine line = ReadPciIdsLine(WholeLine(start, seen), block);
        if (line.level == PciIdsLevel::Top) {
          if (line.opens == block && line.id == (key & 0xFFFFu)) return true;
          if (line.opens == PciIdsBlock::None) next = start;
          return false;
        }
        if (line.level == PciIdsLevel::Member && line.Names() && members.contains(line.id))
          found.push_back(start);
        return true;
      });
      // After a line that heads no block, the sorted order says nothing of what follows: a
      // later block with the key is searched for. After the head of another block, none comes.
      head = next ? Find(*next, Size(), key) : std::nullopt;
    }
    for (const std::size_t line : found) AppendLine(line, out);
  }

  // Calls `visit(start, line)` for each line that starts in [offset, limit), `offset` being a
  // line start, in order until it returns false. `line` holds the whole line with its line
  // feed, or all that is left of the text, or, for a line longer than a read window, the
  // window; it is valid only during the call. The lines are walked inside each read window
  // rather than one read per line: the Intel block alone has 8,000 lines.
  template <typename Visit>
  void WalkLines(std::size_t offset, std::size_t limit, Visit visit) {
    bool cut = false;  // a window ended inside the line at `offset`: read a whole one from there
    while (offset < limit) {
      const std::string_view window = ids_.From(offset, cut ? kWholeWindow : kKeyBytes);
      if (window.empty()) return;
      const bool fromCut = std::exchange(cut, false);
      const bool windowEndsText = offset + window.size() >= Size();
      std::size_t at = 0;  // the current line's start within the window
      for (;;) {
        const std::string_view rest = window.substr(at);
        if (offset + at >= limit) return;
        const std::size_t newline = rest.find('\n');
        if (newline == std::string_view::npos && !windowEndsText && (at > 0 || !fromCut)) {
          offset += at;  // the line runs past the window: read again from its start
          cut = true;
          break;
        }
        if (!visit(offset + at, rest)) return;
        if (newline == std::string_view::npos) {
          offset = NextLine(offset + at);  // a line longer than a window
          break;
        }
        at += newline + 1;
        if (at == window.size()) {
          offset += at;
          break;
        }
      }
    }
  }

 private:
  // The searches for the several vendors and classes of a selection, and of later selections
  // in the same file, start alike, so their first probes are answered from what the earlier
  // searches found, without reading again.
  std::optional<Entry> PreviousEntry(std::size_t low, std::size_t offset) {
    const Probe probe{low, offset};
    const auto known = memo_.previous.find(probe);
    if (known != memo_.previous.end()) return known->second;
    std::optional<Entry> entry;
    if (const std::optional<std::size_t> start = FindPreviousEntry(low, offset)) {
      entry = Entry{*start, *Key(*start)};
    }
    memo_.previous.emplace(probe, entry);
    return entry;
  }

  // As PreviousEntry: the first entry that starts in [offset, limit), `limit` with key 0 when
  // there is none.
  Entry NextEntry(std::size_t offset, std::size_t limit) {
    const Probe probe{offset, limit};
    const auto known = memo_.next.find(probe);
    if (known != memo_.next.end()) return known->second;
    Entry entry{limit, 0};
    WalkLines(offset == 0 ? 0 : NextLine(offset - 1), limit,
              [&](std::size_t start, std::string_view line) {
                const std::optional<std::uint32_t> key = KeyOf(start, line);
                if (!key) return true;
                entry = Entry{start, *key};
                return false;
              });
    memo_.next.emplace(probe, entry);
    return entry;
  }

  // The last entry that starts in [low, offset); nullopt when there is none.
  std::optional<std::size_t> FindPreviousEntry(std::size_t low, std::size_t offset) {
    while (offset > low) {
      std::size_t start = 0;
      const std::string_view bytes = ids_.Before(offset, kKeyBytes, start);
      if (bytes.empty()) return std::nullopt;
      // A line starts after each line break; those that start before `offset` follow the
      // breaks at indices up to limit - 2.
      std::size_t limit = offset - start;
      while (limit >= 2) {
        // memrchr, unlike rfind, looks at many bytes per step: a probe inside the Intel
        // block walks back up to 370 KB to the block's head.
        const void* found = ::memrchr(bytes.data(), '\n', limit - 1);
        if (found == nullptr) break;
        const std::size_t newline =
            static_cast<std::size_t>(static_cast<const char*>(found) - bytes.data());
        const std::size_t line = start + newline + 1;
        if (line < low) return std::nullopt;
        if (KeyOf(line, bytes.substr(newline + 1))) return line;
        limit = newline + 1;
      }
      if (start == 0) {
        return low == 0 && KeyOf(0, bytes) ? std::optional<std::size_t>(0) : std::nullopt;
      }
      offset = start + 1;  // the next window back ends with the byte before `start`
    }
    return std::nullopt;
  }

  PciIdsText& ids_;
  ProbeMemo& memo_;
  std::string spill_;  // a line longer than the bytes read of it
};

}  // namespace

std::string SelectPciIds(PciIdsText& ids, const std::vector<PciDevice>& devices) {
  // Ordered, so that the lines come out in ascending order of ID, the database's own.
  std::map<std::uint32_t, std::set<std::uint32_t>> vendors, classes;
  for (const PciDevice& device : devices) {
    vendors[device.vendor].insert(device.device);
    classes[kClassKey | device.BaseClass()].insert(device.ClassAndSubclass() & 0xFFu);
  }
  const auto select = [&](ProbeMemo& memo) {
    IdsLines lines(ids, memo);
    std::string selected;
    for (const auto& [vendor, models] : vendors) lines.AppendBlock(vendor, models, selected);
    for (const auto& [base, subclasses] : classes) lines.AppendBlock(base, subclasses, selected);
    return selected;
  };
  if (ids.File() == nullptr) {
    ProbeMemo ownMemo;
    return select(ownMemo);
  }
  static FileMemo<ProbeMemo> shared;
  return shared.With(ids.File()->Identity(), kMemoLimit, select);
}

}  // namespace harnel::linux
