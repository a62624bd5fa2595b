#include "core/runtime_error_report.h"

#include <cstdint>
#include <string_view>

#include "core/format.h"
#include "core/process_state.h"
#include "platform/file_api.h"
#include "platform/user_api.h"

bool QuietErrors = false;
void (*DrainOutputHook)() = nullptr;

namespace {

constexpr char LineEnd[] = "\r\n";

// "Runtime error", the code right-aligned in a field of four (so that it
// ends at the 17th character), " at ", and the address in at least eight
// digits: 29 characters for every code of up to three digits and every
// address of up to eight. Longer codes and wider addresses make the text
// longer rather than overwrite a neighbouring field; one blank always
// stands before the code, and the storage holds the longest text there is.
constexpr std::size_t CodeFieldWidth = 4;
constexpr char CodeFieldBlanks[] = "    ";
char RuntimeErrorText[64];

std::size_t BuildRuntimeErrorText(std::int32_t code, void* location) {
  char digits[16];
  const std::size_t digitCount = FormatToBuffer(digits, sizeof digits, "%d", {code});
  const std::size_t blanks = digitCount < CodeFieldWidth ? CodeFieldWidth - digitCount : 1;
  return FormatToBuffer(RuntimeErrorText, sizeof RuntimeErrorText, "Runtime error%s%s at %p",
                        {std::string_view(CodeFieldBlanks, blanks), std::string_view(digits, digitCount), location});
}

}  // namespace

void WriteReportLine(DWORD standardHandle, const char* text, std::size_t length) {
  const HANDLE handle = GetStdHandle(standardHandle);
  DWORD written = 0;
  WriteFile(handle, text, static_cast<DWORD>(length), &written, nullptr);
  WriteFile(handle, LineEnd, 2, &written, nullptr);
}

void WriteRuntimeErrorReport() {
  // The text: code and address.
  const std::size_t length = BuildRuntimeErrorText(ProcessExitCode, ErrorLocation);
  if (ConsoleFlag) {
    // What Output holds goes first. Only the text and CR LF are written,
    // not the zero byte that ends the text in its storage.
    if (DrainOutputHook != nullptr) {
      DrainOutputHook();
    }
    WriteReportLine(STD_OUTPUT_HANDLE, RuntimeErrorText, length);
  } else if (!QuietErrors) {
    MessageBoxA(nullptr, RuntimeErrorText, "Error", MB_OK);
  }
}
