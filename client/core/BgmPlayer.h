#pragma once
// The background music: the playlist of the music folder "<installation folder>\data\BGM\", one
// track at a time looping, the effect files of the same folder played over it, and muting. The
// main frame owns it; the scene controller, the tool bar, the chat and the party game (each on
// its own thread) call it, and every call holds its channel's one lock.
#include "MusicChannel.h"

#include <IniFile.h>

#include <afxwin.h>

class CBgmPlayer {
public:
    static constexpr INT_PTR kPlaylistBlockSize = 10;
    // More tracks than any playlist needs; a broken Count cannot make the list grow without end.
    static constexpr int kMaxTracks = 1000;

    CBgmPlayer();
    ~CBgmPlayer();
    CBgmPlayer(const CBgmPlayer&) = delete;
    CBgmPlayer& operator=(const CBgmPlayer&) = delete;

    // Reads the playlist (section "BGM": Count, then BGM0 ...) from the music folder. A missing
    // file is reported to the member with its path; FALSE then, and the list stays empty.
    BOOL LoadPlaylist(LPCSTR lpszIniName);
    // The track at nTrack, clamped to the list; empty when the list is.
    CString GetTrack(int nTrack);
    int GetTrackCount();
    // Plays the track at nTrack (clamped) looping; FALSE when there is none or it does not play.
    BOOL PlayTrack(int nTrack);
    // Stops what plays and plays the file of the music folder; only ".wav" names (any case) play,
    // and nothing at all while the member has switched sound off.
    BOOL PlayFile(LPCSTR lpszName, BOOL bLoop);
    BOOL InitSound(CWnd* pWnd);
    void ReleaseSound();
    // While a file is playing: silent or full volume. When nothing has played, or sound is off,
    // it starts the current track looping instead, whatever bMute says.
    void SetMute(BOOL bMute);
    BOOL IsMuted();

    // The channel, for stopping the music (the scene controller) and for the timer's checks.
    CMusicChannel& GetChannel() { return m_Channel; }

private:
    CStringList m_listPlaylist;
    CIniFile m_iniPlaylist;
    CString m_strCurrentTrack;
    BOOL m_bPlaying = FALSE;
    CMusicChannel m_Channel;
};
