#pragma once
// The keyboard's vocabulary inside the player: the Windows virtual-key codes,
// which the key configuration file stores and the game tests. The SDL side
// turns its scancodes into them here; nothing else of the player sees a
// scancode.
//
// A key can carry two codes: the generic code (0x10 shift, 0x11 control, 0x12
// alt, 0x0D for both Enter keys) and, for the modifiers, the code of its side
// (0xA0/0xA1 shift, 0xA2/0xA3 control, 0xA4/0xA5 alt). A held left shift
// therefore holds both 0x10 and 0xA0.

namespace plat {

// The codes the player names in its own code; the configuration may name any.
inline constexpr int VK_BACK = 0x08;
inline constexpr int VK_TAB = 0x09;
inline constexpr int VK_RETURN = 0x0D;
inline constexpr int VK_SHIFT = 0x10;
inline constexpr int VK_CONTROL = 0x11;
inline constexpr int VK_MENU = 0x12;
inline constexpr int VK_ESCAPE = 0x1B;
inline constexpr int VK_SPACE = 0x20;
inline constexpr int VK_PRIOR = 0x21;
inline constexpr int VK_NEXT = 0x22;
inline constexpr int VK_END = 0x23;
inline constexpr int VK_HOME = 0x24;
inline constexpr int VK_LEFT = 0x25;
inline constexpr int VK_UP = 0x26;
inline constexpr int VK_RIGHT = 0x27;
inline constexpr int VK_DOWN = 0x28;
inline constexpr int VK_DELETE = 0x2E;
inline constexpr int VK_F1 = 0x70;
inline constexpr int VK_F2 = 0x71;
inline constexpr int VK_F3 = 0x72;
inline constexpr int VK_F8 = 0x77;
inline constexpr int VK_LSHIFT = 0xA0;
inline constexpr int VK_RSHIFT = 0xA1;
inline constexpr int VK_LCONTROL = 0xA2;
inline constexpr int VK_RCONTROL = 0xA3;
inline constexpr int VK_LMENU = 0xA4;
inline constexpr int VK_RMENU = 0xA5;

// Virtual-key codes are bytes: 1 to 254 can name a key.
inline constexpr int kVirtualKeyCount = 256;

// The generic virtual-key code of an SDL scancode; 0 for a key that has none.
// Letters and digits are their capital ASCII codes, F1 to F24 are 0x70 to
// 0x87, the keypad's digits 0x60 to 0x69.
int VirtualKeyFromScancode(int scancode);

// The code of the side for the six modifier keys (0xA0 to 0xA5); otherwise
// the same as VirtualKeyFromScancode.
int SidedVirtualKeyFromScancode(int scancode);

}  // namespace plat
