#include "core/format.h"

namespace {

// Where formatted characters go: a fixed buffer that drops what does not
// fit, or a string that grows.
struct BufferSink {
  char* data;
  std::size_t room;  // characters that still fit before the zero byte
  std::size_t length = 0;
  void Put(char c) {
    if (length < room) {
      data[length++] = c;
    }
  }
};

struct StringSink {
  std::string& text;
  void Put(char c) { text.push_back(c); }
};

// Digits of `value` in `base`, most significant first, padded with zeros
// to `minimumDigits`.
template <typename Sink>
void PutDigits(Sink& sink, std::uint64_t value, unsigned base, int minimumDigits) {
  char digits[64];
  int count = 0;
  do {
    digits[count++] = "0123456789ABCDEF"[value % base];
    value /= base;
  } while (value != 0);
  while (count < minimumDigits) {
    digits[count++] = '0';
  }
  while (count > 0) {
    sink.Put(digits[--count]);
  }
}

bool IsKnownDirective(char directive) {
  return directive == 's' || directive == 'd' || directive == 'x' || directive == 'p';
}

// One argument as `directive`, a known one, reads it.
template <typename Sink>
void PutArgument(Sink& sink, char directive, const FormatArg& arg) {
  switch (directive) {
    case 's':
      for (const char t : arg.text) {
        sink.Put(t);
      }
      break;
    case 'd':
      if (arg.signedValue < 0) {
        sink.Put('-');
        // Negate in unsigned arithmetic so that the lowest value works too.
        PutDigits(sink, 0 - static_cast<std::uint64_t>(arg.signedValue), 10, 1);
      } else {
        PutDigits(sink, static_cast<std::uint64_t>(arg.signedValue), 10, 1);
      }
      break;
    case 'x':
      PutDigits(sink, arg.bits, 16, 1);
      break;
    case 'p':
      PutDigits(sink, arg.bits, 16, 8);
      break;
  }
}

template <typename Sink>
void Format(Sink& sink, std::string_view format, FormatArgs args) {
  const FormatArg* next = args.begin();
  for (std::size_t i = 0; i < format.size(); ++i) {
    // Step 1: text outside directives, and a '%' that ends the format, as
    // it stands.
    const char c = format[i];
    if (c != '%' || i + 1 == format.size()) {
      sink.Put(c);
      continue;
    }
    // Step 2: "%%" is one '%'.
    const char directive = format[i + 1];
    if (directive == '%') {
      sink.Put('%');
      ++i;
      continue;
    }
    // Step 3: an unknown directive, or one without an argument left, as it
    // stands.
    if (!IsKnownDirective(directive) || next == args.end()) {
      sink.Put(c);
      continue;
    }
    // Step 4: the next argument, as the directive reads it.
    PutArgument(sink, directive, *next++);
    ++i;
  }
}

}  // namespace

std::size_t FormatToBuffer(char* buffer, std::size_t capacity, std::string_view format, FormatArgs args) {
  if (capacity == 0) {
    return 0;
  }
  BufferSink sink{buffer, capacity - 1};
  Format(sink, format, args);
  buffer[sink.length] = '\0';
  return sink.length;
}

std::string FormatToString(std::string_view format, FormatArgs args) {
  std::string text;
  StringSink sink{text};
  Format(sink, format, args);
  return text;
}
