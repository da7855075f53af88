#pragma once
// One window's sound device and the one sound it plays: open a file, play it once or looping,
// pause and resume, stop, and the volume. The window gets timer 220 every 250 ms while the
// channel exists, so it can tell when the sound has ended.
//
// The GUI thread, the render worker and the party game's thread all reach the frame's music, and
// opening a file deletes the sound another thread may be playing: every call holds the channel's
// one lock, which callers take too (Lock) to make several calls one step.
#include "SoundClip.h"
#include "SoundDevice.h"

#include <afxwin.h>

#include <memory>
#include <mutex>

class CMusicChannel {
public:
    static constexpr UINT kTimerId = 220;
    static constexpr UINT kTimerMs = 250;
    static constexpr LONG kVolumeMuted = DSBVOLUME_MIN;
    static constexpr LONG kVolumeFull = DSBVOLUME_MAX;

    CMusicChannel();
    ~CMusicChannel();
    CMusicChannel(const CMusicChannel&) = delete;
    CMusicChannel& operator=(const CMusicChannel&) = delete;

    // Creates the device for the window (priority level, primary 2 channels, 22050 Hz, 16 bits)
    // and starts timer 220 on it. On failure tells the member in a box owned by the window and
    // answers FALSE; the channel then has no device and every later call fails quietly.
    BOOL Init(CWnd* pWnd);
    // Stops and deletes the current sound, then makes one of the file (one buffer with volume
    // control). FALSE when there is no device or the file is no wave it can play.
    BOOL Open(LPCSTR lpszPath);
    // Plays (looping when bLoop is set) when paused or not playing; on a playing channel it
    // pauses instead, keeping the position, and answers bLoop. CO_E_NOTINITIALIZED without a sound.
    HRESULT Play(BOOL bLoop);
    // Stops and rewinds to the start.
    void Stop();
    // Volume of the sound in hundredths of a decibel; without a sound it reads as full volume.
    void SetVolume(LONG lVolume);
    LONG GetVolume();
    BOOL IsPlaying();
    // Deletes the sound and the device and stops the timer.
    void Release();

    std::unique_lock<std::recursive_mutex> Lock() const { return std::unique_lock(m_mutex); }

private:
    void ReleaseSound();

    mutable std::recursive_mutex m_mutex;
    std::unique_ptr<CSoundDevice> m_pSoundDevice;
    std::unique_ptr<CSoundClip> m_pSoundClip;
    BOOL m_bPaused = FALSE;
    HWND m_hWndTimer = nullptr;
};
