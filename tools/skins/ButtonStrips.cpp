#include "ButtonStrips.h"

#include "GdiLabel.h"
#include "SoftShapes.h"

namespace {

using namespace SkinTheme;
constexpr uint32_t kBrown = 0x5A3214;
constexpr uint32_t kGrey = 0xB4AAA0;
constexpr uint32_t kGreyInk = 0x8C8680;

enum class FaceState { Normal, Hover, Pressed, Disabled };

// One push-button face in the column starting at x: a blend from top to bottom inside a dark
// outline whose corner pixels are keyed out, with the label centred (one pixel lower pressed).
void PushFace(SkinPicture& p, int x, int width, uint32_t face, FaceState state, const std::string& label, UINT codePage)
{
    const int height = p.height;
    uint32_t top = BlendColour(face, 0xFFFFFF, 1, 2);
    uint32_t bottom = face;
    switch (state) {
    case FaceState::Hover:
        top = BlendColour(face, 0xFFFFFF, 2, 3);
        bottom = BlendColour(face, 0xFFFFFF, 1, 3);
        break;
    case FaceState::Pressed:
        top = BlendColour(face, 0, 1, 4);
        bottom = BlendColour(face, 0, 1, 3);
        break;
    case FaceState::Disabled: top = bottom = kGrey; break;
    case FaceState::Normal: break;
    }
    p.Gradient(x + 1, 1, x + width - 1, height - 1, top, bottom);
    p.Frame(x + 1, 0, x + width - 1, height, kOrangeDark);
    p.Frame(x, 1, x + width, height - 1, kOrangeDark);
    const int down = state == FaceState::Pressed ? 1 : 0;
    BoxTextStyle style{12, FW_BOLD, state == FaceState::Disabled ? kGreyInk : kBrown,
                       DT_CENTER | DT_VCENTER | DT_SINGLELINE, false};
    DrawBoxedText(p, RECT{x + 2, down, x + width - 2, height + down}, label, style, codePage);
}

void GlyphOn(SkinPicture& p, int x, int width, Glyph glyph, FaceState state)
{
    const int height = p.height;
    const int down = state == FaceState::Pressed ? 1 : 0;
    const uint32_t ink = state == FaceState::Disabled ? kGreyInk : 0xFFFFFF;
    if (glyph == Glyph::Close) {
        for (int i = 5; i < width - 5; ++i) {
            p.Fill(x + i, i + down, x + i + 2, i + down + 1, ink);
            p.Fill(x + width - i - 2, i + down, x + width - i, i + down + 1, ink);
        }
    } else if (glyph == Glyph::Minimise) {
        p.Fill(x + 5, height - 7 + down, x + width - 5, height - 5 + down, ink);
    }
}

} // namespace

SkinPicture ButtonStrip(int width, int height, uint32_t face, const std::string& label, Glyph glyph, UINT codePage)
{
    SkinPicture p(width * 4, height, kStripKey);
    const FaceState states[4] = {FaceState::Normal, FaceState::Hover, FaceState::Pressed, FaceState::Disabled};
    for (int column = 0; column < 4; ++column) {
        PushFace(p, column * width, width, face, states[column], label, codePage);
        GlyphOn(p, column * width, width, glyph, states[column]);
    }
    return p;
}

SkinPicture StageStrip(int width, int height, uint32_t face, const std::string& label, UINT codePage)
{
    SkinPicture p(width * 4, height, kStripKey);
    const FaceState states[4] = {FaceState::Disabled, FaceState::Normal, FaceState::Hover, FaceState::Pressed};
    for (int column = 0; column < 4; ++column) {
        PushFace(p, column * width, width, face, states[column], label, codePage);
    }
    return p;
}

SkinPicture ChannelStrip(int width, int height, const std::vector<std::string>& labels, UINT codePage)
{
    SkinPicture p(width * static_cast<int>(labels.size()), height, kStripKey);
    for (size_t column = 0; column < labels.size(); ++column) {
        // Neighbouring lobbies alternate between two shades of the theme, so the row reads as
        // separate doors.
        const uint32_t face = column % 2 == 0 ? kOrange : BlendColour(kOrange, kOrangeDark, 1, 3);
        PushFace(p, static_cast<int>(column) * width, width, face, FaceState::Normal, labels[column], codePage);
    }
    return p;
}

