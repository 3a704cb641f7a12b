// Makes the benchmark corpora whose vocabulary grows through the file, in FOLDER, each unless
// it is already there:
//   growing.txt              1 GB of made-up prose: sentences, commas, capitals, lines of about
//                            70 columns and paragraphs. Each word is the word of an
//                            exponentially distributed rank over a pool of 4 M made-up words, so
//                            that rare words keep appearing to the end, as in a long real text:
//                            a 256 KiB piece has about 0.55 distinct words per word, the whole
//                            file about 140 k distinct words.
//   prose-then-distinct.txt  256 MB of that prose, then 128 MB of all-new words.
//   distinct-then-prose.txt  128 MB of all-new words, then 256 MB of that prose.
// The all-new words are those of distinct.txt: 3 to 9 random letters of either case, 12 a line.
// The output depends only on the seeds below, never on the machine. Each file is written under
// a .part name and renamed when complete, so that no reader sees half a file.
// Usage: make_corpora FOLDER

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace {

constexpr std::size_t megabyte = 1000 * 1000;
constexpr std::size_t bufferSize = 16 << 20;
constexpr std::uint32_t poolSize = 1 << 22;
// The mean rank. It sets both the distinct share in a short piece and the vocabulary of the
// whole file; see the numbers in the header comment.
constexpr double meanRank = 14000;

// splitmix64: fast, and the same sequence everywhere (unlike the standard distributions).
class Random {
 public:
  explicit Random(std::uint64_t seed) : state(seed) {}
  std::uint64_t Next() {
    std::uint64_t mixed = (state += 0x9e3779b97f4a7c15ull);
    mixed = (mixed ^ (mixed >> 30)) * 0xbf58476d1ce4e5b9ull;
    mixed = (mixed ^ (mixed >> 27)) * 0x94d049bb133111ebull;
    return mixed ^ (mixed >> 31);
  }
  // Uniform in [0, bound).
  std::uint32_t Below(std::uint32_t bound) { return static_cast<std::uint32_t>(((Next() >> 32) * bound) >> 32); }
  // Uniform in (0, 1].
  double Fraction() { return (static_cast<double>(Next() >> 11) + 1.0) * 0x1.0p-53; }

 private:
  std::uint64_t state;
};

// The made-up words, in rank order: the rank's syllables (a consonant and a vowel each, in
// bijective base 100, so fewer for low ranks) and then no letter, n, s or r. Every rank gets a
// different word, and the common ones are short.
class WordPool {
 public:
  WordPool() {
    static constexpr char consonants[] = "bdfghklmnprstvwzcjyq";
    static constexpr char vowels[] = "aeiou";
    static constexpr char endings[] = {'\0', 'n', 's', 'r'};
    starts.reserve(poolSize + 1);
    letters.reserve(std::size_t(poolSize) * 8);
    for (std::uint32_t rank = 0; rank < poolSize; ++rank) {
      starts.push_back(static_cast<std::uint32_t>(letters.size()));
      std::uint64_t number = rank / 4 + 1;
      std::string word;
      while (number > 0) {
        const std::uint64_t digit = (number - 1) % 100;
        word.insert(word.begin(), {consonants[digit / 5], vowels[digit % 5]});
        number = (number - 1) / 100;
      }
      if (endings[rank % 4] != '\0') word += endings[rank % 4];
      letters += word;
    }
    starts.push_back(static_cast<std::uint32_t>(letters.size()));
  }
  const char* Letters(std::uint32_t rank) const { return letters.data() + starts[rank]; }
  std::uint32_t Length(std::uint32_t rank) const { return starts[rank + 1] - starts[rank]; }

 private:
  std::vector<std::uint32_t> starts;
  std::string letters;
};

// Collects text and writes it to the file in large blocks.
class BlockWriter {
 public:
  explicit BlockWriter(std::FILE* file) : file(file) { block.reserve(bufferSize + 4096); }
  ~BlockWriter() { Flush(); }
  void Append(const char* text, std::size_t length) { block.append(text, length); }
  void Append(char c) { block.push_back(c); }
  char& Last() { return block.back(); }
  std::size_t Written() const { return written + block.size(); }
  void FlushWhenFull() {
    if (block.size() >= bufferSize) Flush();
  }
  bool Failed() const { return failed; }

 private:
  void Flush() {
    if (std::fwrite(block.data(), 1, block.size(), file) != block.size()) failed = true;
    written += block.size();
    block.clear();
  }
  std::FILE* file;
  std::string block;
  std::size_t written = 0;
  bool failed = false;
};

// Prose until the file holds `size` bytes, ending with a whole paragraph.
void WriteProse(BlockWriter& writer, std::size_t size, const WordPool& pool, Random& random) {
  const double scale = meanRank;
  std::size_t column = 0;
  while (writer.Written() < size) {
    const std::uint32_t sentences = 2 + random.Below(6);
    for (std::uint32_t sentence = 0; sentence < sentences; ++sentence) {
      const std::uint32_t words = 4 + random.Below(20);
      for (std::uint32_t word = 0; word < words; ++word) {
        std::uint32_t rank;
        do rank = static_cast<std::uint32_t>(-scale * std::log(random.Fraction()));
        while (rank >= poolSize);
        const std::uint32_t length = pool.Length(rank);
        const char* letters = pool.Letters(rank);
        writer.Append(word == 0 ? static_cast<char>(letters[0] - 'a' + 'A') : letters[0]);
        writer.Append(letters + 1, length - 1);
        column += length + 1;
        if (word + 1 == words) {
          const std::uint32_t ending = random.Below(32);
          writer.Append(ending == 0 ? '!' : ending < 3 ? '?' : '.');
        } else if (random.Below(10) == 0) {
          writer.Append(',');
        }
        if (column >= 70) {
          writer.Append('\n');
          column = 0;
        } else {
          writer.Append(' ');
        }
      }
    }
    if (column > 0) writer.Last() = '\n';
    writer.Append('\n');
    column = 0;
    writer.FlushWhenFull();
  }
}

// Lines of 12 words of 3 to 9 random letters of either case until the file holds `size` bytes.
void WriteDistinct(BlockWriter& writer, std::size_t size, Random& random) {
  static constexpr char alphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
  while (writer.Written() < size) {
    for (int word = 0; word < 12; ++word) {
      const std::uint32_t length = 3 + random.Below(7);
      for (std::uint32_t letter = 0; letter < length; ++letter) writer.Append(alphabet[random.Below(52)]);
      writer.Append(word == 11 ? '\n' : ' ');
    }
    writer.FlushWhenFull();
  }
}

enum class Part { Prose, Distinct };

struct Corpus {
  const char* name;
  std::vector<std::pair<Part, std::size_t>> parts;  // each part's size in bytes
};

bool Make(const std::filesystem::path& folder, const Corpus& corpus, const WordPool& pool) {
  const std::filesystem::path target = folder / corpus.name;
  if (std::filesystem::exists(target)) return true;
  const std::filesystem::path partial = folder / (std::string(corpus.name) + ".part");
  std::FILE* file = std::fopen(partial.c_str(), "wb");
  if (file == nullptr) {
    std::perror(partial.c_str());
    return false;
  }
  bool failed;
  {
    BlockWriter writer(file);
    Random random(16);
    std::size_t end = 0;
    for (const auto& [part, size] : corpus.parts) {
      end += size;
      if (part == Part::Prose) WriteProse(writer, end, pool, random);
      else WriteDistinct(writer, end, random);
    }
    failed = writer.Failed();
  }
  if (std::fclose(file) != 0 || failed) {
    std::fprintf(stderr, "could not write %s\n", partial.c_str());
    return false;
  }
  std::error_code error;
  std::filesystem::rename(partial, target, error);
  if (error) {
    std::fprintf(stderr, "could not rename %s: %s\n", partial.c_str(), error.message().c_str());
    return false;
  }
  std::printf("%s\n", target.c_str());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  const WordPool pool;
  const Corpus corpora[] = {
      {"growing.txt", {{Part::Prose, 1000 * megabyte}}},
      {"prose-then-distinct.txt", {{Part::Prose, 256 * megabyte}, {Part::Distinct, 128 * megabyte}}},
      {"distinct-then-prose.txt", {{Part::Distinct, 128 * megabyte}, {Part::Prose, 256 * megabyte}}},
  };
  bool succeeded = true;
  for (const Corpus& corpus : corpora) succeeded = Make(folder, corpus, pool) && succeeded;
  return succeeded ? 0 : 1;
}
