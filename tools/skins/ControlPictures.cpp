#include "ControlPictures.h"

#include <cstdlib>

namespace {

using namespace SkinTheme;
constexpr uint32_t kTrack = 0xFBE3C8;
constexpr uint32_t kGrey = 0xC8C0B8;
constexpr uint32_t kWhite = 0xFFFFFF;

// Scroll-bar parts are as wide as the strip the lists and menus keep free for them.
constexpr int kSide = 18;
constexpr int kThumbLength = 30;

enum class Direction { Up, Down, Left, Right };

// A solid triangle pointing `direction`, centred in the square at (x, y).
void Arrow(SkinPicture& p, int x, int y, int side, Direction direction, uint32_t colour)
{
    const int half = side / 4;
    const int centre = side / 2;
    for (int step = 0; step <= half; ++step) {
        const int from = centre - step;
        const int to = centre + step;
        const int at = centre - half / 2 + step;
        switch (direction) {
        case Direction::Up: p.Fill(x + from, y + at, x + to, y + at + 1, colour); break;
        case Direction::Down: p.Fill(x + from, y + side - at - 1, x + to, y + side - at, colour); break;
        case Direction::Left: p.Fill(x + at, y + from, x + at + 1, y + to, colour); break;
        case Direction::Right: p.Fill(x + side - at - 1, y + from, x + side - at, y + to, colour); break;
        }
    }
}

// Three frames side by side: at rest, pressed, and a spare the bar never shows.
SkinPicture ArrowFrames(Direction direction)
{
    SkinPicture p(kSide * 3, kSide, kCream);
    const uint32_t tops[3] = {kOrangeLight, kOrange, kGrey};
    const uint32_t bottoms[3] = {kOrange, kOrangeDark, kGrey};
    const uint32_t glyphs[3] = {kOrangeDark, kWhite, kWhite};
    for (int frame = 0; frame < 3; ++frame) {
        const int x = frame * kSide;
        p.Gradient(x, 0, x + kSide, kSide, tops[frame], bottoms[frame]);
        p.Frame(x, 0, x + kSide, kSide, kOrangeDark);
        Arrow(p, x, 0, kSide, direction, glyphs[frame]);
    }
    return p;
}

// The thumb: a raised grip with three ridges across the axis.
SkinPicture ThumbFrames(bool vertical)
{
    const int width = vertical ? kSide : kThumbLength;
    const int height = vertical ? kThumbLength : kSide;
    SkinPicture p(width * 3, height, kCream);
    const uint32_t faces[3] = {kOrange, kOrangeDark, kGrey};
    for (int frame = 0; frame < 3; ++frame) {
        const int x = frame * width;
        p.Gradient(x + 1, 1, x + width - 1, height - 1, kOrangeLight, faces[frame]);
        p.Frame(x, 0, x + width, height, kOrangeDark);
        for (int ridge = -1; ridge <= 1; ++ridge) {
            if (vertical) {
                const int y = height / 2 + ridge * 4;
                p.Fill(x + 5, y, x + width - 5, y + 1, kOrangeDark);
                p.Fill(x + 5, y + 1, x + width - 5, y + 2, kCream);
            } else {
                const int gx = x + width / 2 + ridge * 4;
                p.Fill(gx, 5, gx + 1, height - 5, kOrangeDark);
                p.Fill(gx + 1, 5, gx + 2, height - 5, kCream);
            }
        }
    }
    return p;
}

// The track: pale orange with a thin groove along the middle.
SkinPicture Body(bool vertical)
{
    const int width = vertical ? kSide : 96;
    const int height = vertical ? 96 : kSide;
    SkinPicture p(width, height, kTrack);
    p.Frame(0, 0, width, height, kOrangeLight);
    if (vertical) {
        p.Fill(width / 2 - 1, kSide, width / 2 + 1, height - kSide, kOrangeLight);
    } else {
        p.Fill(kSide, height / 2 - 1, width - kSide, height / 2 + 1, kOrangeLight);
    }
    return p;
}

// The popup menu's background: three bands of equal height (top, middle, bottom); the menu keeps
// the outer 4 pixels of each band and stretches the column at x 4 between them. The last item
// covers most of the bottom band, so only its edge carries the frame.
SkinPicture PopupBackground()
{
    constexpr int kWidth = 120;
    constexpr int kBand = 8;
    SkinPicture p(kWidth, kBand * 3, kCream);
    p.Gradient(0, 0, kWidth, kBand, kOrange, kOrangeLight);
    for (int y = 0; y < kBand * 3; ++y) {
        p.Fill(0, y, 1, y + 1, kOrangeDark);
        p.Fill(kWidth - 1, y, kWidth, y + 1, kOrangeDark);
        p.Fill(1, y, 2, y + 1, kOrangeLight);
        p.Fill(kWidth - 2, y, kWidth - 1, y + 1, kOrangeLight);
    }
    p.Fill(0, 0, kWidth, 1, kOrangeDark);
    p.Fill(0, kBand * 3 - 1, kWidth, kBand * 3, kOrangeDark);
    return p;
}

// The drop-down selector's button: four states side by side (normal, hover, pressed, disabled),
// copied opaque.
SkinPicture DropButton()
{
    SkinPicture p(kSide * 4, kSide, kCream);
    const uint32_t tops[4] = {kOrangeLight, 0xFFD8A8, kOrange, kGrey};
    const uint32_t bottoms[4] = {kOrange, kOrangeLight, kOrangeDark, kGrey};
    const uint32_t glyphs[4] = {kOrangeDark, kOrangeDark, kWhite, 0x8C8680};
    for (int state = 0; state < 4; ++state) {
        const int x = state * kSide;
        p.Gradient(x, 0, x + kSide, kSide, tops[state], bottoms[state]);
        p.Frame(x, 0, x + kSide, kSide, state == 3 ? 0x8C8680 : kOrangeDark);
        Arrow(p, x, 0, kSide, Direction::Down, glyphs[state]);
    }
    return p;
}

} // namespace

std::vector<std::pair<std::string, SkinPicture>> ControlSkinPictures()
{
    std::vector<std::pair<std::string, SkinPicture>> pictures;
    pictures.emplace_back("scrollbar_up.bmp", ArrowFrames(Direction::Up));
    pictures.emplace_back("scrollbar_down.bmp", ArrowFrames(Direction::Down));
    pictures.emplace_back("scrollbar_vpos.bmp", ThumbFrames(true));
    pictures.emplace_back("scrollbar_vbody.bmp", Body(true));
    pictures.emplace_back("scrollbar_left.bmp", ArrowFrames(Direction::Left));
    pictures.emplace_back("scrollbar_right.bmp", ArrowFrames(Direction::Right));
    pictures.emplace_back("scrollbar_hpos.bmp", ThumbFrames(false));
    pictures.emplace_back("scrollbar_hbody.bmp", Body(false));
    pictures.emplace_back("popup_back.bmp", PopupBackground());
    pictures.emplace_back("combo_button.bmp", DropButton());
    return pictures;
}
