#include "framework/row_sort.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>

#include "framework/prefetch.h"
#include "framework/yield.h"

namespace {

// Long loops give the event loop its turn through the yield hook every this many rows.
constexpr size_t kYieldEvery = 1u << 16;

// body(i) for every i below `count`, the yield hook between blocks of rows.
template <typename Body>
void ForEachRow(size_t count, Body body) {
  for (size_t begin = 0; begin < count; begin += kYieldEvery) {
    if (begin != 0) RuntimeBackgroundTasks(kYieldEvery);
    const size_t end = std::min(count, begin + kYieldEvery);
    for (size_t i = begin; i < end; ++i) body(i);
  }
}

// Keys that order as unsigned numbers the way the numbers order in `direction`: the sign bit
// flipped, and every bit for descending.
uint32_t KeyMask(SortDirection direction) {
  return direction == SortDirection::kAscending ? 0x80000000u : 0x7FFFFFFFu;
}

// Each count in `starts` replaced by the sum of those before it: where that key's rows begin.
void CountsToStarts(std::vector<uint32_t>& starts) {
  uint32_t sum = 0;
  for (uint32_t& start : starts) sum += std::exchange(start, sum);
}

// The stable counting sort behind both orders by number, 16 bits of the key at a time:
// keyAt(i) and rowAt(i) are the key and the stored number of the row at position i. Keys
// whose upper halves are all the same (counts below 65536: nearly always all of them) need
// one placing pass, others two.
template <typename KeyAt, typename RowAt>
std::vector<uint32_t> CountingSort(size_t count, KeyAt keyAt, RowAt rowAt) {
  std::vector<uint32_t> sorted(count);
  std::vector<uint32_t> starts(size_t{1} << 16);
  uint32_t everyKey = ~0u, anyKey = 0;
  for (size_t i = 0; i < count; ++i) {
    const uint32_t key = keyAt(i);
    ++starts[key & 0xFFFFu];
    everyKey &= key;
    anyKey |= key;
  }
  CountsToStarts(starts);
  if ((everyKey ^ anyKey) >> 16 == 0) {
    ForEachRow(count, [&](size_t i) { sorted[starts[keyAt(i) & 0xFFFFu]++] = rowAt(i); });
    return sorted;
  }
  std::vector<uint32_t> keysByLow(count), rowsByLow(count);
  ForEachRow(count, [&](size_t i) {
    const uint32_t key = keyAt(i);
    const uint32_t at = starts[key & 0xFFFFu]++;
    keysByLow[at] = key;
    rowsByLow[at] = rowAt(i);
  });
  std::fill(starts.begin(), starts.end(), 0);
  for (const uint32_t key : keysByLow) ++starts[key >> 16];
  CountsToStarts(starts);
  ForEachRow(count, [&](size_t i) { sorted[starts[keysByLow[i] >> 16]++] = rowsByLow[i]; });
  return sorted;
}

// The first 8 bytes of a text as a big-endian number, zeros past its end: numbers order as
// the texts' first 8 bytes do.
inline uint64_t Prefix(const TextColumn& texts, uint32_t row) {
  const uint32_t start = texts.Offsets()[row];
  const uint32_t length = texts.Offsets()[row + 1] - start;
  uint64_t word = 0;
  if (static_cast<size_t>(start) + 8 <= texts.Bytes().size()) {
    std::memcpy(&word, texts.Bytes().data() + start, 8);
    if (length < 8) word &= (uint64_t{1} << (8 * length)) - 1;
  } else {
    std::memcpy(&word, texts.Bytes().data() + start, std::min<uint32_t>(length, 8));
  }
  return __builtin_bswap64(word);
}

// The yield hook for the rows about to be sorted, kept out of line so that the sorting code
// around it is compiled as if it were not there.
[[gnu::noinline]] void YieldBefore(size_t rows) { RuntimeBackgroundTasks(static_cast<uint32_t>(rows)); }

int CompareBytes(std::string_view a, std::string_view b) {
  const int order = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
  if (order != 0) return order;
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

}  // namespace

std::vector<uint32_t> StableOrderByNumber(const std::vector<int32_t>& numbers, SortDirection direction) {
  const uint32_t mask = KeyMask(direction);
  return CountingSort(
      numbers.size(), [&](size_t i) { return static_cast<uint32_t>(numbers[i]) ^ mask; },
      [](size_t i) { return static_cast<uint32_t>(i); });
}

std::vector<uint32_t> StableOrderByNumber(const std::vector<int32_t>& numbers, const std::vector<uint32_t>& rows,
                                          SortDirection direction) {
  // The rows come in any order, so each number is a read from far away: made once into keys
  // in the rows' order, they are then read in sequence.
  const uint32_t mask = KeyMask(direction);
  std::vector<uint32_t> keys(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) keys[i] = static_cast<uint32_t>(numbers[rows[i]]) ^ mask;
  return CountingSort(
      rows.size(), [&](size_t i) { return keys[i]; }, [&](size_t i) { return rows[i]; });
}

std::vector<uint32_t> StableOrderByBytes(const TextColumn& texts, const std::vector<uint32_t>& rows,
                                         SortDirection direction) {
  const bool ascending = direction == SortDirection::kAscending;
  const size_t count = rows.size();
  // Each row's first 6 bytes as a number, reversed for descending so that one ascending
  // sort on (number, position) serves both directions: the first two bytes pick its
  // bucket, the next four are its key within the bucket. Rows in any order make these
  // reads random; fetching ahead hides most of the waiting.
  const uint32_t* offsets = texts.Offsets().data();
  const char* bytes = texts.Bytes().data();
  std::vector<uint16_t> bucketOf(count);
  std::vector<uint32_t> keys(count);
  std::vector<uint32_t> bucketStarts(65537, 0);
  ForEachRow(count, [&](size_t i) {
    if (i + 32 < count) Prefetch(offsets + rows[i + 32]);
    if (i + 16 < count) Prefetch(bytes + offsets[rows[i + 16]]);
    const uint64_t prefix = ascending ? Prefix(texts, rows[i]) : ~Prefix(texts, rows[i]);
    bucketOf[i] = static_cast<uint16_t>(prefix >> 48);
    keys[i] = static_cast<uint32_t>(prefix >> 16);
    ++bucketStarts[bucketOf[i] + 1u];
  });
  for (size_t b = 1; b < bucketStarts.size(); ++b) bucketStarts[b] += bucketStarts[b - 1];

  // Keys and rows bucketed, in their order within a bucket.
  std::vector<uint32_t> bucketedKeys(count);
  std::vector<uint32_t> sorted(count);
  {
    std::vector<uint32_t> next(bucketStarts.begin(), bucketStarts.end() - 1);
    for (size_t i = 0; i < count; ++i) {
      const uint32_t at = next[bucketOf[i]]++;
      bucketedKeys[at] = keys[i];
      sorted[at] = rows[i];
    }
    bucketOf = std::vector<uint16_t>();
    keys = std::vector<uint32_t>();
  }

  // Each bucket by its keys and then, where those are equal, by the whole texts; the
  // earlier row first where the texts are equal too.
  struct Entry {
    uint32_t key;
    uint32_t place;  // in the bucket, which is the order the rows had
    uint32_t row;
  };
  std::vector<Entry> bucket;
  const auto byWholeText = [&](const Entry& a, const Entry& b) {
    const int order = CompareBytes(texts.At(static_cast<int32_t>(a.row)), texts.At(static_cast<int32_t>(b.row)));
    if (order != 0) return ascending ? order < 0 : order > 0;
    return a.place < b.place;
  };
  for (size_t b = 0; b < 65536; ++b) {
    const uint32_t begin = bucketStarts[b], end = bucketStarts[b + 1];
    if (end - begin < 2) continue;
    RuntimeBackgroundTasks(end - begin);
    // By the third byte first (a stable counting pass), then each part by comparison.
    uint32_t partStarts[257] = {};
    for (uint32_t k = begin; k < end; ++k) ++partStarts[(bucketedKeys[k] >> 24) + 1];
    for (size_t d = 1; d < 257; ++d) partStarts[d] += partStarts[d - 1];
    bucket.resize(end - begin);
    {
      uint32_t next[256];
      std::copy(partStarts, partStarts + 256, next);
      for (uint32_t k = begin; k < end; ++k) bucket[next[bucketedKeys[k] >> 24]++] = {bucketedKeys[k], k - begin, sorted[k]};
    }
    // Words that share their first letters can fill one bucket with most of the rows: in a
    // large bucket the yield hook runs before each part and between blocks of runs.
    const bool largeBucket = end - begin >= kPassesPerClockCheck;
    for (size_t d = 0; d < 256; ++d) {
      if (partStarts[d + 1] - partStarts[d] < 2) continue;
      if (largeBucket) YieldBefore(partStarts[d + 1] - partStarts[d]);
      std::sort(bucket.begin() + partStarts[d], bucket.begin() + partStarts[d + 1], [](const Entry& x, const Entry& y) {
        return x.key != y.key ? x.key < y.key : x.place < y.place;
      });
    }
    size_t sinceYield = 0;
    for (size_t run = 0; run < bucket.size();) {
      size_t runEnd = run + 1;
      while (runEnd < bucket.size() && bucket[runEnd].key == bucket[run].key) ++runEnd;
      if (runEnd - run > 1) std::sort(bucket.begin() + run, bucket.begin() + runEnd, byWholeText);
      sinceYield += runEnd - run;
      if (largeBucket && sinceYield >= kYieldEvery) YieldBefore(std::exchange(sinceYield, 0));
      run = runEnd;
    }
    for (size_t k = 0; k < bucket.size(); ++k) sorted[begin + k] = bucket[k].row;
  }
  return sorted;
}
