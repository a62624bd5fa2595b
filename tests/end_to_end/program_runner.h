// Runs the real program in a child process with chosen standard handles and
// collects the bytes it wrote and how it ended.
#pragma once

#include <string>
#include <vector>

namespace endtoend {

// Whether the program is built for another CPU or system and runs under
// an emulator: qemu-user, or Wine for the Windows program.
#ifdef ANGLECONV_EMULATOR
inline constexpr bool ProgramRunsUnderEmulator = true;
#else
inline constexpr bool ProgramRunsUnderEmulator = false;
#endif
#ifdef ANGLECONV_UNDER_WINE
inline constexpr bool ProgramRunsUnderWine = true;
#else
inline constexpr bool ProgramRunsUnderWine = false;
#endif

// The error number of a write to a pipe whose reader has gone: Windows's
// ERROR_NO_DATA (232), which the POSIX build translates EPIPE into. Wine
// translates EPIPE into ERROR_PIPE_NOT_CONNECTED (233) instead.
inline constexpr int PipeWithoutReaderError = ProgramRunsUnderWine ? 233 : 232;

// Under Wine: false, after printing why, for a case that Wine cannot show
// as Windows would (`reason` null: it can).
bool RunsUnderWineUnless(const char* reason, const std::string& name);

// The reasons. Wine starts as a Linux process: the lowest free descriptors
// become its own files, and what reaches the program in place of a closed
// one is one of them.
inline constexpr char WineTakesClosedDescriptors[] =
    "Wine's start-up takes the lowest free descriptors for its own files, so a closed one reaches the program "
    "as one of them, not as a missing handle (MissingHandles starts it without one, as Windows does)";
inline constexpr char NoFileSizeLimitOnWindows[] =
    "Windows has no file size limit; the limit stops Wine itself, a Linux process, with SIGXFSZ";
inline constexpr char NoDirectoryAsStandardHandle[] =
    "a directory cannot be a standard handle on Windows; Wine reads it with ERROR_INVALID_FUNCTION (1)";

// The program's file name, as its reports name its module.
#ifdef ANGLECONV_MODULE_NAME
inline const std::string ProgramModule = ANGLECONV_MODULE_NAME;
#else
inline const std::string ProgramModule = "angleconv";
#endif

// NonBlockingPipe, for input: a pipe in non-blocking mode whose writer
// starts only after a pause. DevZero: endless zero bytes, no line end.
// Descriptor: RunOptions::inputDescriptor, shared with the caller.
enum class InputKind { File, Pipe, Closed, Directory, NonBlockingPipe, DevZero, Descriptor };
// NonBlockingPipe, for output: a pipe in non-blocking mode, full when the
// program starts, whose reader begins only after a pause (the filler is
// not part of the collected bytes). FileBeyondSizeLimit: a file, with the
// process's file size limit at 0 (ulimit -f 0).
enum class OutputKind { File, Pipe, Closed, DevFull, NonBlockingPipe, FileBeyondSizeLimit };

struct RunOptions {
  InputKind input = InputKind::File;
  OutputKind output = OutputKind::File;
  OutputKind error = OutputKind::File;
  // With OutputKind::Pipe: the reader closes its end after this many bytes
  // (negative: it reads everything).
  long closeOutputAfter = -1;
  // With InputKind::Pipe and closeOutputAfter: written to standard input
  // only after the reader has closed its end of standard output.
  std::string inputAfterOutputClosed;
  // Command-line arguments after the program name.
  std::vector<std::string> arguments;
  // The program name the child is given (empty: the program's path).
  std::string programName;
  // Address-space limit of the child in bytes (0: none).
  unsigned long long addressSpaceLimit = 0;
  // With InputKind::Descriptor: the open descriptor the child reads.
  int inputDescriptor = -1;
  // The program runs in a private mount namespace where /proc is empty.
  bool withoutProc = false;
};

struct ProgramRun {
  std::string standardOutput;
  std::string standardError;
  int exitStatus = -1;  // -1 when it ended by a signal
  int signal = 0;
  // False when the child could not arrange the conditions asked for (a
  // system that does not permit a private mount namespace); nothing ran.
  bool arranged = true;
  long peakMemoryKib = 0;
};

ProgramRun RunAngleconv(const std::string& input, const RunOptions& options = {});

// In a child process: replaces it with the program and its arguments, under
// the emulator when the program is built for another CPU; the program is
// told `programName` as its name when it is not empty.
[[noreturn]] void ExecProgram(const std::vector<std::string>& programArguments = {},
                              const std::string& programName = {});

// The text with every LF turned into CR LF, as the program ends its lines.
std::string CrLf(const std::string& text);

// An interactive run on a pseudo-terminal.
class TerminalSession {
 public:
  explicit TerminalSession(const std::vector<std::string>& arguments = {});
  ~TerminalSession();
  TerminalSession(const TerminalSession&) = delete;
  TerminalSession& operator=(const TerminalSession&) = delete;

  // Reads until `text` has appeared in the output since the start; false
  // after a few seconds without it. Under Wine, whose console draws the
  // output with control sequences of its own, `text` is looked for in what
  // the terminal shows (Screen), as the terminal would show it.
  bool WaitFor(const std::string& text);
  // Types a line followed by Enter.
  void Type(const std::string& line);
  // Presses the keys as they are: "2\x04" is 2, then Ctrl-D.
  void Press(const std::string& keys);
  // Waits a few seconds at most for the end of the program and returns its
  // exit status; -1 when it did not end or ended by a signal.
  int Finish();
  const std::string& Transcript() const { return transcript_; }
  // What a terminal shows of the transcript: control sequences dropped,
  // except that a cursor step right shows as that many blanks; no carriage
  // returns, and no blanks at the end of a line, where none can be seen.
  std::string Screen() const;

 private:
  bool ReadSome(int timeoutMilliseconds);
  int master_ = -1;
  int child_ = -1;
  std::string transcript_;
};

}  // namespace endtoend
