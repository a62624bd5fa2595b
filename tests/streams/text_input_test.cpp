// Reading words, numbers and line ends from standard input on real files
// and pipes, as transcripts of read operations.
#include <gtest/gtest.h>

#include <cstdio>

#include "core/fpu_environment.h"
#include "streams/line_reader.h"
#include "streams/stream_fixture.h"
#include "streams/text_input.h"
#include "support/extended_literals.h"

using namespace x87;

namespace {

// Runs `script` on Input: w = ReadDynamicString, giving [word]; n = ReadReal,
// giving <value>; s = SkipLine; l = SkipToTokenOnLine, then for a token
// ReadTokenOnLine, giving <value>, | at the line end, $ at the end of the
// data; k = SkipPastLineEnd. A stored code follows as !code, then reset.
std::string Number(Extended value) {
  char text[64];
  std::snprintf(text, sizeof text, "<%g>", NearestDouble(value));
  return IoResultCode == 106 ? "<?>" : text;  // the value of a bad token is of no concern
}

std::string Transcript(const std::string& script) {
  std::string transcript;
  for (const char operation : script) {
    if (operation == 'w') {
      std::string word = "stale";
      ReadDynamicString(Input, word);
      transcript += "[" + word + "]";
    } else if (operation == 'n') {
      transcript += Number(ReadReal(Input));
    } else if (operation == 'l') {
      const LineItem item = SkipToTokenOnLine(Input);
      transcript += item == LineItem::Token ? Number(ReadTokenOnLine(Input)) : item == LineItem::LineEnd ? "|" : "$";
    } else if (operation == 'k') {
      SkipPastLineEnd(Input);
    } else {
      SkipLine(Input);
    }
    if (IoResultCode != 0) transcript += "!" + std::to_string(TakeIoResult());
  }
  return transcript;
}

enum class Source { File, FinishedPipe, Closed, WriteOnly, BrokenPipe };

int Open(Source source, const std::string& input) {
  if (source == Source::File) return testio::FileWith(input);
  if (source == Source::WriteOnly) return open("/dev/null", O_WRONLY);  // opens, but every read fails
  if (source == Source::Closed) return -1;
  if (source == Source::BrokenPipe) FileCalls.failReadsWith = ERROR_BROKEN_PIPE;
  testio::Channel pipe(false);
  if (write(pipe.far, input.data(), input.size()) != static_cast<ssize_t>(input.size())) std::abort();
  return pipe.TakeNear();
}

struct ReadCase {
  std::string input;
  std::string script;
  std::string transcript;
  int readFileCalls;
  Source source = Source::File;
};

TEST(TextInput, ReadsLinesWordsAndNumbers) {
  InitFpu();
  const std::string a127(127, 'a'), x255(255, 'x'), x300(300, 'x'), x510(510, 'x');
  const std::string digits64 = std::string(63, '0') + "7";
  const ReadCase cases[] = {
      {"d\r\nrad\r\n", "wswsw", "[d][rad][]", 2},
      {"d\nrad\n", "wswsw", "[d][rad][]", 2},
      {" d \r\n", "w", "[ d ]", 1},
      {"a\rb\r\nc", "wsw", "[ab][c]", 2},
      {a127 + "\r\nb\r\n", "wsw", "[" + a127 + "][b]", 2},  // CR LF split across two fills
      {x255 + "\r\nb", "wsw", "[" + x255 + "][b]", 4},
      {x300 + "\r\nb", "wsw", "[" + x300 + "][b]", 4},
      {x510 + "\nb\n", "wsw", "[" + x510 + "][b]", 5},
      {x300, "ww", "[" + x300 + "][]", 4},  // the end is found once, then it sticks
      {"12.5  7\r\n8", "nwsn", "<12.5>[  7]<8>", 2},
      {"\r\n\r\n7\r\n", "n", "<7>", 1},
      {" 7\r\n", "nw", "<7>[]", 1},  // blanks and control bytes before a number are skipped
      {"\t7\r\n", "nw", "<7>[]", 1},
      {"12abc def\r\n1", "nwsn", "<?>!106[ def]<1>", 2},
      {digits64 + " 5", "nw", "<7>[ 5]", 2},
      {"1" + digits64 + " 5\r\n", "nw", "<?>!106[ 5]", 1},  // longer tokens are rejected whole
      {std::string(70, '9') + "\r\n", "nw", "<?>!106[]", 1},
      {"12\x1a\r\n8\r\n", "nswsn", "<12>[]<8>", 1},  // the marker stays until a word read takes it
      {"ab\x1a"
       "cd\r\nef",
       "wsw", "[ab][ef]", 2},
      {"", "wnswn", "[]<0>[]<0>", 2},
      {"5\n", "nsnw", "<5><0>[]", 2, Source::FinishedPipe},
      {"", "wns", "[]!104<0>!104!104", 0, Source::Closed},
      {"", "ww", "[]!6[]!6", 2, Source::WriteOnly},
      {"5\n", "nw", "<0>[]", 1, Source::BrokenPipe},  // a pipe whose writer has gone ends the data
      // A value a line: never past the LF, and every byte is data.
      {"  12\t7 \r\n8", "llllkll", "<12><7>||<8>$", 2},  // one empty read ends the data for good
      {"\n\n3", "lklkl", "||<3>", 2},
      {std::string(126, ' ') + "1234\n5", "llkll", "<1234>|<5>$", 3},  // a token across two fills
      {std::string(70, '9') + " 5\n", "ll", "<?>!106<5>", 1},
      {"1\x1a"
       "2\n",
       "lll", "<1><2>|", 1},
      {x300 + "\n4", "kl", "<4>", 4},
      {"", "l", "$!104", 0, Source::Closed},
  };
  for (const ReadCase& row : cases) {
    SCOPED_TRACE(row.input.substr(0, 20) + " / " + row.script);
    streamtest::FreshStreams();
    std::string transcript;
    {
      testio::Redirect input(0, Open(row.source, row.input));
      transcript = Transcript(row.script);
    }
    EXPECT_EQ(transcript, row.transcript);
    EXPECT_EQ(FileCalls.readFileCalls, row.readFileCalls);
  }
  streamtest::FreshStreams();
}

// Where a word read leaves the stream: a CR LF pair in the buffer stays for
// SkipLine; a lone CR, or one that ends a fill, is dropped.
TEST(TextInput, WordReadsLeaveTheLineEndForSkipLine) {
  const struct {
    std::string input;
    std::uint32_t position;
  } rows[] = {
      {"ab\r\ncd", 2}, {"a\rb\ncd", 3}, {std::string(127, 'a') + "\r\ncd", 0},  // the LF opens the second fill
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.input.substr(0, 8));
    streamtest::FreshStreams();
    std::uint32_t position = 0;
    {
      testio::Redirect input(0, testio::FileWith(row.input));
      std::string word;
      ReadDynamicString(Input, word);
      position = Input.position;
    }
    EXPECT_EQ(position, row.position);
  }
  streamtest::FreshStreams();
}

}  // namespace
