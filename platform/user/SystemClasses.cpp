// The standard classes (the dialog class and the controls), registered on first use of any class.
// Callers hold UserLock().
#include "ControlState.h"
#include "WindowClass.h"

namespace yonda::user {

void RegisterDialogClass();
void RegisterButtonClass();
void RegisterEditClass();
void RegisterStaticClass();
void RegisterProgressClass();
void RegisterToolTipClass();

void RegisterControlClass(LPCSTR name, WNDPROC proc, UINT style) {
    WindowClass cls;
    cls.name = name;
    cls.proc = proc;
    cls.style = style | CS_GLOBALCLASS;
    cls.cbWndExtra = sizeof(LONG_PTR);
    cls.cursor = LoadCursorA(nullptr, IDC_ARROW);
    AddClass(cls);
}

void EnsureSystemClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterDialogClass();
    RegisterButtonClass();
    RegisterEditClass();
    RegisterStaticClass();
    RegisterProgressClass();
    RegisterToolTipClass();
}

}  // namespace yonda::user
