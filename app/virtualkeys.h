// The virtual-key codes that the portable core speaks of, as the system
// numbers them (VK_PRIOR ... VK_OEM_MINUS); letters and digits are their
// upper-case ASCII codes.
#pragma once

#include <cstdint>

enum VirtualKey : std::uint32_t {
  KeyPageUp = 0x21,
  KeyPageDown = 0x22,
  KeyEnd = 0x23,
  KeyHome = 0x24,
  KeyLeft = 0x25,
  KeyUp = 0x26,
  KeyRight = 0x27,
  KeyDown = 0x28,
  KeyInsert = 0x2D,
  KeyPadZero = 0x60,
  KeyPadPlus = 0x6B,
  KeyPadMinus = 0x6D,
  KeyF3 = 0x72,
  KeyPlus = 0xBB,   // the "=" and "+" key
  KeyMinus = 0xBD,  // the "-" key
};
