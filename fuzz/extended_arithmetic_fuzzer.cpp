// The software extended arithmetic against this machine's x87 on cases the
// fuzzer chooses; any difference in result bits or flags aborts. The input
// is cut into 22-byte cases:
//   byte 0      operation (modulo the number of operations)
//   byte 1      bits 0-1: rounding control; bit 2: b shares a's exponent and
//               the top half of its significand (cancellation, ties)
//   bytes 2-11  a: significand (8 bytes, little-endian), signExponent (2);
//               the widenings take their source bits from the significand
//   bytes 12-21 b, the same way
// x86-64 only: elsewhere the target accepts every input.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#if defined(__x86_64__)
#include "arithmetic/extended_cases.h"

using namespace x87;
#endif

namespace {

#if defined(__x86_64__)

using extended_cases::Case;
using extended_cases::Operation;
using extended_cases::OperationCount;

constexpr std::size_t CaseSize = 22;

std::uint64_t LittleEndian(const std::uint8_t* bytes, int count) {
  std::uint64_t value = 0;
  for (int i = count - 1; i >= 0; --i) {
    value = value << 8 | bytes[i];
  }
  return value;
}

x87::Extended ValueAt(const std::uint8_t* bytes) {
  return {static_cast<std::uint16_t>(LittleEndian(bytes + 8, 2)), LittleEndian(bytes, 8)};
}

Case Decode(const std::uint8_t* bytes) {
  Case c{static_cast<Operation>(bytes[0] % OperationCount), static_cast<x87::Rounding>(bytes[1] & 3),
         ValueAt(bytes + 2), ValueAt(bytes + 12)};
  if ((bytes[1] & 4) != 0) {
    constexpr std::uint64_t top = 0xFFFFFFFF00000000;
    c.b.signExponent =
        static_cast<std::uint16_t>((c.b.signExponent & x87::SignBit) | (c.a.signExponent & x87::ExponentMask));
    c.b.significand = (c.a.significand & top) | (c.b.significand & ~top);
  }
  return c;
}

// The number of cases compared, reported when the process ends.
std::uint64_t comparisons = 0;
void ReportComparisons() {
  std::fprintf(stderr, "extended arithmetic: %llu cases compared\n", static_cast<unsigned long long>(comparisons));
}

#endif

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
#if defined(__x86_64__)
  std::atexit(ReportComparisons);
#endif
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
#if defined(__x86_64__)
  for (std::size_t offset = 0; offset + CaseSize <= size; offset += CaseSize) {
    const Case c = Decode(data + offset);
    ++comparisons;
    const extended_cases::Outcome soft = extended_cases::RunSoft(c);
    const extended_cases::Outcome reference = extended_cases::RunX87(c);
    if (!(soft == reference)) {
      std::fprintf(stderr, "mismatch: %s\n", extended_cases::Describe(c, soft, reference).c_str());
      std::abort();
    }
  }
#else
  (void)data;
  (void)size;
#endif
  return 0;
}
