// The two ciphers' Transform over short and prefix-sized runs at every phase,
// and the whole-buffer decipher of a packed entry, each beside memcpy of the
// same bytes: the least any pass over them can cost.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_pairs.h"
#include "bench/bench_suites.h"
#include "encryption/cipher_registry.h"

namespace {

constexpr std::uint32_t kKey = 0xA5C3E10Fu;

void RegisterTransform(int encryptionVersion, std::int32_t length, std::uint32_t phase) {
  const std::string name = "transform/v" + std::to_string(encryptionVersion) + "/" + std::to_string(length) + "/phase" +
                           std::to_string(phase);
  // 1024 bytes is a stored entry's enciphered prefix: the run that matters.
  const bench::Target target = length == 1024 ? bench::TimeAtMost(2.0) : bench::Informative();
  bench::RegisterPair(
      {name, "memcpy", static_cast<double>(length), target},
      [=](benchmark::State& state) {
        CipherRegistry::EnsureCreated();
        const IEncryption& cipher = CipherRegistry::Entry(encryptionVersion);
        std::vector<std::uint8_t> buffer(static_cast<std::size_t>(length), 0x5A);
        for (auto _ : state) {
          std::uint8_t* data = buffer.data();
          benchmark::DoNotOptimize(data);
          cipher.Transform(data, data, length, kKey, phase);
          benchmark::ClobberMemory();
        }
      },
      [=](benchmark::State& state) {
        std::vector<std::uint8_t> source(static_cast<std::size_t>(length), 0x5A);
        std::vector<std::uint8_t> target(source.size());
        for (auto _ : state) {
          std::uint8_t* to = target.data();
          const std::uint8_t* from = source.data();
          benchmark::DoNotOptimize(to);
          benchmark::DoNotOptimize(from);
          std::memcpy(to, from, static_cast<std::size_t>(length));
          benchmark::ClobberMemory();
        }
      });
}

void RegisterWhole() {
  constexpr std::int32_t kLength = 1 << 20;
  // A packed entry's name, in code page 932 as the index holds it.
  static const char* const kName = "画像\\背景\\夕暮れの教室001.bmp";
  bench::RegisterPair(
      {"decrypt-whole/v2/1MiB", "memcpy", static_cast<double>(kLength), bench::Informative()},
      [](benchmark::State& state) {
        std::vector<std::uint8_t> buffer(kLength, 0x5A);
        for (auto _ : state) {
          DecryptWhole(4, buffer.data(), kLength, kName);
          benchmark::ClobberMemory();
        }
      },
      [](benchmark::State& state) {
        std::vector<std::uint8_t> source(kLength, 0x5A);
        std::vector<std::uint8_t> target(kLength);
        for (auto _ : state) {
          std::memcpy(target.data(), source.data(), kLength);
          benchmark::ClobberMemory();
        }
      });
}

}  // namespace

void RegisterCipherBenchmarks() {
  for (int version : {1, 2}) {
    for (std::int32_t length : {16, 1024}) {
      for (std::uint32_t phase = 0; phase < 4; ++phase) RegisterTransform(version, length, phase);
    }
  }
  RegisterWhole();
}
