#include "program/command_line.h"

#include <string>
#include <string_view>

#include "platform/file_api.h"
#include "platform/process_api.h"
#include "program/version.h"

namespace {

constexpr std::string_view VersionText = "angleconv " ANGLECONV_VERSION
                                         "\n"
                                         "Copyright (C) 2026 the angleconv authors.\n"
                                         "License MIT: <https://spdx.org/licenses/MIT.html>.\n"
                                         "This is free software: you are free to change and redistribute it.\n"
                                         "There is NO WARRANTY, to the extent permitted by law.\n";

constexpr std::string_view HelpText =
    "Usage: angleconv [--help | --version]\n"
    "\n"
    "Converts one plane angle between radians (rad), grads (g, 400 to the full\n"
    "turn) and degrees, minutes and seconds (d). It asks for the source unit,\n"
    "the value (three numbers, degrees, minutes and seconds, for d) and the\n"
    "target unit, one line of standard input each, writes the result and waits\n"
    "for Enter. The lines of the dialogue end with CR LF.\n"
    "\n"
    "Example:\n"
    "  $ printf 'rad\\n1\\nd\\n\\n' | angleconv | grep -a 'value:'\n"
    "  The angle value: 57.2958d= 57degrees 17minutes 45second\n"
    "\n"
    "  --help     show this text and exit\n"
    "  --version  show the version and exit\n"
    "Any other argument is ignored.\n"
    "\n"
    "Exit status: 0 when the dialogue ends, 1 after an error report on standard\n"
    "error.\n"
    "\n"
    "Full documentation: man angleconv\n"
    "Report bugs to: <" ANGLECONV_BUG_ADDRESS ">\n";

// What a failed answer says on standard error, before the error number.
constexpr std::string_view WriteErrorText = "angleconv: write error: I/O error ";

constexpr std::string_view Blanks = " \t";

// The first argument of a command line in the platform's form: the program
// name (up to its closing quote when it starts with one, else up to a
// blank), blanks, then the argument up to the next blank. An argument that
// holds a blank or a quote of its own comes in quotes, so it never equals
// an option.
std::string_view FirstArgument(std::string_view line) {
  std::size_t at = line.find_first_of(Blanks);
  if (line.starts_with('"')) {
    const std::size_t closing = line.find('"', 1);
    at = closing == std::string_view::npos ? closing : closing + 1;
  }
  at = at == std::string_view::npos ? line.size() : line.find_first_not_of(Blanks, at);
  if (at == std::string_view::npos) {
    return {};
  }
  return line.substr(at, line.find_first_of(Blanks, at) - at);
}

bool WriteAll(DWORD standardHandle, std::string_view text) {
  DWORD written = 0;
  return WriteFile(GetStdHandle(standardHandle), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) !=
             FALSE &&
         written == text.size();
}

// The answer on standard output and exit code 0; when it cannot be written,
// the error number on standard error and exit code 1, as GNU programs do.
[[noreturn]] void Answer(std::string_view text) {
  if (WriteAll(STD_OUTPUT_HANDLE, text)) {
    ExitProcess(0);
  }
  const std::string report = std::string(WriteErrorText) + std::to_string(GetLastError()) + "\n";
  WriteAll(STD_ERROR_HANDLE, report);
  ExitProcess(1);
}

}  // namespace

void AnswerVersionOrHelp() {
  const std::string_view argument = FirstArgument(GetCommandLineA());
  if (argument == "--version" || argument == "--help") {
    // A reader that went away is an error number, not a death by signal.
    IgnoreWriteSignals();
    Answer(argument == "--version" ? VersionText : HelpText);
  }
}
