#include "MusicChannel.h"

namespace {

const char kInitErrorText[] = "Error initializing DirectSound. This program will now exit.";
const char kInitErrorCaption[] = "DirectSound Error";
constexpr DWORD kPrimaryChannels = 2;
constexpr DWORD kPrimaryRate = 22050;
constexpr DWORD kPrimaryBits = 16;

} // namespace

CMusicChannel::CMusicChannel() = default;

CMusicChannel::~CMusicChannel()
{
    Release();
}

BOOL CMusicChannel::Init(CWnd* pWnd)
{
    const HWND hWnd = pWnd ? pWnd->GetSafeHwnd() : nullptr;
    {
        auto lock = Lock();
        Release();
        auto pDevice = std::make_unique<CSoundDevice>();
        if (SUCCEEDED(pDevice->Initialize(hWnd, DSSCL_PRIORITY, kPrimaryChannels, kPrimaryRate, kPrimaryBits))) {
            m_pSoundDevice = std::move(pDevice);
            m_bPaused = FALSE;
            if (::SetTimer(hWnd, kTimerId, kTimerMs, nullptr)) {
                m_hWndTimer = hWnd;
            }
            return TRUE;
        }
    }
    // The box is modal; other threads that want the channel meanwhile must not wait for the member.
    ::MessageBoxA(hWnd, kInitErrorText, kInitErrorCaption, MB_ICONERROR);
    return FALSE;
}

BOOL CMusicChannel::Open(LPCSTR lpszPath)
{
    auto lock = Lock();
    ReleaseSound();
    if (!m_pSoundDevice) {
        return FALSE;
    }
    CSoundClip* pClip = nullptr;
    const HRESULT hr = m_pSoundDevice->Create(&pClip, lpszPath, DSBCAPS_CTRLVOLUME, DS3DALG_DEFAULT, 1);
    m_pSoundClip.reset(pClip);
    return SUCCEEDED(hr) && m_pSoundClip;
}

HRESULT CMusicChannel::Play(BOOL bLoop)
{
    auto lock = Lock();
    if (!m_pSoundClip) {
        return CO_E_NOTINITIALIZED;
    }
    if (m_bPaused || !m_pSoundClip->IsPlaying()) {
        const HRESULT hr = m_pSoundClip->Play(0, bLoop ? DSBPLAY_LOOPING : 0);
        if (SUCCEEDED(hr)) {
            m_bPaused = FALSE;
        }
        return hr;
    }
    // A second press pauses: the buffers stop where they are.
    m_pSoundClip->Stop();
    m_bPaused = TRUE;
    return bLoop;
}

void CMusicChannel::Stop()
{
    auto lock = Lock();
    if (m_pSoundClip) {
        m_pSoundClip->Stop();
        m_pSoundClip->Reset();
    }
}

void CMusicChannel::SetVolume(LONG lVolume)
{
    auto lock = Lock();
    if (m_pSoundClip) {
        m_pSoundClip->GetBuffer(0)->SetVolume(lVolume);
    }
}

LONG CMusicChannel::GetVolume()
{
    auto lock = Lock();
    LONG lVolume = kVolumeFull;
    if (m_pSoundClip) {
        m_pSoundClip->GetBuffer(0)->GetVolume(&lVolume);
    }
    return lVolume;
}

BOOL CMusicChannel::IsPlaying()
{
    auto lock = Lock();
    return m_pSoundClip && m_pSoundClip->IsPlaying();
}

void CMusicChannel::ReleaseSound()
{
    if (m_pSoundClip) {
        m_pSoundClip->Stop();
        m_pSoundClip->Reset();
        m_pSoundClip.reset();
    }
}

void CMusicChannel::Release()
{
    auto lock = Lock();
    ReleaseSound();
    m_pSoundDevice.reset();
    if (m_hWndTimer && ::IsWindow(m_hWndTimer)) {
        ::KillTimer(m_hWndTimer, kTimerId);
    }
    m_hWndTimer = nullptr;
}
