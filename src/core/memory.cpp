#include "core/memory.h"

#include <atomic>
#include <new>

#include "core/runtime_error.h"
#include "platform/memory_api.h"

namespace {

constexpr std::size_t MemoryLimit = std::size_t{1} << 30;

// The bytes of the blocks served and not yet freed, as the heap counts them.
// Atomic for the hosts with threads (test runners, fuzzers) that link the
// manager; the check before a block is served may let two threads pass
// together, which only bends the limit by a block.
std::atomic<std::size_t> BytesInUse{0};

// A block of `size` bytes while the total stays within the limit, else null.
void* ServeBlock(std::size_t size) {
  const std::size_t inUse = BytesInUse.load(std::memory_order_relaxed);
  if (inUse > MemoryLimit || size > MemoryLimit - inUse) {
    return nullptr;
  }
  void* block = HeapAlloc(GetProcessHeap(), 0, size);
  if (block != nullptr) {
    BytesInUse.fetch_add(HeapSize(GetProcessHeap(), 0, block), std::memory_order_relaxed);
  }
  return block;
}

void ReturnBlock(void* block) {
  if (block != nullptr) {
    BytesInUse.fetch_sub(HeapSize(GetProcessHeap(), 0, block), std::memory_order_relaxed);
    HeapFree(GetProcessHeap(), 0, block);
  }
}

// The return address of its call: a stable code address inside the
// memory manager, which a report names as the location.
__attribute__((noinline)) void* CallSite() { return CALLER_LOCATION; }

// Called by operator new when it cannot allocate; does not return.
[[noreturn]] __attribute__((noinline)) void AllocationFailed() {
  RaiseRuntimeError(RuntimeErrorKind::OutOfMemory, CallSite());
}

}  // namespace

void InstallAllocationFailureHandler() { std::set_new_handler(AllocationFailed); }

// The replaceable global allocation functions, all served by the manager.
// A failed request calls the new-handler until it succeeds, as the standard
// ones do; without a handler it throws std::bad_alloc.
void* operator new(std::size_t size) {
  for (;;) {
    if (void* block = ServeBlock(size)) {
      return block;
    }
    const std::new_handler handler = std::get_new_handler();
    if (handler == nullptr) {
      throw std::bad_alloc();
    }
    handler();
  }
}

void* operator new(std::size_t size, const std::nothrow_t& /*tag*/) noexcept {
  try {
    return operator new(size);
  } catch (...) {
    return nullptr;
  }
}

void* operator new[](std::size_t size) { return operator new(size); }

void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }

void operator delete(void* block) noexcept { ReturnBlock(block); }

void operator delete[](void* block) noexcept { ReturnBlock(block); }

void operator delete(void* block, std::size_t /*size*/) noexcept { ReturnBlock(block); }

void operator delete[](void* block, std::size_t /*size*/) noexcept { ReturnBlock(block); }

void operator delete(void* block, const std::nothrow_t& /*tag*/) noexcept { ReturnBlock(block); }

void operator delete[](void* block, const std::nothrow_t& /*tag*/) noexcept { ReturnBlock(block); }
