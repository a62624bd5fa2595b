// The main of the Windows test programs, in place of GoogleTest's.
//
// On Windows GoogleTest gives each thread that first uses one of its
// per-thread values (the first SCOPED_TRACE does) a watcher thread, which
// waits for that thread's end. Under 32-bit Wine a process that ends while
// one of its threads is still starting can die in that thread's start, after
// every test has passed. So this main has the main thread's watcher started
// before the tests run, and lets every thread of the process finish
// starting before the process ends. A thread has finished starting when
// the loader attaches it: the TLS callback below notes each one.
#include <gtest/gtest.h>
#include <windows.h>
// After <windows.h>, whose types it uses.
#include <tlhelp32.h>

#include <algorithm>
#include <atomic>

namespace {

constexpr int MostThreads = 1024;
std::atomic<DWORD> AttachedThreads[MostThreads];
std::atomic<int> AttachedCount{0};

void NTAPI NoteThreadAttached(PVOID /*module*/, DWORD reason, PVOID /*reserved*/) {
  if (reason == DLL_THREAD_ATTACH) {
    const int slot = AttachedCount.fetch_add(1);
    if (slot < MostThreads) {
      AttachedThreads[slot].store(GetCurrentThreadId());
    }
  }
}

bool HasAttached(DWORD thread) {
  const int count = std::min(AttachedCount.load(), MostThreads);
  return std::any_of(AttachedThreads, AttachedThreads + count,
                     [thread](const std::atomic<DWORD>& attached) { return attached.load() == thread; });
}

// True when every other thread of the process has been attached.
bool EveryThreadHasStarted() {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) {
    return true;
  }
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  bool started = true;
  for (BOOL more = Thread32First(snapshot, &entry); more && started; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID == GetCurrentProcessId() && entry.th32ThreadID != GetCurrentThreadId()) {
      started = HasAttached(entry.th32ThreadID);
    }
  }
  CloseHandle(snapshot);
  return started;
}

// Waits until every thread has started, at most five seconds: a thread that
// never starts is the test's own fault, for the test to show.
void LetThreadsStart() {
  for (int waited = 0; waited < 5000 && !EveryThreadHasStarted(); ++waited) {
    Sleep(1);
  }
}

}  // namespace

// The loader calls the callbacks of this section for every thread it
// attaches.
extern "C" __attribute__((section(".CRT$XLY"), used)) const PIMAGE_TLS_CALLBACK AngleconvThreadCallback =
    NoteThreadAttached;

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  { SCOPED_TRACE("the main thread's watcher starts here"); }
  LetThreadsStart();
  const int result = RUN_ALL_TESTS();
  LetThreadsStart();
  return result;
}
