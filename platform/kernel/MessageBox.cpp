// Message boxes: a capture hook for tests, the window system's box when it installs one, and
// stderr otherwise, so a program without a display never blocks on a box nobody can see.
#include <windows.h>

#include <mutex>

namespace {

struct Handler {
    YondaMessageBoxHook function = nullptr;
    void* context = nullptr;
};

struct MessageBoxHandlers {
    std::mutex mutex;
    Handler capture;
    Handler presenter;
};

MessageBoxHandlers& Handlers()
{
    static MessageBoxHandlers& handlers = *new MessageBoxHandlers;
    return handlers;
}

// The answer of pressing Enter: the box's default button.
int DefaultAnswer(UINT type)
{
    static const int kButtons[][3] = {
        {IDOK, IDOK, IDOK},            // MB_OK
        {IDOK, IDCANCEL, IDCANCEL},    // MB_OKCANCEL
        {IDABORT, IDRETRY, IDIGNORE},  // MB_ABORTRETRYIGNORE
        {IDYES, IDNO, IDCANCEL},       // MB_YESNOCANCEL
        {IDYES, IDNO, IDNO},           // MB_YESNO
        {IDRETRY, IDCANCEL, IDCANCEL}, // MB_RETRYCANCEL
    };
    UINT kind = type & MB_TYPEMASK;
    UINT button = (type & MB_DEFMASK) >> 8;
    if (kind >= sizeof(kButtons) / sizeof(kButtons[0]) || button > 2)
        return IDOK;
    return kButtons[kind][button];
}

} // namespace

void YondaSetMessageBoxHook(YondaMessageBoxHook hook, void* context)
{
    std::lock_guard lock(Handlers().mutex);
    Handlers().capture = {hook, hook ? context : nullptr};
}

void YondaSetMessageBoxPresenter(YondaMessageBoxHook presenter, void* context)
{
    std::lock_guard lock(Handlers().mutex);
    Handlers().presenter = {presenter, presenter ? context : nullptr};
}

int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType)
{
    const char* text = lpText ? lpText : "";
    // The platform's caption when none is given.
    const char* caption = lpCaption ? lpCaption : "Error";
    Handler handler;
    {
        std::lock_guard lock(Handlers().mutex);
        handler = Handlers().capture.function ? Handlers().capture : Handlers().presenter;
    }
    // Called outside the lock: a real box runs a modal loop that may show another box.
    if (handler.function)
        return handler.function(handler.context, hWnd, text, caption, uType);
    std::string line = "[" + YondaCodePageToUtf8(caption, CP_ACP) + "] " + YondaCodePageToUtf8(text, CP_ACP);
    if (line.empty() || line.back() != '\n')
        line += '\n';
    fputs(line.c_str(), stderr);
    fflush(stderr);
    return DefaultAnswer(uType);
}
