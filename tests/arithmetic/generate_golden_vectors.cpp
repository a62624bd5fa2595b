// Records cases of every operation from this machine's x87 as golden lines
// (format in extended_cases.h), for the replay test to check the software
// core on CPUs without an x87. Run by hand on x86-64:
//   generate_golden_vectors tests/arithmetic/extended_golden_vectors.txt
#include <cstdio>

#include "arithmetic/extended_case_generator.h"

using namespace x87;

#if defined(__x86_64__)
namespace {

using extended_cases::Operation;

struct Share {
  Operation op;
  int cases;
};
constexpr Share Shares[] = {
    {Operation::Add, 10000},         {Operation::Subtract, 10000},    {Operation::Multiply, 10000},
    {Operation::Divide, 10000},      {Operation::StoreDouble, 12000}, {Operation::RoundToIntegral, 8000},
    {Operation::RoundToInt64, 8000}, {Operation::CompareQuiet, 6000}, {Operation::CompareSignaling, 6000},
    {Operation::Negate, 2000},       {Operation::WidenDouble, 8000},  {Operation::WidenFloat, 5000},
    {Operation::WidenInteger, 5000},
};

}  // namespace
#endif

int main(int argc, char** argv) {
#if defined(__x86_64__)
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT\n", argv[0]);
    return 2;
  }
  std::FILE* out = std::fopen(argv[1], "w");
  if (out == nullptr) {
    std::perror(argv[1]);
    return 1;
  }
  std::fputs("# op+rounding a [b] result flags; see tests/arithmetic/extended_cases.h\n", out);
  for (const Share& share : Shares) {
    extended_cases::CaseGenerator cases(0x601D0000 + static_cast<std::uint64_t>(share.op));
    for (int i = 0; i < share.cases; ++i) {
      const extended_cases::Case c = cases.Next(share.op);
      std::fprintf(out, "%s\n", extended_cases::FormatLine(c, extended_cases::RunX87(c)).c_str());
    }
  }
  return std::fclose(out) == 0 ? 0 : 1;
#else
  (void)argc;
  (void)argv;
  std::fputs("the golden vectors come from an x87: run this on x86-64\n", stderr);
  return 1;
#endif
}
