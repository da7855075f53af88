#pragma once
// Every window, dialog and frame button of the default skins, described once: its element in
// "default.ini", its own skin ini, its background and its buttons with their labels. Texts are
// keys of the skins' strings files. Later windows are added by adding a description here.
#include <string>
#include <vector>

struct SkinBox {
    int left, top, width, height;
};

// How a button's four states look (the strip is always normal, hover, pressed or checked,
// disabled).
enum class ButtonLook {
    Push,  // a rounded face with its label
    Check, // a box with its label beside it; the pressed state is the ticked box
    Link,  // a label that lights up and underlines under the mouse
};

struct ButtonDescription {
    std::string section; // the section in the window's ini
    std::string label;   // text key drawn on the button; empty for a glyph-only button
    int id;
    SkinBox box;
    unsigned face; // 0x00RRGGBB of the button's face
    ButtonLook look = ButtonLook::Push;
};

struct LabelDescription {
    std::string text; // text key
    int left, top;
    bool heading = false; // a large line centred across the window instead of a field's label
};

// A control the window makes itself (an edit) and moves to its place: a section with its id and
// rectangle, drawn on the background as a white well.
struct FieldDescription {
    std::string section;
    int id;
    SkinBox box;
};

// A picture element of a window's ini (Image and Rect) that the window copies from, one column
// at a time: each column is as large as the rectangle and shows one of the labels.
struct StripDescription {
    std::string section;
    std::string picture;
    SkinBox box;
    std::vector<std::string> labels; // text keys, one column each
};

enum class WindowKind {
    Bar,     // a bar over the 3D view: its own skin ini with buttons and picture strips, no close
    Frame,   // a window with its own skin ini holding its close button (9999) and buttons
    Dialog,  // a dialog: COMMON/DEFAULT_BASE_BITMAP, CloseBtn 192, OKBTN 191, CANCELBTN 190
    Notice,  // a dialog with a picture place and a message rectangle
    Button,  // a title button of the main window: a four-state strip
    Channel, // a lobby entrance: one column per lobby, each as wide as the button, all alike
    Stage,   // a party-game button: four columns by the game's state (off, on, hover, used)
    Plain,   // a picture with no skin ini of its own
};

struct WindowDescription {
    std::string section; // the element's section in default.ini
    WindowKind kind;
    int id;
    std::string title;   // text key: caption, tooltip, and the title drawn on the background
    SkinBox box;         // Rect: in the parent's client area (popups: from the parent's corner)
    std::string picture; // the background or button strip file
    std::string iniFile; // the window's own skin ini (empty for buttons and plain pictures)
    std::vector<ButtonDescription> buttons;
    std::vector<LabelDescription> labels;
    std::vector<std::string> extraLines; // further "Key = Value" lines of the element's section
    std::vector<FieldDescription> fields;
    std::vector<StripDescription> strips;
    std::vector<std::string> ownLines = {}; // further lines of the window's own ini (whole sections)
};

// The lobbies of the world and of the settings file; one entrance each.
constexpr int kLobbyCount = 5;

const std::vector<WindowDescription>& DefaultSkinWindows();

// The tool bar under the member list (ToolBarSkin.cpp).
WindowDescription ToolBarWindow();
