// Cursors on the desktop (internal, display thread only): the system cursors by number and the
// program's .cur/.ani pictures as colour cursors, an animated one stepped by its frame rates.
#pragma once

#include "../user/Cursor.h"

#include <SDL.h>

#include <map>
#include <memory>
#include <vector>

namespace yonda::display {

// The step of an animation `elapsedMs` after it started, its rates in 1/60 s per step, looping;
// *untilNextMs is how long that step still shows.
size_t AnimationStepAt(const std::vector<DWORD>& rates, uint64_t elapsedMs, uint64_t* untilNextMs);

class CursorPlayer {
public:
    CursorPlayer() = default;
    CursorPlayer(const CursorPlayer&) = delete;
    CursorPlayer& operator=(const CursorPlayer&) = delete;
    ~CursorPlayer();

    // A null cursor hides the pointer, as on the platform.
    void Show(HCURSOR cursor, uint64_t nowMs);
    // Shows the step due now; answers the milliseconds until the next one, or -1 when the cursor
    // does not move.
    int Advance(uint64_t nowMs);
    size_t Step() const { return m_step; }

private:
    struct Made {
        std::shared_ptr<const user::CursorImage> image;
        std::vector<SDL_Cursor*> frames; // per picture frame; null where it could not be made
    };
    Made* Make(const std::shared_ptr<const user::CursorImage>& image);
    SDL_Cursor* SystemCursor(int id);
    void ShowFrame(size_t step);

    std::map<const user::CursorImage*, Made> m_made;
    std::map<int, SDL_Cursor*> m_system;
    Made* m_current = nullptr;
    uint64_t m_start = 0;
    size_t m_step = 0;
    SDL_Cursor* m_shown = nullptr;
};

} // namespace yonda::display
