#include "KRAAvatarAnimation.h"

#include "KRAAvatarManager.h"

#include <cstdlib>

namespace {
constexpr double kBlinkSeconds = 0.2;
constexpr double kBlinkRate = 5;
constexpr int kBlinkChance = 200;
constexpr double kBounceSeconds = 0.5;
constexpr double kBounceRate = 2;
} // namespace

float KRABlinkValue(CKRAAvatar& avatar, double fNow)
{
    if (!avatar.m_bBlinking) {
        if (std::rand() % kBlinkChance == 0) {
            avatar.m_bBlinking = true;
            avatar.m_fBlinkStart = fNow;
        }
        return 0;
    }
    double fSince = fNow - avatar.m_fBlinkStart;
    if (fSince <= kBlinkSeconds)
        return float(fSince * kBlinkRate);
    avatar.m_bBlinking = false;
    return 0;
}

float KRABreastBounceValue(CKRAAvatar& avatar, double fNow)
{
    if (!avatar.m_bBreastAnimation)
        return 0;
    double fSince = fNow - avatar.m_fBreastStart;
    if (fSince <= kBounceSeconds)
        return float(fSince * kBounceRate);
    avatar.m_bBreastAnimation = false;
    return 0;
}

LONG CKRAAvatarManager::TurnOnAutoAnimation(_KRA_HANDLE hAvatar)
{
    return WithAvatar(hAvatar, [](CKRAAvatar& avatar) {
        avatar.m_bAutoAnimation = true;
        return KRA_OK;
    });
}

LONG CKRAAvatarManager::TurnOffAutoAnimation(_KRA_HANDLE hAvatar)
{
    return WithAvatar(hAvatar, [](CKRAAvatar& avatar) {
        avatar.m_bAutoAnimation = false;
        return KRA_OK;
    });
}

LONG CKRAAvatarManager::FireBreastAnimation(_KRA_HANDLE hAvatar)
{
    return WithAvatar(hAvatar, [](CKRAAvatar& avatar) {
        avatar.m_bBreastAnimation = true;
        avatar.m_fBreastStart = KRAAvatarClock();
        return KRA_OK;
    });
}
