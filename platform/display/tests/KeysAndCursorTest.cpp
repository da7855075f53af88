// The desktop's key codes as virtual keys, and the stepping of animated cursors by their rates.
#include "../SdlCursor.h"
#include "../SdlKeys.h"

#include <gtest/gtest.h>

namespace {

using yonda::display::AnimationStepAt;
using yonda::display::VirtualKeyOf;

TEST(DesktopKeys, MapToTheVirtualKeysTheProgramReads)
{
    struct Case {
        SDL_Keycode key;
        SDL_Scancode scancode;
        UINT vk;
    };
    const Case cases[] = {
        {SDLK_a, SDL_SCANCODE_A, 'A'},
        {SDLK_z, SDL_SCANCODE_Z, 'Z'},
        {SDLK_0, SDL_SCANCODE_0, '0'},
        {SDLK_F1, SDL_SCANCODE_F1, VK_F1},
        {SDLK_F12, SDL_SCANCODE_F12, VK_F12},
        {SDLK_F13, SDL_SCANCODE_F13, VK_F13},
        {SDLK_F24, SDL_SCANCODE_F24, VK_F24},
        {SDLK_PAGEUP, SDL_SCANCODE_PAGEUP, VK_PRIOR},
        {SDLK_PAGEDOWN, SDL_SCANCODE_PAGEDOWN, VK_NEXT},
        {SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, VK_RETURN},
        {SDLK_KP_0, SDL_SCANCODE_KP_0, VK_NUMPAD0},
        {SDLK_KP_9, SDL_SCANCODE_KP_9, VK_NUMPAD9},
        {SDLK_RSHIFT, SDL_SCANCODE_RSHIFT, VK_SHIFT},
        {SDLK_LCTRL, SDL_SCANCODE_LCTRL, VK_CONTROL},
        {SDLK_RALT, SDL_SCANCODE_RALT, VK_MENU},
        {SDLK_SEMICOLON, SDL_SCANCODE_SEMICOLON, VK_OEM_1},
        {SDLK_BACKQUOTE, SDL_SCANCODE_GRAVE, VK_OEM_3},
        {SDLK_UNKNOWN, SDL_SCANCODE_LANG1, VK_HANGUL},
        {SDLK_UNKNOWN, SDL_SCANCODE_LANG2, VK_HANJA},
        // A layout whose letter key types a non-Latin character: the key's place decides.
        {0x3131, SDL_SCANCODE_R, 'R'},
        {SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN, 0},
        {SDLK_VOLUMEUP, SDL_SCANCODE_VOLUMEUP, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(VirtualKeyOf(c.key, c.scancode), c.vk) << "key " << c.key << " scancode " << c.scancode;
}

TEST(AnimatedCursor, StepsFollowTheRatesAndLoop)
{
    // Rates are in 1/60 s: 6 -> 100 ms, 12 -> 200 ms, 3 -> 50 ms.
    const std::vector<DWORD> rates = {6, 12, 3};
    struct Case {
        uint64_t at;
        size_t step;
        uint64_t until;
    };
    const Case cases[] = {
        {0, 0, 100},  {99, 0, 1},  {100, 1, 200}, {299, 1, 1},
        {300, 2, 50}, {349, 2, 1}, {350, 0, 100}, {1050 + 120, 1, 180},
    };
    for (const Case& c : cases) {
        uint64_t until = 0;
        EXPECT_EQ(AnimationStepAt(rates, c.at, &until), c.step) << "at " << c.at;
        EXPECT_EQ(until, c.until) << "at " << c.at;
    }
    uint64_t until = 0;
    EXPECT_EQ(AnimationStepAt({}, 5, &until), 0u);
    EXPECT_EQ(until, UINT64_MAX);
    EXPECT_EQ(AnimationStepAt({0, 0}, 5, &until), 1u); // a zero rate still shows for a moment
}

} // namespace
