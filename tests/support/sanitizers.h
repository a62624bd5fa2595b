// Whether this build runs under the address sanitizer, whose run-time needs
// far more address space than the program and reads /proc, and whose
// instrumented code moves the addresses a report shows.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool BuiltWithSanitizers = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool BuiltWithSanitizers = true;
#else
inline constexpr bool BuiltWithSanitizers = false;
#endif
#else
inline constexpr bool BuiltWithSanitizers = false;
#endif
