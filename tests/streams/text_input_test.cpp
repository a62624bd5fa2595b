// Reading lines, unit words and number tokens from standard input backed by
// real files and pipes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "conversion/fpu_environment.h"
#include "streams/stream_fixture.h"
#include "streams/text_input.h"

namespace {

using streamtest::FileWith;
using streamtest::FreshStreams;
using streamtest::Redirect;

class TextInput : public ::testing::Test {
 protected:
  void SetUp() override {
    InitFpu();
    FreshStreams();
  }
  void TearDown() override { FreshStreams(); }
};

// Reads each line of `input` the way the dialogue reads a unit word: the
// rest of the line, then SkipLine.
std::vector<std::string> WordsOf(int lines) {
  std::vector<std::string> words;
  for (int i = 0; i < lines; ++i) {
    std::string word;
    ReadDynamicString(Input, word);
    SkipLine(Input);
    words.push_back(word);
  }
  return words;
}

struct LineCase {
  std::string input;
  std::vector<std::string> words;
};

TEST_F(TextInput, ReadsWholeLinesWithoutTheirLineEnds) {
  const std::string line300(300, 'x');
  const std::string line255(255, 'y');
  const std::string line510(510, 'z');
  const std::string split = std::string(127, 'a') + "\r\nb\r\n";  // CR at the end of the first fill
  const LineCase cases[] = {
      {"d\r\nrad\r\n", {"d", "rad", ""}},
      {" d \r\n", {" d ", ""}},
      {"d\nrad\n", {"d", "rad", ""}},
      {"a\rb\r\nc\r\n", {"ab", "c"}},
      {"tab\there\r\n", {"tab\there"}},
      {line300 + "\r\nnext\r\n", {line300, "next"}},
      {line255 + "\r\nnext\r\n", {line255, "next"}},
      {line510 + "\nnext\n", {line510, "next"}},
      {split, {std::string(127, 'a'), "b", ""}},
      {"no line end", {"no line end", "", ""}},
      {"", {"", ""}},
      // The end marker ends the data until a read consumes it.
      {"ab\x1a" "cd\r\nef\r\n", {"ab", "ef"}},
  };
  for (const LineCase& row : cases) {
    SCOPED_TRACE(row.input.substr(0, 40));
    FreshStreams();
    Redirect input(0, FileWith(row.input));
    EXPECT_EQ(WordsOf(static_cast<int>(row.words.size())), row.words);
    EXPECT_EQ(IoResultCode, 0);
  }
}

struct NumberCase {
  std::string input;
  long double value;
  int code;
  std::string restOfLine;
};

TEST_F(TextInput, ReadsOneNumberTokenAndLeavesTheRestOfTheLine) {
  const std::string digits64(64, '1');
  const NumberCase cases[] = {
      {"12.5  7\r\n", 12.5L, 0, "  7"},
      {"\r\n\r\n7\r\n", 7, 0, ""},
      {"  \t-3e2\n", -300, 0, ""},
      {"30 degrees\r\n", 30, 0, " degrees"},
      {"12abc\r\n", 12, 106, ""},
      {"1,5\r\n", 1, 106, ""},
      {"", 0, 0, ""},
      {"\r\n\r\n", 0, 0, ""},
      {"12\x1a\r\n", 12, 0, ""},
      // Tokens longer than 64 characters are rejected whole.
      {std::string(65, '1') + " 5\r\n", 0, 106, " 5"},
      {std::string(70, '2') + "\r\n", 0, 106, ""},
  };
  for (const NumberCase& row : cases) {
    SCOPED_TRACE(row.input.substr(0, 40));
    FreshStreams();
    Redirect input(0, FileWith(row.input));
    const long double value = ReadReal(Input);
    if (row.code == 0) {  // the value of an invalid token is of no concern
      EXPECT_EQ(value, row.value);
    }
    EXPECT_EQ(IoResultCode, row.code);
    std::string rest;
    ReadDynamicString(Input, rest);
    EXPECT_EQ(rest, row.restOfLine);
  }
}

TEST_F(TextInput, ASixtyFourCharacterTokenIsConvertedWhole) {
  Redirect input(0, FileWith(std::string(63, '0') + "7\r\n"));
  EXPECT_EQ(ReadReal(Input), 7);
  EXPECT_EQ(IoResultCode, 0);
}

TEST_F(TextInput, TheEndMarkerStaysUntilALineReadConsumesIt) {
  Redirect input(0, FileWith(std::string("12\x1a\r\n") + "8\r\n"));
  EXPECT_EQ(ReadReal(Input), 12);
  SkipLine(Input);  // stops at the marker
  std::string word = "x";
  ReadDynamicString(Input, word);  // consumes it
  EXPECT_EQ(word, "");
  SkipLine(Input);  // the CR LF after it
  EXPECT_EQ(ReadReal(Input), 8);
  EXPECT_EQ(IoResultCode, 0);
}

TEST_F(TextInput, AFinishedPipeIsTheEndOfTheDataAndNotAnError) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  ASSERT_EQ(write(ends[1], "5\n", 2), 2);
  close(ends[1]);
  Redirect input(0, ends[0]);
  EXPECT_EQ(ReadReal(Input), 5);
  SkipLine(Input);
  EXPECT_EQ(ReadReal(Input), 0);
  std::string word = "x";
  ReadDynamicString(Input, word);
  EXPECT_EQ(word, "");
  EXPECT_EQ(IoResultCode, 0);
}

TEST_F(TextInput, EachFillIsOneReadOfAtMost128Bytes) {
  const struct {
    std::string input;
    int readFileCalls;
  } cases[] = {
      {std::string(300, 'x') + "\n", 3},  // 128 + 128 + 45
      {std::string(300, 'x'), 4},         // and one more that finds the end
      {"d\r\n", 1},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.input.size());
    FreshStreams();
    Redirect input(0, FileWith(row.input));
    std::string word;
    ReadDynamicString(Input, word);
    EXPECT_EQ(FileCalls.readFileCalls, row.readFileCalls);
    // The sticky end: once found, the end is not asked for again.
    const int callsBefore = FileCalls.readFileCalls;
    if (row.input.back() != '\n') {
      EXPECT_TRUE(ReadCharacter(Input).atEnd);
      EXPECT_EQ(FileCalls.readFileCalls, callsBefore);
    }
  }
}

TEST_F(TextInput, AStandardInputThatCannotBeReadStoresItsError) {
  // No descriptor 0 at all: the open fails and every read gives nothing.
  {
    Redirect input(0, -1);
    std::string word = "x";
    ReadDynamicString(Input, word);
    EXPECT_EQ(word, "");
    EXPECT_EQ(IoResultCode, 104);
    EXPECT_EQ(ReadReal(Input), 0);
  }
  // A directory opens, but reading it fails with its error number.
  FreshStreams();
  Redirect input(0, open("/tmp", O_RDONLY | O_DIRECTORY));
  std::string word = "x";
  ReadDynamicString(Input, word);
  EXPECT_EQ(word, "");
  EXPECT_EQ(IoResultCode, static_cast<int>(ERROR_DIRECTORY));
}

}  // namespace
