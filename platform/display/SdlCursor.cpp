// Cursors on the desktop. Pictures are made into desktop cursors once and kept, keyed by the
// picture, so an animation costs no allocation per frame.
#include "SdlCursor.h"

#include <algorithm>

namespace yonda::display {

size_t AnimationStepAt(const std::vector<DWORD>& rates, uint64_t elapsedMs, uint64_t* untilNextMs)
{
    uint64_t loop = 0;
    for (DWORD rate : rates)
        loop += std::max<uint64_t>(1, rate * 1000ull / 60);
    if (rates.empty() || loop == 0) {
        *untilNextMs = UINT64_MAX;
        return 0;
    }
    uint64_t at = elapsedMs % loop;
    for (size_t i = 0; i < rates.size(); ++i) {
        uint64_t length = std::max<uint64_t>(1, rates[i] * 1000ull / 60);
        if (at < length) {
            *untilNextMs = length - at;
            return i;
        }
        at -= length;
    }
    *untilNextMs = 1;
    return 0;
}

CursorPlayer::~CursorPlayer()
{
    for (auto& [key, made] : m_made)
        for (SDL_Cursor* c : made.frames)
            if (c)
                SDL_FreeCursor(c);
    for (auto& [id, c] : m_system)
        if (c)
            SDL_FreeCursor(c);
}

SDL_Cursor* CursorPlayer::SystemCursor(int id)
{
    auto it = m_system.find(id);
    if (it != m_system.end())
        return it->second;
    SDL_SystemCursor kind = SDL_SYSTEM_CURSOR_ARROW;
    switch (id) {
    case 32513: kind = SDL_SYSTEM_CURSOR_IBEAM; break;
    case 32514: kind = SDL_SYSTEM_CURSOR_WAIT; break;
    case 32515: kind = SDL_SYSTEM_CURSOR_CROSSHAIR; break;
    case 32642: kind = SDL_SYSTEM_CURSOR_SIZENWSE; break;
    case 32643: kind = SDL_SYSTEM_CURSOR_SIZENESW; break;
    case 32644: kind = SDL_SYSTEM_CURSOR_SIZEWE; break;
    case 32645: kind = SDL_SYSTEM_CURSOR_SIZENS; break;
    case 32646: kind = SDL_SYSTEM_CURSOR_SIZEALL; break;
    case 32648: kind = SDL_SYSTEM_CURSOR_NO; break;
    case 32649: kind = SDL_SYSTEM_CURSOR_HAND; break;
    case 32650: kind = SDL_SYSTEM_CURSOR_WAITARROW; break;
    default: break;
    }
    SDL_Cursor* cursor = SDL_CreateSystemCursor(kind);
    m_system[id] = cursor;
    return cursor;
}

CursorPlayer::Made* CursorPlayer::Make(const std::shared_ptr<const user::CursorImage>& image)
{
    auto it = m_made.find(image.get());
    if (it != m_made.end())
        return &it->second;
    Made made;
    made.image = image;
    for (const user::CursorFrame& frame : image->frames) {
        SDL_Cursor* cursor = nullptr;
        if (frame.width > 0 && frame.height > 0 &&
            frame.pixels.size() == static_cast<size_t>(frame.width) * frame.height) {
            // SDL reads the pixels only while making the cursor.
            SDL_Surface* picture =
                SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(frame.pixels.data()), frame.width,
                                                   frame.height, 32, frame.width * 4, SDL_PIXELFORMAT_ARGB8888);
            if (picture) {
                int hx = std::clamp<int>(frame.hotspot.x, 0, frame.width - 1);
                int hy = std::clamp<int>(frame.hotspot.y, 0, frame.height - 1);
                cursor = SDL_CreateColorCursor(picture, hx, hy);
                SDL_FreeSurface(picture);
            }
        }
        made.frames.push_back(cursor);
    }
    return &m_made.emplace(image.get(), std::move(made)).first->second;
}

void CursorPlayer::ShowFrame(size_t step)
{
    m_step = step;
    if (!m_current)
        return;
    const auto& image = *m_current->image;
    int frame = step < image.sequence.size() ? image.sequence[step] : 0;
    SDL_Cursor* cursor = frame >= 0 && static_cast<size_t>(frame) < m_current->frames.size()
                             ? m_current->frames[static_cast<size_t>(frame)]
                             : nullptr;
    if (cursor && cursor != m_shown) {
        SDL_SetCursor(cursor);
        m_shown = cursor;
    }
}

void CursorPlayer::Show(HCURSOR handle, uint64_t nowMs)
{
    m_current = nullptr;
    m_step = 0;
    if (!handle) {
        SDL_ShowCursor(SDL_DISABLE);
        return;
    }
    SDL_ShowCursor(SDL_ENABLE);
    auto image = user::CursorOf(handle);
    if (!image || image->frames.empty()) {
        SDL_Cursor* cursor = SystemCursor(image ? image->systemId : 32512);
        if (cursor && cursor != m_shown) {
            SDL_SetCursor(cursor);
            m_shown = cursor;
        }
        return;
    }
    m_current = Make(image);
    m_start = nowMs;
    ShowFrame(0);
}

int CursorPlayer::Advance(uint64_t nowMs)
{
    if (!m_current || m_current->image->rates.size() < 2)
        return -1;
    uint64_t until = 0;
    size_t step = AnimationStepAt(m_current->image->rates, nowMs - m_start, &until);
    if (step != m_step)
        ShowFrame(step);
    return static_cast<int>(std::min<uint64_t>(until, 1000));
}

} // namespace yonda::display
