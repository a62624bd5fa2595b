// What the checked operations of extended_arithmetic.h are made of: the
// installed control word, the sticky status word, and the step that joins an
// operation's flags to it and raises the fault for those the control word
// leaves unmasked. Internal to src/arithmetic.
#pragma once

#include <cstdint>

#include "arithmetic/extended_operations.h"
#include "arithmetic/extended_value.h"

namespace x87::detail {

// An installed control word and the status flags that its masks make
// faults, derived together when it is built so that the two never disagree.
// Only LoadControlWord builds one.
class InstalledControl {
 public:
  constexpr explicit InstalledControl(std::uint16_t word)
      : word_(word), faultingFlags_(static_cast<std::uint16_t>(~word & ExceptionMasks)) {}
  constexpr std::uint16_t Word() const { return word_; }
  constexpr std::uint16_t FaultingFlags() const { return faultingFlags_; }

 private:
  std::uint16_t word_;
  std::uint16_t faultingFlags_;
};
extern InstalledControl installedControl;
extern std::uint16_t statusWord;

// Raises the fault for `flags`. Never inlined: its return address is the
// code address of the operation that faulted, inside the function that
// asked for it.
[[noreturn]] __attribute__((noinline)) void RaiseFloatFault(std::uint16_t flags);

// One Masked operation, checked: its flags join the status word, and an
// unmasked one is a fault of this very operation. Inlined, even without
// optimisation, so that the fault's code address is the operation's own
// place in its caller.
template <auto Operation, typename... Operands>
__attribute__((always_inline)) inline auto Checked(Operands... operands) {
  std::uint16_t flags = 0;
  const auto result = Operation(operands..., flags);
  statusWord |= flags;
  if ((flags & installedControl.FaultingFlags()) != 0) {
    RaiseFloatFault(flags & installedControl.FaultingFlags());
  }
  return result;
}

}  // namespace x87::detail
