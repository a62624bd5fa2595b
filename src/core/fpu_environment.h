// The floating-point environment that the start-up installs: the control
// word 0x1332 (invalid operation, division by zero and overflow unmasked;
// 64-bit significand; round to nearest), adjustable in its six exception
// masks by a registry value on certain keyboards.
#pragma once

#include <cstdint>

extern std::uint16_t DefaultControlWord;

// True when the keyboard type is 7 and its subtype (bits 0xFF00) is
// 0x0D00 or 0x0400; the subtype is asked for only after a type of 7.
bool NeedsFpuMaskOverride();

// Puts the six low bits of the registry value "FPUMaskValue" into
// DefaultControlWord; a key that does not open or a missing value leaves it.
void LoadFpuMaskOverride();

// Resets the unit and loads DefaultControlWord as its control word.
void InitFpu();

// The start-up order: the override when the keyboard asks for it, then
// InitFpu in every case.
void InstallFpuEnvironment();
