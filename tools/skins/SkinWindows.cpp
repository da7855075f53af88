#include "SkinWindows.h"

#include "GdiLabel.h"
#include "WindowDescriptions.h"

#include <cstring>
#include <sstream>

namespace {

constexpr uint32_t kMagenta = 0xFF00FF; // left out when buttons are drawn
using namespace SkinTheme;
constexpr uint32_t kBrown = 0x5A3214;
constexpr uint32_t kGrey = 0xB4AAA0;
constexpr int kTitleBand = 28;

std::string Text(const SkinTexts& texts, const std::string& key, UINT codePage)
{
    const auto found = texts.find(key);
    return found == texts.end() ? std::string() : YondaUtf8ToCodePage(found->second, codePage);
}

// Text already in the skin's code page, laid out in a box by the GDI text layer.
void DrawLabel(SkinPicture& p, RECT box, const std::string& bytes, int height, int weight, uint32_t colour,
               UINT format, UINT codePage)
{
    if (bytes.empty()) {
        return;
    }
    LOGFONTA log{};
    log.lfHeight = -height;
    log.lfWeight = weight;
    log.lfCharSet = codePage == 949 ? HANGUL_CHARSET : DEFAULT_CHARSET;
    HFONT font = CreateFontIndirectA(&log);
    PaintWithGdi(p, [&](HDC dc) {
        HGDIOBJ oldFont = SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(colour >> 16, (colour >> 8) & 0xFF, colour & 0xFF));
        DrawTextA(dc, bytes.c_str(), static_cast<int>(bytes.size()), &box, format | DT_NOPREFIX);
        SelectObject(dc, oldFont);
        return true;
    });
    DeleteObject(font);
}

// A window or dialog: an orange title band with the title over a cream body in an orange frame.
SkinPicture Background(int width, int height, const std::string& title, UINT codePage)
{
    SkinPicture p(width, height, kCream);
    const int band = height < kTitleBand * 2 ? height / 2 : kTitleBand;
    p.Gradient(0, 0, width, band, kOrangeLight, kOrange);
    p.Fill(0, band, width, band + 1, kOrangeDark);
    p.Frame(0, 0, width, height, kOrangeDark);
    p.Frame(1, 1, width - 1, height - 1, kOrangeLight);
    DrawLabel(p, RECT{13, 1, width - 30, band + 1}, title, 13, FW_BOLD, kOrangeDark, DT_LEFT | DT_VCENTER | DT_SINGLELINE, codePage);
    DrawLabel(p, RECT{12, 0, width - 30, band}, title, 13, FW_BOLD, 0xFFFFFF, DT_LEFT | DT_VCENTER | DT_SINGLELINE, codePage);
    return p;
}

enum class Glyph { None, Close, Minimise };

// Four states side by side (normal, hover, pressed, disabled) with the corners keyed out and the
// label centred on each; the pressed label sits one pixel lower.
SkinPicture ButtonStrip(int width, int height, uint32_t face, const std::string& label, Glyph glyph, UINT codePage)
{
    SkinPicture p(width * 4, height, kMagenta);
    const uint32_t tops[4] = {BlendColour(face, 0xFFFFFF, 1, 2), BlendColour(face, 0xFFFFFF, 2, 3), BlendColour(face, 0, 1, 4), kGrey};
    const uint32_t bottoms[4] = {face, BlendColour(face, 0xFFFFFF, 1, 3), BlendColour(face, 0, 1, 3), kGrey};
    for (int state = 0; state < 4; ++state) {
        const int x = state * width;
        p.Gradient(x + 1, 1, x + width - 1, height - 1, tops[state], bottoms[state]);
        p.Frame(x + 1, 0, x + width - 1, height, kOrangeDark);
        p.Frame(x, 1, x + width, height - 1, kOrangeDark);
        const int down = state == 2 ? 1 : 0;
        const uint32_t ink = state == 3 ? 0x8C8680 : 0xFFFFFF;
        if (glyph == Glyph::Close) {
            for (int i = 5; i < width - 5; ++i) {
                p.Fill(x + i, i + down, x + i + 2, i + down + 1, ink);
                p.Fill(x + width - i - 2, i + down, x + width - i, i + down + 1, ink);
            }
        } else if (glyph == Glyph::Minimise) {
            p.Fill(x + 5, height - 7 + down, x + width - 5, height - 5 + down, ink);
        }
        DrawLabel(p, RECT{x + 2, down, x + width - 2, height + down}, label, 12, FW_BOLD,
                  state == 3 ? 0x8C8680 : kBrown, DT_CENTER | DT_VCENTER | DT_SINGLELINE, codePage);
    }
    return p;
}

// The 3D view's resting picture and the frame the main window draws around it.
SkinPicture ViewBack(int width, int height)
{
    SkinPicture p(width, height, 0);
    p.Gradient(0, 0, width, height, 0x4A6070, 0x1E2A34);
    return p;
}

SkinPicture ViewBorder(int width, int height)
{
    SkinPicture p(width, height, kMagenta);
    for (int i = 0; i < 4; ++i) {
        p.Frame(i, i, width - i, height - i, i == 0 || i == 3 ? kOrangeDark : kOrange);
    }
    return p;
}

std::string Rect(const SkinBox& b)
{
    return "RECT(" + std::to_string(b.left) + "," + std::to_string(b.top) + "," + std::to_string(b.left + b.width) +
           "," + std::to_string(b.top + b.height) + ")";
}

