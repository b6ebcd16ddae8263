#include "platform/VirtualKeys.h"

#include <SDL.h>

namespace plat {
namespace {

struct sKeyPair {
  SDL_Scancode scancode;
  int virtualKey;
};

// Every key of a full keyboard that has no run of codes of its own (letters,
// digits, function keys and keypad digits are computed below).
constexpr sKeyPair kKeyTable[] = {
    {SDL_SCANCODE_RETURN, 0x0D},       {SDL_SCANCODE_ESCAPE, 0x1B},       {SDL_SCANCODE_BACKSPACE, 0x08},
    {SDL_SCANCODE_TAB, 0x09},          {SDL_SCANCODE_SPACE, 0x20},        {SDL_SCANCODE_MINUS, 0xBD},
    {SDL_SCANCODE_EQUALS, 0xBB},       {SDL_SCANCODE_LEFTBRACKET, 0xDB},  {SDL_SCANCODE_RIGHTBRACKET, 0xDD},
    {SDL_SCANCODE_BACKSLASH, 0xDC},    {SDL_SCANCODE_NONUSHASH, 0xDC},    {SDL_SCANCODE_SEMICOLON, 0xBA},
    {SDL_SCANCODE_APOSTROPHE, 0xDE},   {SDL_SCANCODE_GRAVE, 0xC0},        {SDL_SCANCODE_COMMA, 0xBC},
    {SDL_SCANCODE_PERIOD, 0xBE},       {SDL_SCANCODE_SLASH, 0xBF},        {SDL_SCANCODE_CAPSLOCK, 0x14},
    {SDL_SCANCODE_PRINTSCREEN, 0x2C},  {SDL_SCANCODE_SCROLLLOCK, 0x91},   {SDL_SCANCODE_PAUSE, 0x13},
    {SDL_SCANCODE_INSERT, 0x2D},       {SDL_SCANCODE_HOME, 0x24},         {SDL_SCANCODE_PAGEUP, 0x21},
    {SDL_SCANCODE_DELETE, 0x2E},       {SDL_SCANCODE_END, 0x23},          {SDL_SCANCODE_PAGEDOWN, 0x22},
    {SDL_SCANCODE_RIGHT, 0x27},        {SDL_SCANCODE_LEFT, 0x25},         {SDL_SCANCODE_DOWN, 0x28},
    {SDL_SCANCODE_UP, 0x26},           {SDL_SCANCODE_NUMLOCKCLEAR, 0x90}, {SDL_SCANCODE_KP_DIVIDE, 0x6F},
    {SDL_SCANCODE_KP_MULTIPLY, 0x6A},  {SDL_SCANCODE_KP_MINUS, 0x6D},     {SDL_SCANCODE_KP_PLUS, 0x6B},
    {SDL_SCANCODE_KP_ENTER, 0x0D},     {SDL_SCANCODE_KP_0, 0x60},         {SDL_SCANCODE_KP_PERIOD, 0x6E},
    {SDL_SCANCODE_KP_COMMA, 0x6C},     {SDL_SCANCODE_KP_EQUALS, 0x92},
    {SDL_SCANCODE_NONUSBACKSLASH, 0xE2}, {SDL_SCANCODE_APPLICATION, 0x5D},
    {SDL_SCANCODE_INTERNATIONAL1, 0xE2}, {SDL_SCANCODE_INTERNATIONAL3, 0xDC},
    {SDL_SCANCODE_INTERNATIONAL4, 0x1C}, {SDL_SCANCODE_INTERNATIONAL5, 0x1D},
    {SDL_SCANCODE_LANG1, 0x15},        {SDL_SCANCODE_LANG2, 0x19},
    {SDL_SCANCODE_LCTRL, 0x11},        {SDL_SCANCODE_RCTRL, 0x11},        {SDL_SCANCODE_LSHIFT, 0x10},
    {SDL_SCANCODE_RSHIFT, 0x10},       {SDL_SCANCODE_LALT, 0x12},         {SDL_SCANCODE_RALT, 0x12},
    {SDL_SCANCODE_LGUI, 0x5B},         {SDL_SCANCODE_RGUI, 0x5C},
};

}  // namespace

int VirtualKeyFromScancode(int scancode) {
  if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) return 'A' + (scancode - SDL_SCANCODE_A);
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) return '1' + (scancode - SDL_SCANCODE_1);
  if (scancode == SDL_SCANCODE_0) return '0';
  if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12) return 0x70 + (scancode - SDL_SCANCODE_F1);
  if (scancode >= SDL_SCANCODE_F13 && scancode <= SDL_SCANCODE_F24) return 0x7C + (scancode - SDL_SCANCODE_F13);
  if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9) return 0x61 + (scancode - SDL_SCANCODE_KP_1);
  for (const sKeyPair& pair : kKeyTable) {
    if (pair.scancode == scancode) return pair.virtualKey;
  }
  return 0;
}

int SidedVirtualKeyFromScancode(int scancode) {
  switch (scancode) {
    case SDL_SCANCODE_LSHIFT: return VK_LSHIFT;
    case SDL_SCANCODE_RSHIFT: return VK_RSHIFT;
    case SDL_SCANCODE_LCTRL: return VK_LCONTROL;
    case SDL_SCANCODE_RCTRL: return VK_RCONTROL;
    case SDL_SCANCODE_LALT: return VK_LMENU;
    case SDL_SCANCODE_RALT: return VK_RMENU;
    default: return VirtualKeyFromScancode(scancode);
  }
}

}  // namespace plat
