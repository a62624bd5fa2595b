// The whole program on arbitrary standard input: the sanitized executable
// runs as a child with the bytes as its input file, and every run must end
// with exit code 0 or 1, never by a signal and never by a sanitizer report.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace {

const char* const Program = ANGLECONV_SANITIZED_BINARY;
// Exit codes of the sanitizers in the child, apart from the program's own.
char AddressSanitizerOptions[] = "ASAN_OPTIONS=exitcode=86:detect_leaks=0";
char UndefinedSanitizerOptions[] = "UBSAN_OPTIONS=exitcode=87:halt_on_error=1";

int InputFile(const std::uint8_t* data, std::size_t size) {
  const int file = memfd_create("angleconv-input", 0);
  std::size_t written = 0;
  while (written < size) {
    const ssize_t count = write(file, data + written, size - written);
    if (count <= 0) {
      std::abort();
    }
    written += static_cast<std::size_t>(count);
  }
  lseek(file, 0, SEEK_SET);
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) { return 0; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const int input = InputFile(data, size);
  const pid_t child = fork();
  if (child == 0) {
    dup2(input, 0);
    const int nowhere = open("/dev/null", O_WRONLY);
    dup2(nowhere, 1);
    dup2(nowhere, 2);
    char* const arguments[] = {const_cast<char*>(Program), nullptr};
    char* const environment[] = {AddressSanitizerOptions, UndefinedSanitizerOptions, nullptr};
    execve(Program, arguments, environment);
    _exit(127);
  }
  close(input);
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status) || (WEXITSTATUS(status) != 0 && WEXITSTATUS(status) != 1)) {
    __builtin_trap();
  }
  return 0;
}