void ButtonSection(std::ostringstream& out, const ButtonDescription& b, const std::string& picture)
{
    out << "\n[" << b.section << "]\n";
    out << "ID = " << b.id << "\n";
    const std::string title = b.label.empty() ? (b.id == 9999 || b.id == 192 ? "CLOSE" : "") : b.label;
    if (!title.empty()) {
        out << "Title = {{" << title << "}}\n";
    }
    out << "Image = " << picture << "\nRect = " << Rect(b.box) << "\n";
}

// The picture file of a window's button: shared for the common ones.
std::string ButtonPicture(const WindowDescription& w, const ButtonDescription& b)
{
    if (b.section == "CloseBtn") {
        return "btn_close.bmp";
    }
    if (b.section == "OKBTN") {
        return "btn_ok.bmp";
    }
    if (b.section == "CANCELBTN") {
        return "btn_cancel.bmp";
    }
    return "btn_" + w.section + "_" + b.section + ".bmp";
}

} // namespace

std::vector<std::pair<std::string, std::string>> WindowIniFiles()
{
    std::vector<std::pair<std::string, std::string>> files;
    std::ostringstream main;
    main << "; The main layout, written from the window descriptions: every window the program opens is\n"
            "; an element here. Lines are \"Key = Value\" with exactly one blank each side of \"=\".\n"
            "[Common]\nPopupMenuIni = PopupMenu.ini\nMsgDlgIni = MsgDlg.ini\nThemeCount = 1\n";
    for (const WindowDescription& w : DefaultSkinWindows()) {
        main << "\n[" << w.section << "]\n";
        main << "ID = " << w.id << "\n";
        if (!w.title.empty()) {
            main << "Title = {{" << w.title << "}}\n";
        }
        main << "Image = " << w.picture << "\nRect = " << Rect(w.box) << "\n";
        if (!w.iniFile.empty()) {
            main << "IniFile = " << w.iniFile << "\n";
        }
        for (const std::string& line : w.extraLines) {
            main << line << "\n";
        }
        if (w.iniFile.empty()) {
            continue;
        }
        std::ostringstream own;
        own << "; The skin of " << w.section << ", written from its description.\n";
        if (w.kind == WindowKind::Dialog || w.kind == WindowKind::Notice) {
            own << "[COMMON]\nDEFAULT_BASE_BITMAP = " << w.picture << "\n";
        }
        for (const ButtonDescription& b : w.buttons) {
            ButtonSection(own, b, ButtonPicture(w, b));
        }
        if (w.kind == WindowKind::Notice) {
            own << "\n[BITMAP_WND]\nRect = RECT(20,40,120,140)\n\n[MESSAGE]\nRECT = RECT(20," << w.box.height - 80
                << "," << w.box.width - 20 << "," << w.box.height - 50 << ")\n";
        }
        files.emplace_back(w.iniFile, own.str());
    }
    files.emplace_back("default.ini", main.str());
    return files;
}

std::vector<std::pair<std::string, SkinPicture>> WindowPictures(const SkinTexts& texts, UINT codePage)
{
    std::vector<std::pair<std::string, SkinPicture>> pictures;
    pictures.emplace_back("btn_close.bmp", ButtonStrip(20, 20, 0xE05A28, "", Glyph::Close, codePage));
    pictures.emplace_back("btn_mini.bmp", ButtonStrip(20, 20, kOrange, "", Glyph::Minimise, codePage));
    const char* common[4][2] = {{"btn_ok.bmp", "OK"}, {"btn_yes.bmp", "YES"}, {"btn_cancel.bmp", "CANCEL"},
                                {"btn_no.bmp", "NO"}};
    for (int i = 0; i < 4; ++i) {
        pictures.emplace_back(common[i][0], ButtonStrip(80, 26, i < 2 ? kOrange : 0xD9A066,
                                                        Text(texts, common[i][1], codePage), Glyph::None, codePage));
    }
    for (const WindowDescription& w : DefaultSkinWindows()) {
        const std::string title = Text(texts, w.title, codePage);
        switch (w.kind) {
        case WindowKind::Button:
            if (!w.buttons.empty() && !w.buttons[0].label.empty()) {
                const ButtonDescription& b = w.buttons[0];
                pictures.emplace_back(w.picture, ButtonStrip(b.box.width, b.box.height, b.face,
                                                             Text(texts, b.label, codePage), Glyph::None, codePage));
            }
            break;
        case WindowKind::Plain:
            if (w.section == "D3DViewWindow") {
                pictures.emplace_back(w.picture, ViewBack(w.box.width, w.box.height));
                pictures.emplace_back("d3d_border.bmp", ViewBorder(614, 398));
            } else {
                pictures.emplace_back(w.picture, Background(w.box.width, w.box.height, title, codePage));
            }
            break;
        default: {
            SkinPicture back = Background(w.box.width, w.box.height, title, codePage);
            for (const LabelDescription& l : w.labels) {
                DrawLabel(back, RECT{l.left, l.top, w.box.width - 10, l.top + 20}, Text(texts, l.text, codePage), 12,
                          FW_NORMAL, kBrown, DT_LEFT | DT_SINGLELINE, codePage);
            }
            pictures.emplace_back(w.picture, back);
            for (const ButtonDescription& b : w.buttons) {
                const std::string file = ButtonPicture(w, b);
                if (file.rfind("btn_" + w.section, 0) == 0) {
                    pictures.emplace_back(file, ButtonStrip(b.box.width, b.box.height, b.face,
                                                            Text(texts, b.label, codePage), Glyph::None, codePage));
                }
            }
            break;
        }
        }
    }
    return pictures;
}
