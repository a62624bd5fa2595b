#include "program/command_line.h"

#include <getopt.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/file_api.h"
#include "platform/process_api.h"
#include "program/messages.h"
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
    "  or:  angleconv --from UNIT --to UNIT [VALUE...]\n"
    "\n"
    "Converts plane angles between radians (rad), grads (g, 400 to the full\n"
    "turn) and degrees, minutes and seconds (d).\n"
    "\n"
    "Without options it asks for the source unit, the value (three numbers,\n"
    "degrees, minutes and seconds, for d) and the target unit, one line of\n"
    "standard input each, writes the result and waits for Enter. The lines of\n"
    "the dialogue end with CR LF.\n"
    "\n"
    "With --from and --to it converts each VALUE or, without any, each line of\n"
    "standard input (one number a line, three for d; blank lines are skipped),\n"
    "and writes one line for each: the dialogue's result after its label,\n"
    "ended by LF. A value in d is three arguments. A value that cannot be\n"
    "converted is reported on standard error, and the others are converted.\n"
    "\n"
    "Example:\n"
    "  $ angleconv --from rad --to d 1 -1.5\n"
    "  57.2958d= 57degrees 17minutes 45second\n"
    "  -85.9437d=-85degrees -56minutes -37second\n"
    "  $ printf 'rad\\n1\\nd\\n\\n' | angleconv | grep -a 'value:'\n"
    "  The angle value: 57.2958d= 57degrees 17minutes 45second\n"
    "\n"
    "  --from UNIT  the unit of the values: rad, g or d\n"
    "  --to UNIT    the unit to convert them to: rad, g or d\n"
    "  --help       show this text and exit\n"
    "  --version    show the version and exit\n"
    "A first argument that does not begin with '-' is ignored.\n"
    "\n"
    "Exit status: 0 when the dialogue ends or every value is converted, 1 after\n"
    "an error report on standard error, 2 for a usage error.\n"
    "\n"
    "Full documentation: man angleconv\n"
    "Report bugs to: <" ANGLECONV_BUG_ADDRESS ">\n";

// What a failed answer says on standard error, after the prefix and before
// the error number.
constexpr std::string_view WriteErrorText = "write error: I/O error ";

bool WriteAll(DWORD standardHandle, std::string_view text) {
  DWORD written = 0;
  return WriteFile(GetStdHandle(standardHandle), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) !=
             FALSE &&
         written == text.size();
}

// The answer on standard output and exit code 0; when it cannot be written,
// the error number on standard error and exit code 1, as GNU programs do.
[[noreturn]] void Answer(std::string_view text) {
  // A reader that went away is an error number, not a death by signal.
  IgnoreWriteSignals();
  if (WriteAll(STD_OUTPUT_HANDLE, text)) {
    ExitProcess(0);
  }
  const std::string report =
      std::string(MessagePrefix).append(WriteErrorText).append(std::to_string(GetLastError())).append("\n");
  WriteAll(STD_ERROR_HANDLE, report);
  ExitProcess(1);
}

constexpr int FromCode = 256;
constexpr int ToCode = 257;
constexpr int HelpCode = 258;
constexpr int VersionCode = 259;

constexpr option LongOptions[] = {
    {"from", required_argument, nullptr, FromCode},
    {"to", required_argument, nullptr, ToCode},
    {"help", no_argument, nullptr, HelpCode},
    {"version", no_argument, nullptr, VersionCode},
    {nullptr, 0, nullptr, 0},
};
// '+': no short options, and getopt_long sees only options here (values are
// taken before it, so nothing depends on its reordering, which not every C
// library does alike). ':': a missing argument is told apart.
constexpr char ShortOptions[] = "+:";

constexpr int UsageErrorCode = 2;
constexpr std::string_view TryHelp = "Try 'angleconv --help' for more information.\n";

[[noreturn]] void UsageError(const std::string& message) {
  IgnoreWriteSignals();
  WriteAll(STD_ERROR_HANDLE, std::string(MessagePrefix).append(message).append("\n").append(TryHelp));
  ExitProcess(UsageErrorCode);
}

