#include "SplashPicture.h"

#include "GdiLabel.h"
#include "SoftShapes.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr uint32_t kSkyTop = 0xFFF1DD;
constexpr uint32_t kSkyBottom = 0xFFD6A4;
constexpr uint32_t kSunCentre = 0xFFE9B8;
constexpr uint32_t kSunEdge = 0xF9A94A;
constexpr uint32_t kHill = 0xF28C28;
constexpr uint32_t kOrangeDark = 0xB85A10;
constexpr uint32_t kOrangeLight = 0xFFC078;
constexpr uint32_t kCream = 0xFFF8EE;
constexpr uint32_t kPeach = 0xFFE2C4;
constexpr uint32_t kInk = 0x7E3A0C;
// The progress bar's own background, so its edges melt into its well.
constexpr uint32_t kBarWell = 0xEEEEEE;

// Where the splash window lays its progress bar.
constexpr RECT kBar = {255, 165, 461, 184};

double Distance(double x, double y, double cx, double cy)
{
    return std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
}

// A member: round head over a rounded body, each in an outline of the theme's dark orange.
void PaintAvatar(Canvas& canvas, double cx, double top, double scale, uint32_t body)
{
    const double head = 16 * scale;
    const double width = 25 * scale;
    const double bodyTop = top + head * 2 + 3 * scale;
    const double bottom = bodyTop + 70 * scale;
    canvas.Paint(Disc(cx, top + head, head + 2.2), kOrangeDark);
    canvas.Paint(Disc(cx, top + head, head), kCream);
    canvas.Paint(RoundRect(cx - width - 2.2, bodyTop - 2.2, cx + width + 2.2, bottom + 2.2, 18 * scale + 2.2),
                 kOrangeDark);
    canvas.Paint(RoundRect(cx - width, bodyTop, cx + width, bottom, 18 * scale),
                 [=](double, double y) { return Mix(body, kOrangeLight, (y - bodyTop) / (bottom - bodyTop)); });
    // Cheeks and eyes keep them friendly.
    canvas.Paint(Disc(cx - head * 0.38, top + head * 1.0, 1.8 * scale), kInk);
    canvas.Paint(Disc(cx + head * 0.38, top + head * 1.0, 1.8 * scale), kInk);
    canvas.Paint(Disc(cx - head * 0.55, top + head * 1.35, 2.6 * scale), 0xFFB08A, 0.8);
    canvas.Paint(Disc(cx + head * 0.55, top + head * 1.35, 2.6 * scale), 0xFFB08A, 0.8);
}

void PaintBalloon(Canvas& canvas)
{
    canvas.Paint(Polygon({{160, 78}, {176, 78}, {160, 92}}), kOrangeDark);
    canvas.Paint(RoundRect(148, 48, 214, 82, 14), kOrangeDark);
    canvas.Paint(RoundRect(150, 50, 212, 80, 12), 0xFFFFFF);
    canvas.Paint(Polygon({{162, 79}, {173, 79}, {162, 88.5}}), 0xFFFFFF);
    for (int dot = 0; dot < 3; ++dot) {
        canvas.Paint(Disc(167 + dot * 14, 65, 4), dot == 1 ? kHill : kOrangeLight);
    }
}

} // namespace

bool PaintSplash(const std::map<std::string, std::string>& texts, UINT codePage, SkinPicture* picture)
{
    for (const char* key : {"SPLASH_TITLE", "SPLASH_TAGLINE", "SPLASH_LOADING"}) {
        if (!texts.count(key)) {
            std::fprintf(stderr, "no text for %s\n", key);
            return false;
        }
    }
    SkinPicture p(kSplashWidth, kSplashHeight, kSkyTop);
    p.Gradient(0, 0, kSplashWidth, kSplashHeight, kSkyTop, kSkyBottom);

    Canvas canvas(p);
    // The sun, soft rings around it, the hill the members stand on.
    canvas.Paint(Disc(120, 118, 96),
                 [](double x, double y) { return Mix(kSunCentre, kSunEdge, Distance(x, y, 120, 118) / 96); }, 0.95,
                 {0, 0, 240, 240});
    canvas.Paint(Ring(120, 118, 104, 106.5), kSunEdge, 0.35, {0, 0, 240, 240});
    canvas.Paint(Ring(120, 118, 114, 115.5), kSunEdge, 0.2, {0, 0, 250, 250});
    canvas.Paint(Disc(120, 420, 200), [](double, double y) { return Mix(kHill, kOrangeDark, (y - 220) / 60); }, 1.0,
                 {0, 200, 340, kSplashHeight});
    PaintAvatar(canvas, 84, 96, 1.0, kPeach);
    PaintAvatar(canvas, 150, 112, 0.86, 0xFFD0A0);
    PaintBalloon(canvas);
    // The well the progress bar sits in.
    canvas.Paint(RoundRect(kBar.left - 4, kBar.top - 4, kBar.right + 4, kBar.bottom + 4, 5), kOrangeDark, 1.0,
                 {240, 150, kSplashWidth, 200});
    canvas.Paint(RoundRect(kBar.left - 2, kBar.top - 2, kBar.right + 2, kBar.bottom + 2, 3), kBarWell, 1.0,
                 {240, 150, kSplashWidth, 200});
    canvas.Onto(p);

    p.Frame(0, 0, kSplashWidth, kSplashHeight, kOrangeDark);
    p.Frame(1, 1, kSplashWidth - 1, kSplashHeight - 1, kOrangeLight);

    const int centre = (kBar.left + kBar.right) / 2;
    LabelStyle title{48, FW_BOLD, kOrangeDark, TA_CENTER | TA_TOP};
    LabelStyle tagline{15, FW_BOLD, kInk, TA_CENTER | TA_TOP};
    LabelStyle loading{13, FW_NORMAL, kInk, TA_CENTER | TA_TOP};
    bool ok = DrawLabel(p, centre + 2, 38, texts.at("SPLASH_TITLE"), codePage, title);
    title.colour = kHill;
    ok = ok && DrawLabel(p, centre, 36, texts.at("SPLASH_TITLE"), codePage, title);
    ok = ok && DrawLabel(p, centre, 104, texts.at("SPLASH_TAGLINE"), codePage, tagline);
    ok = ok && DrawLabel(p, centre, kBar.bottom + 9, texts.at("SPLASH_LOADING"), codePage, loading);
    if (ok) {
        *picture = std::move(p);
    }
    return ok;
}
