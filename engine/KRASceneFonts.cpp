// The scene's three overlay fonts: for avatar ID labels, other members' balloons and the own
// balloon. They live from their creation until the scene is destroyed.
#include "KRAScene.h"

void CKRAScene::DestroyFonts()
{
    m_pcIDFont = nullptr;
    m_pcBalloonFont = nullptr;
    m_pcMyBalloonFont = nullptr;
}