// "-", "-1.5" and "-.5" are values; "--" and any other word after '-' are
// options.
bool IsOption(const char* argument) {
  if (argument[0] != '-' || argument[1] == '\0') {
    return false;
  }
  const char next = argument[1];
  return next != '.' && (next < '0' || next > '9');
}

// The entry of LongOptions whose code is `code`, or null.
const option* OptionWithCode(int code) {
  for (const option& entry : LongOptions) {
    if (entry.val == code && entry.name != nullptr) {
      return &entry;
    }
  }
  return nullptr;
}

// The message for what getopt_long refused in `argument`, told by optopt:
// the code of a known option given without its argument or with one it
// does not take, 0 for an unknown long option, else the character of an
// unknown short one.
[[noreturn]] void RefuseOption(const char* argument) {
  if (const option* known = OptionWithCode(optopt); known != nullptr) {
    const bool takesArgument = known->has_arg == required_argument;
    UsageError(std::string("option '--") + known->name +
               (takesArgument ? "' requires an argument" : "' doesn't allow an argument"));
  }
  if (optopt == 0 || argument[1] == '-') {
    UsageError("unrecognized option '" + std::string(argument) + "'");
  }
  UsageError("invalid option -- '" + std::string(1, static_cast<char>(optopt)) + "'");
}

std::string_view CheckedUnit(const char* word, const char* option) {
  const std::string_view unit = word;
  if (unit != RadiansWord && unit != GradsWord && unit != DegreesWord) {
    UsageError("invalid unit '" + std::string(unit) + "' for " + option + ": rad, g or d");
  }
  return unit;
}

// What the arguments say, unchecked: the last word given to each unit
// option, and the values in order, wherever they stand among the options.
struct ScannedArguments {
  const char* from = nullptr;
  const char* to = nullptr;
  std::vector<char*> values;
};

// Takes the arguments in order. --help and --version are answered, and an
// option that getopt_long refuses is a usage error, where they stand.
ScannedArguments ScanArguments(int count, char** arguments) {
  ScannedArguments scanned;
  opterr = 0;
  optind = 1;
  while (optind < count) {
    char* const argument = arguments[optind];
    if (!IsOption(argument)) {
      scanned.values.push_back(argument);
      ++optind;
      continue;
    }
    switch (getopt_long(count, arguments, ShortOptions, LongOptions, nullptr)) {
      case -1:  // "--": the rest are values
        scanned.values.insert(scanned.values.end(), arguments + optind, arguments + count);
        optind = count;
        break;
      case FromCode:
        scanned.from = optarg;
        break;
      case ToCode:
        scanned.to = optarg;
        break;
      case HelpCode:
        Answer(HelpText);
      case VersionCode:
        Answer(VersionText);
      default:
        RefuseOption(argument);
    }
  }
  return scanned;
}

// The batch run the scanned arguments ask for, once both units are given and
// known and the values make whole values of the source unit.
BatchRequest CheckedRequest(ScannedArguments scanned) {
  if (scanned.from == nullptr || scanned.to == nullptr) {
    UsageError(scanned.from == nullptr ? "missing --from UNIT" : "missing --to UNIT");
  }
  const std::string_view source = CheckedUnit(scanned.from, "--from");
  const std::string_view target = CheckedUnit(scanned.to, "--to");
  BatchRequest request{SelectResultCase(source, target), std::move(scanned.values)};
  if (HasDegreesSource(request.conversion) && request.values.size() % 3 != 0) {
    UsageError("a value in d is three numbers (degrees, minutes, seconds): " + std::to_string(request.values.size()) +
               " numbers given");
  }
  return request;
}

}  // namespace

CommandLine ReadCommandLine(int count, char** arguments) {
  if (count < 2 || arguments[1][0] != '-') {
    return {};
  }
  return {Mode::Batch, CheckedRequest(ScanArguments(count, arguments))};
}
