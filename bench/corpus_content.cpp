// Game-like content generators: code page 932 scripts, image-like bitmaps and
// random media, all driven by Random so a seed gives the same bytes anywhere.
#include "bench/corpus_content.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

namespace bench {

std::uint64_t Random::Next() {
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

std::uint32_t Random::Below(std::uint32_t bound) { return static_cast<std::uint32_t>(((Next() >> 32) * bound) >> 32); }

double Random::Unit() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }

std::size_t Random::LogUniform(std::size_t low, std::size_t high) {
  // Integer octaves plus a linear step inside the octave: close enough to
  // log-uniform and free of floating-point library differences.
  int lowBits = 0;
  while ((std::size_t{2} << lowBits) <= low) ++lowBits;
  int highBits = lowBits;
  while ((std::size_t{2} << highBits) <= high) ++highBits;
  const int bits = lowBits + static_cast<int>(Below(static_cast<std::uint32_t>(highBits - lowBits + 1)));
  const std::size_t base = std::size_t{1} << bits;
  const std::size_t value = base + static_cast<std::size_t>(Next() % base);
  return std::clamp(value, low, high);
}

namespace {

// Common kanji as code page 932 codes (lead * 256 + trail).
constexpr std::array<std::uint16_t, 116> kKanji = {
    0x93FA, 0x967B, 0x906C, 0x8E84, 0x94DE, 0x8F97, 0x89BD, 0x8CA9, 0x8CBE, 0x8E76, 0x8E9E, 0x8DA1, 0x914F,
    0x8EA9, 0x95AA, 0x8B43, 0x8EE8, 0x96DA, 0x90B6, 0x944E, 0x8E96, 0x8D73, 0x9788, 0x8F6F, 0x91E5, 0x9286,
    0x8FE3, 0x89BA, 0x8E71, 0x9053, 0x9862, 0x90BA, 0x8AE7, 0x96E9, 0x8BF3, 0x8A43, 0x89D4, 0x89C4, 0x8DD5,
    0x8D60, 0x9394, 0x89CE, 0x9597, 0x894A, 0x90E1, 0x90AF, 0x8C8E, 0x8CF5, 0x9046, 0x89B9, 0x9085, 0x93B9,
    0x92AC, 0x89C6, 0x8A77, 0x8D5A, 0x90E6, 0x9479, 0x8CE3, 0x9746, 0x9242, 0x96F1, 0x91A9, 0x8FCE, 0x97DC,
    0x96B2, 0x8B4C, 0x89AF, 0x96BC, 0x9396, 0x8FAD, 0x88EA, 0x8F8F, 0x8AD4, 0x9594, 0x89AE, 0x918B, 0x8A4F,
    0x92A9, 0x928B, 0x975B, 0x95E9, 0x8BB3, 0x8EBA, 0x8B41, 0x91D2, 0x89EF, 0x9659, 0x926D, 0x95B7, 0x8F91,
    0x93C7, 0x9196, 0x8E7E, 0x97A7, 0x8DC0, 0x8993, 0x8BDF, 0x96BE, 0x88C3, 0x90D4, 0x90C2, 0x9492, 0x8D95,
    0x9056, 0x8CC3, 0x92B7, 0x925A, 0x8D82, 0x92E1, 0x8BAD, 0x8EE3, 0x8D44, 0x8C99, 0x9181, 0x9278};
// Hiragana run 0x829F-0x82F1, katakana 0x8340-0x8396 without the gap at 0x837F.
constexpr std::uint16_t kHiraganaFirst = 0x829F;
constexpr std::uint16_t kHiraganaCount = 0x82F1 - 0x829F + 1;
constexpr std::uint16_t kKatakanaFirst = 0x8340;
constexpr std::uint16_t kKatakanaCount = 0x8396 - 0x8340;  // one code skipped
constexpr std::uint16_t kComma = 0x8141, kPeriod = 0x8142, kQuoteOpen = 0x8175, kQuoteClose = 0x8176;
constexpr std::uint16_t kNameOpen = 0x8179, kNameClose = 0x817A, kEllipsis = 0x8163;
constexpr std::uint16_t kExclamation = 0x8149, kQuestion = 0x8148, kLongVowel = 0x815B;
// Particles and endings that stand between words: の は が を に で と も た
constexpr std::array<std::uint16_t, 9> kParticles = {0x82CC, 0x82CD, 0x82AA, 0x82F0, 0x82C9,
                                                     0x82C5, 0x82C6, 0x82E0, 0x82BD};

void PutCode(std::string& out, std::uint16_t code) {
  out.push_back(static_cast<char>(code >> 8));
  out.push_back(static_cast<char>(code & 0xFF));
}

std::uint16_t Hiragana(Random& random) {
  return static_cast<std::uint16_t>(kHiraganaFirst + random.Below(kHiraganaCount));
}

std::uint16_t Katakana(Random& random) {
  const auto code = static_cast<std::uint16_t>(kKatakanaFirst + random.Below(kKatakanaCount));
  return code >= 0x837F ? static_cast<std::uint16_t>(code + 1) : code;
}

// A vocabulary drawn once from a fixed seed: kanji stems with kana endings,
// kana-only words and a few katakana loan words, as real text repeats words.
class Vocabulary {
 public:
  Vocabulary() {
    Random random(0x5C7105EEDull);
    for (int i = 0; i < 700; ++i) {
      std::string word;
      const std::uint32_t kind = random.Below(10);
      if (kind < 6) {
        for (std::uint32_t k = 1 + random.Below(2); k > 0; --k) PutCode(word, kKanji[random.Below(kKanji.size())]);
        for (std::uint32_t k = random.Below(3); k > 0; --k) PutCode(word, Hiragana(random));
      } else if (kind < 9) {
        for (std::uint32_t k = 2 + random.Below(3); k > 0; --k) PutCode(word, Hiragana(random));
      } else {
        for (std::uint32_t k = 2 + random.Below(4); k > 0; --k) PutCode(word, Katakana(random));
        PutCode(word, kLongVowel);
      }
      words_.push_back(word);
    }
    for (int i = 0; i < 12; ++i) {
      std::string name;
      for (std::uint32_t k = 2 + random.Below(2); k > 0; --k) PutCode(name, kKanji[random.Below(kKanji.size())]);
      names_.push_back(name);
    }
  }

