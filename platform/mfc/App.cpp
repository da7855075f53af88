// CWinThread and CWinApp: a thread with a message loop and a main window, and the program's one
// application object. A UI thread ends when its main window is destroyed.
#include <afxwin.h>

#include <atomic>

namespace {

std::atomic<CWinApp*> g_app{nullptr};
thread_local CWinThread* t_thread = nullptr;

DWORD WINAPI ThreadStart(LPVOID param)
{
    auto* thread = static_cast<CWinThread*>(param);
    t_thread = thread;
    int code = 0;
    if (thread->InitInstance())
        code = thread->Run();
    else
        code = thread->ExitInstance();
    t_thread = nullptr;
    if (thread->m_bAutoDelete)
        delete thread;
    return static_cast<DWORD>(code);
}

struct PlainThread : CWinThread {
    AFX_THREADPROC proc = nullptr;
    LPVOID param = nullptr;
    BOOL InitInstance() override { return TRUE; }
    int Run() override { return static_cast<int>(proc(param)); }
};

} // namespace

CWinThread::CWinThread() = default;

CWinThread::~CWinThread()
{
    if (m_hThread)
        ::CloseHandle(m_hThread);
}

BOOL CWinThread::CreateThread(DWORD flags, UINT stackSize)
{
    if (m_hThread)
        return FALSE;
    DWORD id = 0;
    m_hThread = ::CreateThread(nullptr, stackSize, &ThreadStart, this, flags | CREATE_SUSPENDED, &id);
    if (!m_hThread)
        return FALSE;
    m_nThreadID = id;
    if (!(flags & CREATE_SUSPENDED))
        ::ResumeThread(m_hThread);
    return TRUE;
}

DWORD CWinThread::ResumeThread()
{
    return m_hThread ? ::ResumeThread(m_hThread) : static_cast<DWORD>(-1);
}

int CWinThread::ExitInstance()
{
    return static_cast<int>(m_msgCur.wParam);
}

BOOL CWinThread::PreTranslateMessage(MSG* msg)
{
    CWnd* main = GetMainWnd();
    if (CWnd::WalkPreTranslateTree(CWnd::HwndOf(main), msg))
        return TRUE;
    // A message for another top-level window still passes the main window last.
    if (main && main->m_hWnd && msg->hwnd && ::GetAncestor(msg->hwnd, GA_ROOT) != main->m_hWnd)
        return main->PreTranslateMessage(msg);
    return FALSE;
}

BOOL CWinThread::PumpMessage()
{
    if (!::GetMessageA(&m_msgCur, nullptr, 0, 0))
        return FALSE;
    if (!PreTranslateMessage(&m_msgCur)) {
        ::TranslateMessage(&m_msgCur);
        ::DispatchMessageA(&m_msgCur);
    }
    return TRUE;
}

int CWinThread::Run()
{
    LONG idle = 0;
    for (;;) {
        MSG peek;
        while (!::PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE) && OnIdle(idle++)) {
        }
        if (!PumpMessage())
            return ExitInstance();
        idle = 0;
    }
}

CWinApp::CWinApp(LPCSTR appName) : m_pszAppName(appName)
{
    g_app = this;
    t_thread = this;
}

CWinApp::~CWinApp()
{
    if (g_app == this)
        g_app = nullptr;
    if (t_thread == this)
        t_thread = nullptr;
}

CWinApp* AfxGetApp()
{
    return g_app;
}

CWinThread* AfxGetThread()
{
    return t_thread ? t_thread : g_app.load();
}

CWnd* AfxGetMainWnd()
{
    CWinThread* thread = AfxGetThread();
    return thread ? thread->GetMainWnd() : nullptr;
}

HINSTANCE AfxGetInstanceHandle()
{
    CWinApp* app = g_app;
    return app ? app->m_hInstance : nullptr;
}

HINSTANCE AfxGetResourceHandle()
{
    return AfxGetInstanceHandle();
}

CWinThread* AfxBeginThread(CRuntimeClass* threadClass, int priority, UINT stackSize, DWORD flags, LPSECURITY_ATTRIBUTES)
{
    if (!threadClass)
        return nullptr;
    auto* thread = dynamic_cast<CWinThread*>(threadClass->CreateObject());
    if (!thread)
        return nullptr;
    if (!thread->CreateThread(flags | CREATE_SUSPENDED, stackSize)) {
        delete thread;
        return nullptr;
    }
    thread->SetThreadPriority(priority);
    if (!(flags & CREATE_SUSPENDED))
        thread->ResumeThread();
    return thread;
}

CWinThread* AfxBeginThread(AFX_THREADPROC proc, LPVOID param, int priority, UINT stackSize, DWORD flags,
                           LPSECURITY_ATTRIBUTES)
{
    if (!proc)
        return nullptr;
    auto* thread = new PlainThread;
    thread->proc = proc;
    thread->param = param;
    if (!thread->CreateThread(flags | CREATE_SUSPENDED, stackSize)) {
        delete thread;
        return nullptr;
    }
    thread->SetThreadPriority(priority);
    if (!(flags & CREATE_SUSPENDED))
        thread->ResumeThread();
    return thread;
}

int AfxWinMain(int argc, char** argv)
{
    CWinApp* app = g_app;
    if (!app)
        return -1;
    t_thread = app;
    static std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            commandLine += ' ';
        commandLine += argv[i];
    }
    app->m_lpCmdLine = commandLine.data();
    if (!app->InitApplication() || !app->InitInstance()) {
        if (app->m_pMainWnd && app->m_pMainWnd->m_hWnd)
            app->m_pMainWnd->DestroyWindow();
        return app->ExitInstance();
    }
    return app->Run();
}

int AfxMessageBox(LPCSTR text, UINT type, UINT)
{
    CWnd* main = AfxGetMainWnd();
    CWinApp* app = g_app;
    return ::MessageBoxA(CWnd::HwndOf(main), text, app && app->m_pszAppName ? app->m_pszAppName : "", type);
}

int AfxMessageBox(UINT id, UINT type, UINT helpId)
{
    CString text;
    text.LoadString(id);
    return AfxMessageBox(text, type, helpId);
}

BOOL AfxInitRichEdit()
{
    return TRUE;
}

BOOL AfxInitRichEdit2()
{
    return TRUE;
}

void AfxEnableControlContainer() {}
