#include "CursorPictures.h"

#include "SoftShapes.h"

#include <cmath>

namespace {

constexpr uint32_t kOutline = 0x5A2A08;
constexpr uint32_t kOrangeTop = 0xFFC27A;
constexpr uint32_t kOrangeBottom = 0xF07A1A;
constexpr uint32_t kHighlight = 0xFFE8C8;
constexpr uint32_t kCream = 0xFFF4E6;

constexpr int kSide = 32;

// The pointer, its tip on the hot spot (1, 1).
const std::vector<PointD> kArrow = {{1.5, 1.5},   {1.5, 22.5}, {6.6, 17.6}, {10.2, 25.6},
                                    {13.4, 24.2}, {9.9, 16.3}, {16.8, 16.3}};

std::vector<PointD> Shifted(const std::vector<PointD>& points, double dx, double dy)
{
    std::vector<PointD> out = points;
    for (PointD& p : out) {
        p.x += dx;
        p.y += dy;
    }
    return out;
}

// The arrow; `glint` >= 0 lays a bright diagonal band across it at that distance from the tip.
void PaintArrow(Canvas& canvas, double glint)
{
    canvas.Paint(Grown(Shifted(kArrow, 1.2, 1.6), 1.0), 0x000000, 0.22);
    canvas.Paint(Grown(kArrow, 1.3), kOutline);
    canvas.Paint(Polygon(kArrow), [](double, double y) { return Mix(kOrangeTop, kOrangeBottom, (y - 1.5) / 24.0); });
    canvas.Paint(Both(Polygon(kArrow), Stroke({2.7, 4.5}, {2.7, 18.5}, 1.3)), kHighlight, 0.8);
    if (glint >= 0) {
        canvas.Paint(Both(Polygon(kArrow), [glint](double x, double y) { return std::fabs(x + y - glint) < 1.7; }),
                     0xFFFFFF, 0.6);
    }
}

CursorImage Frame(const Canvas& canvas, int hotX, int hotY)
{
    CursorImage image;
    image.hotX = hotX;
    image.hotY = hotY;
    image.argb = canvas.Argb();
    return image;
}

AnimatedCursor DefaultArrow()
{
    AnimatedCursor cursor;
    cursor.title = "Orange arrow";
    // At rest for three seconds, then a glint runs from the tip to the tail.
    for (int frame = 0; frame < 6; ++frame) {
        Canvas canvas(kSide, kSide);
        PaintArrow(canvas, frame == 0 ? -1.0 : 2.0 + frame * 7.0);
        cursor.frames.push_back(Frame(canvas, 1, 1));
        cursor.sequence.push_back(static_cast<uint32_t>(frame));
        cursor.rates.push_back(frame == 0 ? 180 : 3);
    }
    return cursor;
}

AnimatedCursor WaitRing()
{
    constexpr int kDots = 8;
    constexpr double kPi = 3.14159265358979323846;
    AnimatedCursor cursor;
    cursor.title = "Orange wait";
    for (int frame = 0; frame < kDots; ++frame) {
        Canvas canvas(kSide, kSide);
        canvas.Paint(Disc(16, 16, 4.0), kCream, 0.7);
        for (int dot = 0; dot < kDots; ++dot) {
            // The head of the turning ring is the brightest dot; the ones behind it fade out.
            const int age = (frame - dot + kDots) % kDots;
            const double angle = 2 * kPi * dot / kDots - kPi / 2;
            const double cx = 16 + 10 * std::cos(angle);
            const double cy = 16 + 10 * std::sin(angle);
            const double alpha = 1.0 - age * 0.095;
            canvas.Paint(Disc(cx, cy, 3.6), kOutline, alpha * 0.8);
            canvas.Paint(Disc(cx, cy, 2.7), Mix(kOrangeBottom, kHighlight, age / 7.0), alpha);
        }
        cursor.frames.push_back(Frame(canvas, 16, 16));
        cursor.sequence.push_back(static_cast<uint32_t>(frame));
        cursor.rates.push_back(5);
    }
    return cursor;
}

AnimatedCursor NotMovable()
{
    AnimatedCursor cursor;
    cursor.title = "Orange not movable";
    constexpr double kX = 22.5;
    constexpr double kY = 23.0;
    const double pulses[4] = {0.0, 0.33, 0.66, 1.0};
    for (double pulse : pulses) {
        Canvas canvas(kSide, kSide);
        PaintArrow(canvas, -1.0);
        const uint32_t sign = Mix(0xC8341A, 0xFF6A3A, pulse);
        canvas.Paint(Disc(kX, kY, 8.3), kOutline, 0.85);
        canvas.Paint(Disc(kX, kY, 7.4), 0xFFFFFF);
        canvas.Paint(Ring(kX, kY, 5.2, 7.4), sign);
        canvas.Paint(Both(Disc(kX, kY, 5.6), Stroke({kX - 4.5, kY - 4.5}, {kX + 4.5, kY + 4.5}, 2.4)), sign);
        cursor.frames.push_back(Frame(canvas, 1, 1));
    }
    // The sign glows up and down.
    for (uint32_t step : {0u, 1u, 2u, 3u, 2u, 1u}) {
        cursor.sequence.push_back(step);
        cursor.rates.push_back(7);
    }
    return cursor;
}

} // namespace

CursorImage ProgramIcon()
{
    // An orange tile with a white "Y", in the cursors' colours and shading.
    Canvas canvas(kSide, kSide);
    canvas.Paint(RoundRect(2.0, 3.0, 31.0, 32.0, 6.0), 0x000000, 0.25);
    canvas.Paint(RoundRect(1.0, 1.0, 30.0, 30.0, 6.0), kOutline);
    canvas.Paint(RoundRect(2.0, 2.0, 29.0, 29.0, 5.0),
                 [](double, double y) { return Mix(kOrangeTop, kOrangeBottom, (y - 2.0) / 27.0); });
    const Inside letter = [](double x, double y) {
        return Stroke({9.0, 8.0}, {15.5, 16.0}, 3.6)(x, y) || Stroke({22.0, 8.0}, {15.5, 16.0}, 3.6)(x, y) ||
               Stroke({15.5, 16.0}, {15.5, 24.0}, 3.6)(x, y);
    };
    canvas.Paint(letter, kOutline, 0.35);
    canvas.Paint(letter, 0xFFFFFF);
    return Frame(canvas, 0, 0);
}

std::vector<std::pair<std::string, AnimatedCursor>> DefaultSkinCursors()
{
    return {{"default.ani", DefaultArrow()}, {"wait.ani", WaitRing()}, {"NotMoveAble.ani", NotMovable()}};
}
