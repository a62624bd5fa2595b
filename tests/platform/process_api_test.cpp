// The command line in the platform's form, built from POSIX arguments: what
// the platform's own argument parser reads back as the same arguments.
#include "platform/process_api.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct CommandLineCase {
  std::vector<std::string> arguments;
  const char* commandLine;
};

const CommandLineCase Cases[] = {
    {{"angleconv"}, "angleconv"},
    {{"./angleconv", "--help", "x"}, "./angleconv --help x"},
    {{"/opt/my apps/angleconv", "--version"}, "\"/opt/my apps/angleconv\" --version"},
    {{"/a\"b/angleconv"}, "/ab/angleconv"},
    {{"angleconv", ""}, "angleconv \"\""},
    {{"angleconv", "--help x"}, "angleconv \"--help x\""},
    {{"angleconv", "tab\there"}, "angleconv \"tab\there\""},
    // Backslashes are doubled only before a quote and before the closing one.
    {{"angleconv", "say \"hi\""}, "angleconv \"say \\\"hi\\\"\""},
    {{"angleconv", "a\\\"b"}, "angleconv \"a\\\\\\\"b\""},
    {{"angleconv", "dir\\ x\\"}, "angleconv \"dir\\ x\\\\\""},
    {{"angleconv", "c:\\dir\\"}, "angleconv c:\\dir\\"},
    {{}, ""},
};

TEST(ProcessApi, TheCommandLineQuotesWhatTheParserWouldSplit) {
  for (const CommandLineCase& row : Cases) {
    SCOPED_TRACE(row.commandLine);
    std::vector<std::string> copies = row.arguments;
    std::vector<char*> arguments;
    for (std::string& argument : copies) arguments.push_back(argument.data());
    arguments.push_back(nullptr);
    SetCommandLineFromArguments(static_cast<int>(copies.size()), arguments.data());
    EXPECT_STREQ(GetCommandLineA(), row.commandLine);
  }
}

TEST(ProcessApi, TheCommandLineStopsAtThePlatformLimit) {
  std::string program = "angleconv", longArgument(40000, 'x');
  char* arguments[] = {program.data(), longArgument.data(), nullptr};
  SetCommandLineFromArguments(2, arguments);
  EXPECT_EQ(std::string(GetCommandLineA()).size(), 32767U);
}

}  // namespace