SkinPicture TitleStrip(int width, int height, const std::vector<std::string>& labels, UINT codePage)
{
    // One emblem colour per lobby, turning round the colour wheel from the theme's orange.
    static constexpr uint32_t kEmblems[] = {0xF2C230, 0x58B848, 0x4890D8, 0xC060B0, 0xE05A28};
    SkinPicture p(width * static_cast<int>(labels.size()), height, kOrangeDark);
    Canvas emblems(p.width, p.height);
    const double radius = (height - 8) / 2.0;
    for (size_t column = 0; column < labels.size(); ++column) {
        const int x = static_cast<int>(column) * width;
        p.Gradient(x, 0, x + width, height, kOrange, kOrangeDark);
        p.Frame(x, 0, x + width, height, BlendColour(kOrangeDark, 0, 1, 3));
        p.Fill(x + 1, 1, x + width - 1, 2, kOrangeLight);
        const double cx = x + 4 + radius + 1;
        const double cy = height / 2.0;
        emblems.Paint(Disc(cx, cy, radius + 1), 0xFFFFFF);
        emblems.Paint(Disc(cx, cy, radius - 0.5), kEmblems[column % std::size(kEmblems)]);
        const int textLeft = static_cast<int>(cx + radius) + 6;
        BoxTextStyle style{13, FW_BOLD, BlendColour(kOrangeDark, 0, 1, 2), DT_LEFT | DT_VCENTER | DT_SINGLELINE, false};
        DrawBoxedText(p, RECT{textLeft + 1, 1, x + width - 3, height + 1}, labels[column], style, codePage);
        style.colour = 0xFFFFFF;
        DrawBoxedText(p, RECT{textLeft, 0, x + width - 4, height}, labels[column], style, codePage);
    }
    emblems.Onto(p);
    return p;
}

SkinPicture CheckStrip(int width, int height, const std::string& label, UINT codePage)
{
    // On the dialogs' cream, not the key colour: smoothed letters over magenta would leave a
    // pink fringe.
    SkinPicture p(width * 4, height, kCream);
    const int box = height - 4;
    for (int column = 0; column < 4; ++column) {
        const int x = column * width;
        const bool disabled = column == 3;
        const int top = (height - box) / 2;
        p.Fill(x + 1, top, x + 1 + box, top + box, disabled ? kGrey : column == 1 ? kOrangeLight : 0xFFFFFF);
        p.Frame(x + 1, top, x + 1 + box, top + box, disabled ? kGreyInk : kOrangeDark);
        if (column == 2) {
            // The tick: a short stroke down to the right, then a long one up, inside the box.
            const int left = x + 1 + box / 5;
            const int middle = top + box / 2;
            const int shortLength = box / 4;
            for (int i = 0; i < shortLength; ++i) {
                p.Fill(left + i, middle - 1 + i, left + i + 2, middle + 1 + i, kOrangeDark);
            }
            const int longLength = box / 2;
            for (int i = 0; i <= longLength; ++i) {
                p.Fill(left + shortLength + i, middle + shortLength - 1 - i, left + shortLength + i + 2,
                       middle + shortLength + 1 - i, kOrangeDark);
            }
        }
        BoxTextStyle style{12, FW_NORMAL, disabled ? kGreyInk : kBrown, DT_LEFT | DT_VCENTER | DT_SINGLELINE, false};
        DrawBoxedText(p, RECT{x + box + 6, 0, x + width, height}, label, style, codePage);
    }
    return p;
}

SkinPicture LinkStrip(int width, int height, const std::string& label, UINT codePage)
{
    SkinPicture p(width * 4, height, kCream);
    const uint32_t inks[4] = {kOrangeDark, kOrange, kBrown, kGreyInk};
    for (int column = 0; column < 4; ++column) {
        const int x = column * width;
        const int down = column == 2 ? 1 : 0;
        BoxTextStyle style{12, FW_BOLD, inks[column], DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                           column == 1 || column == 2};
        DrawBoxedText(p, RECT{x, down, x + width, height + down}, label, style, codePage);
    }
    return p;
}
