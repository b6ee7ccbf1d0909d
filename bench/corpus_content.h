// Deterministic game-like content: script text in code page 932, image-like
// bytes and incompressible media, shared by the corpus generator and the
// benchmarks so both measure the same kind of data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace bench {

// splitmix64: tiny, fast and the same sequence on every platform and library
// (the standard distributions are not).
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next();
  // Uniform in [0, bound); bound > 0.
  std::uint32_t Below(std::uint32_t bound);
  // Uniform in [0, 1).
  double Unit();
  // Log-uniform in [low, high]: as many small entries as large ones per octave.
  std::size_t LogUniform(std::size_t low, std::size_t high);

 private:
  std::uint64_t state_;
};

// Script lines: commands, labels, dialogue and narration in code page 932,
// CRLF line ends; exactly size bytes of valid code page 932 text.
std::vector<std::uint8_t> ScriptText(Random& random, std::size_t size);
// A 24-bit bitmap of smooth gradients and shapes with sensor-like noise;
// deflates to roughly a half to a third.
std::vector<std::uint8_t> ImageBytes(Random& random, std::size_t size);
// Random bytes, as compressed audio and video look to deflate.
std::vector<std::uint8_t> MediaBytes(Random& random, std::size_t size);

}  // namespace bench
