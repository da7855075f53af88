#include "SkinWindows.h"

#include "ButtonStrips.h"
#include "GdiLabel.h"
#include "MessengerSkins.h"
#include "ShopSkin.h"
#include "UserInfoSkin.h"
#include "WindowDescriptions.h"

#include <cstring>
#include <sstream>

namespace {

using namespace SkinTheme;
constexpr uint32_t kBrown = 0x5A3214;
constexpr int kTitleBand = 28;

std::string Text(const SkinTexts& texts, const std::string& key, UINT codePage)
{
    const auto found = texts.find(key);
    return found == texts.end() ? std::string() : YondaUtf8ToCodePage(found->second, codePage);
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
    const UINT oneLine = DT_LEFT | DT_VCENTER | DT_SINGLELINE;
    DrawBoxedText(p, RECT{13, 1, width - 30, band + 1}, title, {13, FW_BOLD, kOrangeDark, oneLine, false}, codePage);
    DrawBoxedText(p, RECT{12, 0, width - 30, band}, title, {13, FW_BOLD, 0xFFFFFF, oneLine, false}, codePage);
    return p;
}

// A bar over the 3D view: cream shading down to a warm tan under an orange rule, in an orange
// frame, light enough that the dark text the bar writes on it reads.
SkinPicture BarBackground(int width, int height)
{
    SkinPicture p(width, height, kCream);
    p.Gradient(0, 0, width, height, kCream, BlendColour(kCream, kOrangeLight, 2, 3));
    p.Fill(0, 0, width, 3, kOrange);
    p.Frame(0, 0, width, height, kOrangeDark);
    p.Fill(1, height - 2, width - 1, height - 1, kOrangeLight);
    return p;
}

// The well an edit sits in: white inside a sunken frame one pixel around the edit's rectangle.
void FieldWell(SkinPicture& p, const SkinBox& b)
{
    p.Fill(b.left, b.top, b.left + b.width, b.top + b.height, 0xFFFFFF);
    p.Frame(b.left - 1, b.top - 1, b.left + b.width + 1, b.top + b.height + 1, kOrangeDark);
    p.Fill(b.left, b.top, b.left + b.width, b.top + 1, 0xE8DCCC);
}

void DrawWindowLabel(SkinPicture& p, const LabelDescription& l, const std::string& bytes, UINT codePage)
{
    if (l.heading) {
        DrawBoxedText(p, RECT{10, l.top, p.width - 10, l.top + 28}, bytes,
                      {20, FW_BOLD, kOrangeDark, DT_CENTER | DT_VCENTER | DT_SINGLELINE, false}, codePage);
        return;
    }
    DrawBoxedText(p, RECT{l.left, l.top, p.width - 10, l.top + 20}, bytes,
                  {12, FW_NORMAL, kBrown, DT_LEFT | DT_SINGLELINE, false}, codePage);
}

SkinPicture ButtonPictureOf(const ButtonDescription& b, const std::string& label, UINT codePage)
{
    switch (b.look) {
    case ButtonLook::Check: return CheckStrip(b.box.width, b.box.height, label, codePage);
    case ButtonLook::Link: return LinkStrip(b.box.width, b.box.height, label, codePage);
    case ButtonLook::Push: break;
    }
    return ButtonStrip(b.box.width, b.box.height, b.face, label, Glyph::None, codePage);
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
    SkinPicture p(width, height, kStripKey);
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
        for (const FieldDescription& f : w.fields) {
            own << "\n[" << f.section << "]\nID = " << f.id << "\nRect = " << Rect(f.box) << "\n";
        }
        for (const StripDescription& strip : w.strips) {
            own << "\n[" << strip.section << "]\nImage = " << strip.picture << "\nRect = " << Rect(strip.box) << "\n";
        }
        for (const std::string& line : w.ownLines) {
            own << line << "\n";
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
    const char* common[4][2] = {
        {"btn_ok.bmp", "OK"}, {"btn_yes.bmp", "YES"}, {"btn_cancel.bmp", "CANCEL"}, {"btn_no.bmp", "NO"}};
    for (int i = 0; i < 4; ++i) {
        pictures.emplace_back(common[i][0], ButtonStrip(80, 26, i < 2 ? kOrange : 0xD9A066,
                                                        Text(texts, common[i][1], codePage), Glyph::None, codePage));
    }
    // The lobby entrances share one picture, a column per lobby in the order of their ids.
    std::vector<std::string> lobbies;
    const WindowDescription* firstChannel = nullptr;
    for (const WindowDescription& w : DefaultSkinWindows()) {
        if (w.kind == WindowKind::Channel) {
            firstChannel = firstChannel ? firstChannel : &w;
            lobbies.push_back(Text(texts, w.buttons.at(0).label, codePage));
        }
    }
    if (firstChannel) {
        pictures.emplace_back(firstChannel->picture,
                              ChannelStrip(firstChannel->box.width, firstChannel->box.height, lobbies, codePage));
    }
    auto addButtons = [&](const WindowDescription& w) {
        for (const ButtonDescription& b : w.buttons) {
            const std::string file = ButtonPicture(w, b);
            if (file.rfind("btn_" + w.section, 0) == 0) {
                pictures.emplace_back(file, ButtonPictureOf(b, Text(texts, b.label, codePage), codePage));
            }
        }
    };
    for (auto& shop : ItemShopPictures(texts, codePage)) {
        pictures.push_back(std::move(shop));
    }
    for (auto& info : UserInfoPictures(texts, codePage)) {
        pictures.push_back(std::move(info));
    }
    for (const WindowDescription& w : DefaultSkinWindows()) {
        const std::string title = Text(texts, w.title, codePage);
        switch (w.kind) {
        case WindowKind::Bar: {
            SkinPicture back = BarBackground(w.box.width, w.box.height);
            for (const LabelDescription& l : w.labels) {
                DrawWindowLabel(back, l, Text(texts, l.text, codePage), codePage);
            }
            pictures.emplace_back(w.picture, back);
            addButtons(w);
            for (const StripDescription& strip : w.strips) {
                std::vector<std::string> labels;
                for (const std::string& key : strip.labels) {
                    labels.push_back(Text(texts, key, codePage));
                }
                pictures.emplace_back(strip.picture, TitleStrip(strip.box.width, strip.box.height, labels, codePage));
            }
            break;
        }
        case WindowKind::Channel: break;
        case WindowKind::Stage: {
            const ButtonDescription& b = w.buttons.at(0);
            pictures.emplace_back(
                w.picture, StageStrip(b.box.width, b.box.height, b.face, Text(texts, b.label, codePage), codePage));
            break;
        }
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
            for (const FieldDescription& f : w.fields) {
                FieldWell(back, f.box);
            }
            for (const LabelDescription& l : w.labels) {
                DrawWindowLabel(back, l, Text(texts, l.text, codePage), codePage);
            }
            pictures.emplace_back(w.picture, back);
            addButtons(w);
            break;
        }
        }
    }
    for (auto& picture : MessengerSkinPictures(texts, codePage)) {
        pictures.push_back(std::move(picture));
    }
    return pictures;
}