  // Frequent words come up far more often (a steep power law, as in text).
  const std::string& Word(Random& random) const {
    const double u = random.Unit();
    return words_[static_cast<std::size_t>(u * u * static_cast<double>(words_.size()))];
  }
  const std::string& Name(Random& random) const { return names_[random.Below(names_.size())]; }

 private:
  std::vector<std::string> words_;
  std::vector<std::string> names_;
};

void AppendSentence(const Vocabulary& vocabulary, Random& random, std::string& line) {
  for (std::uint32_t w = 3 + random.Below(10); w > 0; --w) {
    line += vocabulary.Word(random);
    if (random.Below(3) == 0) PutCode(line, kParticles[random.Below(kParticles.size())]);
    if (random.Below(9) == 0) PutCode(line, kComma);
  }
  constexpr std::array<std::uint16_t, 4> kEnds = {kPeriod, kPeriod, kExclamation, kQuestion};
  if (random.Below(8) == 0) {
    PutCode(line, kEllipsis);
    PutCode(line, kEllipsis);
  } else {
    PutCode(line, kEnds[random.Below(kEnds.size())]);
  }
}

std::string Command(Random& random) {
  char text[96];
  switch (random.Below(6)) {
    case 0:
      std::snprintf(text, sizeof text, "@bg storage=\"bg%03u\" time=%u\r\n", random.Below(200), 100 * random.Below(10));
      break;
    case 1:
      std::snprintf(text, sizeof text, "@chara id=%u face=%u pos=%s\r\n", random.Below(12), random.Below(8),
                    random.Below(2) != 0 ? "left" : "right");
      break;
    case 2:
      std::snprintf(text, sizeof text, "@voice file=\"v%05u\"\r\n", random.Below(40000));
      break;
    case 3:
      std::snprintf(text, sizeof text, "@se file=\"se%03u\"\r\n", random.Below(300));
      break;
    case 4:
      std::snprintf(text, sizeof text, "@wait time=%u\r\n", 50 * random.Below(40));
      break;
    default:
      std::snprintf(text, sizeof text, "*label_%04u\r\n", random.Below(5000));
      break;
  }
  return text;
}

std::string ScriptLine(const Vocabulary& vocabulary, Random& random) {
  const std::uint32_t kind = random.Below(20);
  if (kind < 5) return Command(random);
  std::string line;
  if (kind < 14) {
    PutCode(line, kNameOpen);
    line += vocabulary.Name(random);
    PutCode(line, kNameClose);
    PutCode(line, kQuoteOpen);
    for (std::uint32_t s = 1 + random.Below(2); s > 0; --s) AppendSentence(vocabulary, random, line);
    PutCode(line, kQuoteClose);
  } else {
    for (std::uint32_t s = 1 + random.Below(3); s > 0; --s) AppendSentence(vocabulary, random, line);
  }
  line += "\r\n";
  return line;
}

}  // namespace

std::vector<std::uint8_t> ScriptText(Random& random, std::size_t size) {
  static const Vocabulary vocabulary;
  std::vector<std::uint8_t> out;
  out.reserve(size);
  for (;;) {
    const std::string line = ScriptLine(vocabulary, random);
    if (out.size() + line.size() > size) break;
    out.insert(out.end(), line.begin(), line.end());
  }
  // Whole lines only, so the text never ends inside a double-byte character.
  out.resize(size, ' ');
  return out;
}

std::vector<std::uint8_t> ImageBytes(Random& random, std::size_t size) {
  constexpr std::array<std::uint32_t, 5> kWidths = {256, 512, 640, 800, 1024};
  const std::uint32_t width = kWidths[random.Below(kWidths.size())];
  const std::size_t stride = width * 3;
  const std::size_t height = size > 54 ? (size - 54 + stride - 1) / stride : 0;
  std::vector<std::uint8_t> out(54 + height * stride);
  const auto put32 = [&out](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  out[0] = 'B';
  out[1] = 'M';
  put32(2, static_cast<std::uint32_t>(out.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, width);
  put32(22, static_cast<std::uint32_t>(height));
  out[26] = 1;
  out[28] = 24;

  // Per channel: a base, a gradient across the width and the height, a few
  // flat-shaded rectangles; then noise of up to two levels per channel, which
  // keeps deflate near the ratio of real artwork.
  constexpr std::array<int, 4> kNoise = {0, 1, 2, 2};
  struct Shape {
    std::uint32_t x0, y0, x1, y1;
    int lift[3];
  };
  int base[3], gx[3], gy[3];
  for (int c = 0; c < 3; ++c) {
    base[c] = static_cast<int>(random.Below(160));
    gx[c] = static_cast<int>(random.Below(96)) - 32;
    gy[c] = static_cast<int>(random.Below(96)) - 32;
  }
  std::vector<Shape> shapes(4 + random.Below(6));
  for (Shape& s : shapes) {
    s.x0 = random.Below(width);
    s.x1 = s.x0 + random.Below(width - s.x0) + 1;
    s.y0 = height > 0 ? random.Below(static_cast<std::uint32_t>(height)) : 0;
    s.y1 = s.y0 + 1 + random.Below(static_cast<std::uint32_t>(std::max<std::size_t>(height - s.y0, 1)));
    for (int& l : s.lift) l = static_cast<int>(random.Below(80)) - 40;
  }
  std::uint8_t* pixel = out.data() + 54;
  for (std::uint32_t y = 0; y < height; ++y) {
    for (std::uint32_t x = 0; x < width; ++x) {
      std::uint64_t noise = random.Next();
      for (int c = 0; c < 3; ++c) {
        int v = base[c] + gx[c] * static_cast<int>(x) / static_cast<int>(width) +
                gy[c] * static_cast<int>(y) / static_cast<int>(height);
        for (const Shape& s : shapes) {
          if (x >= s.x0 && x < s.x1 && y >= s.y0 && y < s.y1) v += s.lift[c];
        }
        v += kNoise[noise & 3];
        noise >>= 2;
        *pixel++ = static_cast<std::uint8_t>(std::clamp(v, 0, 255));
      }
    }
  }
  out.resize(size);
  return out;
}

std::vector<std::uint8_t> MediaBytes(Random& random, std::size_t size) {
  std::vector<std::uint8_t> out(size);
  std::size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    const std::uint64_t v = random.Next();
    for (int b = 0; b < 8; ++b) out[i + b] = static_cast<std::uint8_t>(v >> (8 * b));
  }
  for (std::uint64_t v = random.Next(); i < size; ++i, v >>= 8) out[i] = static_cast<std::uint8_t>(v);
  return out;
}

}  // namespace bench
