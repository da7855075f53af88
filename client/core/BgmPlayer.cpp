#include "BgmPlayer.h"

#include "ClientGlobals.h"

#include <ToolkitShared.h>
#include <resource.h>

#include <algorithm>

namespace {

const char kMusicFolder[] = "\\data\\BGM\\";
const char kPlaylistSection[] = "BGM";

CString MusicFilePath(LPCSTR lpszName)
{
    CString strPath;
    strPath.Format("%s%s%s", static_cast<LPCSTR>(g_strInstallPath), kMusicFolder, lpszName ? lpszName : "");
    return strPath;
}

BOOL FileExists(LPCSTR lpszPath)
{
    const DWORD dwAttributes = ::GetFileAttributesA(lpszPath);
    return dwAttributes != INVALID_FILE_ATTRIBUTES && !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Only waves play; the check is on the name alone, as the folder may hold other files.
BOOL IsWaveName(const CString& strName)
{
    if (strName.GetLength() < 3) {
        return FALSE;
    }
    CString strEnd = strName.Right(3);
    strEnd.MakeLower();
    return strEnd == "wav";
}

} // namespace

CBgmPlayer::CBgmPlayer() : m_listPlaylist(kPlaylistBlockSize) {}

CBgmPlayer::~CBgmPlayer()
{
    ReleaseSound();
}

BOOL CBgmPlayer::LoadPlaylist(LPCSTR lpszIniName)
{
    const CString strPath = MusicFilePath(lpszIniName);
    {
        auto lock = m_Channel.Lock();
        m_listPlaylist.RemoveAll();
        if (FileExists(strPath)) {
            if (!m_iniPlaylist.Load(strPath)) {
                return FALSE;
            }
            int nCount = 0;
            m_iniPlaylist.GetInt(kPlaylistSection, "Count", &nCount);
            nCount = std::clamp(nCount, 0, kMaxTracks);
            for (int i = 0; i < nCount; ++i) {
                CString strKey;
                strKey.Format("BGM%d", i);
                CString strTrack;
                m_iniPlaylist.GetString(kPlaylistSection, strKey, &strTrack);
                m_listPlaylist.AddTail(strTrack);
            }
            return TRUE;
        }
    }
    CString strFormat;
    strFormat.LoadString(IDS_FILE_NOT_FOUND);
    AfxMessageBox(ToolkitFormatText(strFormat, strPath), MB_OK);
    return FALSE;
}

CString CBgmPlayer::GetTrack(int nTrack)
{
    auto lock = m_Channel.Lock();
    const INT_PTR nCount = m_listPlaylist.GetCount();
    if (nCount == 0) {
        return CString();
    }
    return m_listPlaylist.GetAt(m_listPlaylist.FindIndex(std::clamp<INT_PTR>(nTrack, 0, nCount - 1)));
}

int CBgmPlayer::GetTrackCount()
{
    auto lock = m_Channel.Lock();
    return static_cast<int>(m_listPlaylist.GetCount());
}

BOOL CBgmPlayer::PlayTrack(int nTrack)
{
    auto lock = m_Channel.Lock();
    m_strCurrentTrack = GetTrack(nTrack);
    if (m_strCurrentTrack.IsEmpty()) {
        return FALSE;
    }
    return PlayFile(m_strCurrentTrack, TRUE);
}

BOOL CBgmPlayer::PlayFile(LPCSTR lpszName, BOOL bLoop)
{
    auto lock = m_Channel.Lock();
    if (g_bSoundOff) {
        m_bPlaying = FALSE;
        return FALSE;
    }
    m_Channel.Stop();
    const CString strName(lpszName ? lpszName : "");
    if (!IsWaveName(strName)) {
        return FALSE;
    }
    if (!m_Channel.Open(MusicFilePath(strName)) || FAILED(m_Channel.Play(bLoop))) {
        return FALSE;
    }
    m_bPlaying = TRUE;
    return TRUE;
}

BOOL CBgmPlayer::InitSound(CWnd* pWnd)
{
    return m_Channel.Init(pWnd);
}

void CBgmPlayer::ReleaseSound()
{
    m_Channel.Release();
}

void CBgmPlayer::SetMute(BOOL bMute)
{
    auto lock = m_Channel.Lock();
    if (m_bPlaying) {
        m_Channel.SetVolume(bMute ? CMusicChannel::kVolumeMuted : CMusicChannel::kVolumeFull);
    } else {
        PlayFile(m_strCurrentTrack, TRUE);
    }
}

BOOL CBgmPlayer::IsMuted()
{
    return m_Channel.GetVolume() == CMusicChannel::kVolumeMuted;
}
