// Runs the fuzz entry point once for each file named on the command line, or
// once for standard input when there is none; a finding aborts the program.
#include <cstdint>
#include <cstdio>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::uint8_t> ReadAll(std::FILE* file) {
  std::vector<std::uint8_t> bytes;
  std::uint8_t block[4096];
  std::size_t count;
  while ((count = std::fread(block, 1, sizeof block, file)) > 0) {
    bytes.insert(bytes.end(), block, block + count);
  }
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  LLVMFuzzerInitialize(&argc, &argv);
  if (argc < 2) {
    const std::vector<std::uint8_t> bytes = ReadAll(stdin);
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    return 0;
  }
  for (int i = 1; i < argc; ++i) {
    std::FILE* file = std::fopen(argv[i], "rb");
    if (file == nullptr) {
      std::perror(argv[i]);
      return 2;
    }
    const std::vector<std::uint8_t> bytes = ReadAll(file);
    std::fclose(file);
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  }
  std::printf("%d inputs replayed\n", argc - 1);
  return 0;
}
