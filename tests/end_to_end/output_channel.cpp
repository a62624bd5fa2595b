#include "end_to_end/output_channel.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <thread>

namespace endtoend {

OutputChannel::OutputChannel(OutputKind outputKind) : kind(outputKind), pipe(false) {
  if (IsFile(kind)) {
    file = testio::FileWith("");
  }
  if (kind == OutputKind::NonBlockingPipe) {
    fcntl(pipe.far, F_SETFL, O_NONBLOCK);
    filler = testio::FillPipe(pipe.far);
  }
}

OutputChannel::~OutputChannel() {
  if (file >= 0) {
    close(file);
  }
}

void ConnectOutputInChild(const OutputChannel& channel, int target) {
  switch (channel.kind) {
    case OutputKind::File:
    case OutputKind::FileBeyondSizeLimit:
      dup2(channel.file, target);
      break;
    case OutputKind::Pipe:
    case OutputKind::NonBlockingPipe:
      dup2(channel.pipe.far, target);
      break;
    case OutputKind::DevFull:
      dup2(open("/dev/full", O_WRONLY), target);
      break;
    case OutputKind::Closed:
      break;  // closed last, so that no open above can take its number
  }
}

void CollectPipe(OutputChannel& channel, long closeAfter, std::promise<void>* closed) {
  close(channel.pipe.TakeFar());
  if (channel.filler > 0) {
    std::this_thread::sleep_for(PeerPause);
  }
  char buffer[4096];
  for (;;) {
    std::size_t wanted = sizeof buffer;
    if (closeAfter >= 0) {
      const long left = closeAfter - static_cast<long>(channel.collected.size());
      if (left <= 0) {
        break;
      }
      wanted = std::min(wanted, static_cast<std::size_t>(left));
    }
    const ssize_t n = read(channel.pipe.near, buffer, wanted);
    if (n <= 0) {
      break;
    }
    channel.collected.append(buffer, static_cast<std::size_t>(n));
  }
  close(channel.pipe.TakeNear());
  channel.collected.erase(0, channel.filler);
  if (closed != nullptr) {
    closed->set_value();
  }
}

}  // namespace endtoend
