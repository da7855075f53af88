#include "AvatarScene.h"

#include "AvatarFaces.h"
#include "ClientGlobals.h"
#include "ItemCatalog.h"

#include <IniFile.h>
#include <NotifyDlg.h>
#include <ToolkitShared.h>

#include <cstdio>
#include <cstring>

CAvatarScene* g_pAvatarScene = nullptr;

namespace {

constexpr char kMapSceneFile[] = "M2.KRS";
// Header words of the avatar descriptions the client builds: two 16-bit ones, and 4.
constexpr DWORD kAvatarHeader1 = 0x00010001;
constexpr DWORD kAvatarHeader2 = 4;
// A worn-item text: category digit, number text, a zero at 4, texture digit at 5.
constexpr int kItemTextSize = 8;
// The service's avatar information: its first element carries the gender and the item count.
constexpr int kInfoGenderOffset = 32;
constexpr int kInfoCountOffset = 35;

BOOL FileExists(const CString& path)
{
    return ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// atoi over a fixed field: blanks, a sign and digits, never past the field's end. Values too
// large for an item number come out as kMaxItemNumber + 1.
int ReadNumber(const BYTE* field, int size)
{
    int at = 0;
    while (at < size && (field[at] == ' ' || field[at] == '\t')) {
        ++at;
    }
    bool negative = false;
    if (at < size && (field[at] == '-' || field[at] == '+')) {
        negative = field[at] == '-';
        ++at;
    }
    int value = 0;
    for (; at < size && field[at] >= '0' && field[at] <= '9'; ++at) {
        value = value * 10 + (field[at] - '0');
        if (value > kMaxItemNumber) {
            value = kMaxItemNumber + 1;
        }
    }
    return negative ? -value : value;
}

// The trimmed text as a texture name the engine takes, or empty.
CString TextureName(const char* texture)
{
    if (!texture || texture[0] == '0' || texture[0] == '\0') {
        return CString();
    }
    CString name(texture);
    name.Trim();
    if (name.GetLength() >= static_cast<int>(kItemFileNameSize)) {
        return CString();
    }
    return name;
}

} // namespace

// One worn-item text as the avatar uses it.
struct CAvatarScene::ItemText {
    int category = -1;
    int number = 0;
    bool texture = false;

    // False for a category other than '0'-'6' or a number outside 0-999.
    bool Read(const BYTE* text)
    {
        category = text[0] >= '0' && text[0] <= '6' ? text[0] - '0' : -1;
        number = ReadNumber(text + 1, kItemTextSize - 1);
        texture = ReadNumber(text + 5, kItemTextSize - 5) != 0;
        return category >= 0 && number >= 0 && number <= kMaxItemNumber;
    }
};

CAvatarScene::CAvatarScene()
{
    g_pAvatarScene = this;
}

CAvatarScene::~CAvatarScene()
{
    if (g_pAvatarScene == this) {
        g_pAvatarScene = nullptr;
    }
}

int CAvatarScene::InitScene()
{
    CKRAManager* manager = CKRAManager::GetKRA();
    if (!manager || !CKRAManager::GetAvatarManager()) {
        return 0;
    }
    {
        CGlobalLock lock;
        _KRA_HANDLE handle = 0;
        if (manager->LoadScene(kMapSceneFile, handle) < 0) {
            return 0;
        }
        CKRAScene* scene = nullptr;
        if (manager->KraMan_GetScene(handle, &scene) < 0 || !scene) {
            manager->UnloadScene(handle);
            return 0;
        }
        m_hMapScene = handle;
        m_pMapScene = scene;
        SetScene(scene);
    }
    if (!g_pItemCatalog || !g_pItemCatalog->Load()) {
        // Shown without the lock: the box runs its own message loop.
        CNotifyDlg box(CString("AvatarItemReadError"), nullptr);
        box.DoModal();
        return 0;
    }
    LoadMotions();
    return 1;
}

int CAvatarScene::UnloadScene()
{
    CKRAManager* manager = CKRAManager::GetKRA();
    CGlobalLock lock;
    if (m_hMapScene && manager) {
        if (m_pScene == m_pMapScene) {
            m_pScene = nullptr;
        }
        manager->UnloadScene(m_hMapScene);
        m_hMapScene = 0;
        m_pMapScene = nullptr;
    }
    return 1;
}

int CAvatarScene::GetMotionCount(int motionType) const
{
    return motionType == kMaleMotionType || motionType == kFemaleMotionType ? m_nMotionCount[motionType] : 0;
}

int CAvatarScene::LoadMotions()
{
    CIniFile ini;
    ini.Load(ToolkitSkinFolder() + "\\MotionFile.ini");
    // File indices of idle, sit down, seated, stand up and walk in each kind's list.
    static const int kMaleSpecial[5] = {0, 36, 37, 40, 41};
    static const int kFemaleSpecial[5] = {0, 32, 33, 34, 35};
    CGlobalLock lock;
    LoadKindMotions(ini, "BoyMotion", kMaleMotionType, kMaleSpecial);
    LoadKindMotions(ini, "GirlMotion", kFemaleMotionType, kFemaleSpecial);
    return 1;
}

void CAvatarScene::LoadKindMotions(const CIniFile& ini, const char* section, int motionType, const int special[5])
{
    if (!m_pScene) {
        return;
    }
    const CString folder = g_strInstallPath + "\\Data\\Avatar\\Motion\\";
    CString name;
    if (ini.GetString(section, "Init", &name)) {
        m_pScene->LoadInitMotion(folder + name, motionType);
    }
    int total = 0;
    ini.GetInt(section, "nTotalMotion", &total);
    int* const places[5] = {&m_nIdleMotion[motionType], &m_nSitDownMotion[motionType], &m_nSeatedMotion[motionType],
                            &m_nStandUpMotion[motionType], &m_nWalkMotion[motionType]};
    for (int i = 0; i < total; ++i) {
        CString key;
        key.Format("File%d", i);
        if (!ini.GetString(section, key, &name)) {
            continue;
        }
        // The engine answers the motion's index, or a failure status (negative as a signed value).
        const LONG index = static_cast<LONG>(m_pScene->LoadMotion(folder + name, motionType));
        if (index < 0) {
            continue;
        }
        if (index + 1 > m_nMotionCount[motionType]) {
            m_nMotionCount[motionType] = index + 1;
        }
        for (int s = 0; s < 5; ++s) {
            if (special[s] == i) {
                *places[s] = index;
            }
        }
    }
}

int CAvatarScene::GenderDigitOf(int gender)
{
    switch (gender) {
    case 'M':
    case 'm':
    case 1: return 1;
    case 'F':
    case 'f':
    case 2: return 2;
    default: return 0;
    }
}

int CAvatarScene::CategoryNumberOf(int category)
{
    if (category >= 0 && category < kAvatarCategoryCount) {
        return category;
    }
    if (category >= '0' && category < '0' + kAvatarCategoryCount) {
        return category - '0';
    }
    return -1;
}

BOOL CAvatarScene::MakeItemFileName(char* buffer, int genderDigit, int category, int number)
{
    if (genderDigit < 1 || genderDigit > 2 || category < 0 || category >= kAvatarCategoryCount || number < 0 ||
        number > kMaxItemNumber) {
        std::snprintf(buffer, kItemFileNameSize, "0000000.KRI");
        return FALSE;
    }
    std::snprintf(buffer, kItemFileNameSize, "%d0%d%03d0.KRI", genderDigit, category, number);
    return TRUE;
}

BOOL CAvatarScene::MakeTextureFileName(char* buffer, int genderDigit, int category, int number, int variant)
{
    if (genderDigit < 1 || genderDigit > 2 || category < 0 || category >= kAvatarCategoryCount || number < 0 ||
        number > kMaxItemNumber || variant < 0 || variant > 9) {
        std::snprintf(buffer, kItemFileNameSize, "0000000.KRT");
        return FALSE;
    }
    std::snprintf(buffer, kItemFileNameSize, "%d0%d%03d%d.KRT", genderDigit, category, number, variant);
    return TRUE;
}

DWORD CAvatarScene::ItemKindOfCategory(int category)
{
    switch (category) {
    case 0: return kItemKindHair;
    case 1: return kItemKindFace;
    case 2: return kItemKindUpper;
    case 3: return kItemKindLower;
    case 4: return kItemKindFootwear;
    case 5:
    case 6: return kItemKindHeld;
    default: return 0;
    }
}

int CAvatarScene::CategoryOfItemCode(DWORD code)
{
    char digits[16];
    std::snprintf(digits, sizeof(digits), "%lu", static_cast<unsigned long>(code));
    return std::strlen(digits) >= 3 ? digits[2] - '0' : -1;
}

CString CAvatarScene::ItemFilePath(const char* name)
{
    return g_strInstallPath + "\\Data\\Avatar\\KRI\\" + name;
}

int CAvatarScene::LoadAvatar(DWORD userKey, _KRA_HANDLE* avatar, char gender, int count, CPtrList* items)
{
    if (!avatar || !items) {
        return 0;
    }
    std::vector<const BYTE*> elements;
    for (POSITION position = items->GetHeadPosition(); position;) {
        elements.push_back(static_cast<const BYTE*>(items->GetNext(position)));
    }
    size_t first = 0;
    if (gender == 0) {
        if (elements.empty() || !elements[0]) {
            return 0;
        }
        gender = static_cast<char>(elements[0][kInfoGenderOffset]);
        count = elements[0][kInfoCountOffset];
        first = 1;
    }
    const int genderDigit = GenderDigitOf(gender);
    if (genderDigit == 0) {
        return 0;
    }
    if (count < 0) {
        count = 0;
    }
    if (elements.size() - first < static_cast<size_t>(count)) {
        return 0;
    }
    std::vector<const BYTE*> texts(elements.begin() + static_cast<std::ptrdiff_t>(first),
                                   elements.begin() + static_cast<std::ptrdiff_t>(first) + count);
    for (const BYTE* text : texts) {
        if (!text) {
            return 0;
        }
    }
    return BuildAvatar(userKey, avatar, genderDigit, texts);
}

int CAvatarScene::LoadAvatar(DWORD userKey, _KRA_HANDLE* avatar, char gender, const std::vector<WORN_ITEM>& items)
{
    const int genderDigit = GenderDigitOf(gender);
    if (!avatar || genderDigit == 0) {
        return 0;
    }
    std::vector<const BYTE*> texts;
    for (const WORN_ITEM& item : items) {
        texts.push_back(reinterpret_cast<const BYTE*>(item.dwValue));
    }
    return BuildAvatar(userKey, avatar, genderDigit, texts);
}

int CAvatarScene::BuildAvatar(DWORD userKey, _KRA_HANDLE* avatar, int genderDigit,
                              const std::vector<const BYTE*>& texts)
{
    if (!m_pScene) {
        return 0;
    }
    struct NotedTexture {
        int category;
        char name[kItemFileNameSize];
    };
    std::vector<KRA_AVATAR_ITEM> entries;
    std::vector<NotedTexture> textures;
    bool present[kAvatarCategoryCount] = {};
    int hairNumber = -1;

    auto addEntry = [&](const ItemText& item) {
        char name[kItemFileNameSize];
        int number = item.number;
        MakeItemFileName(name, genderDigit, item.category, number);
        if (!FileExists(ItemFilePath(name))) {
            number = 1;
            MakeItemFileName(name, genderDigit, item.category, number);
            // Neither the item nor its first one: the category's default comes later.
            if (!FileExists(ItemFilePath(name))) {
                return;
            }
        }
        if (static_cast<int>(entries.size()) >= kMaxAvatarItems) {
            return;
        }
        KRA_AVATAR_ITEM entry{};
        entry.dwItemKind = ItemKindOfCategory(item.category);
        std::memcpy(entry.szItemFile, name, sizeof(entry.szItemFile));
        entries.push_back(entry);
        present[item.category] = true;
        if (item.category == 0) {
            hairNumber = number;
        }
        if (item.texture) {
            NotedTexture noted{item.category, {}};
            MakeTextureFileName(noted.name, genderDigit, item.category, number, 1);
            textures.push_back(noted);
        }
    };

    if (texts.empty()) {
        // No items at all: the first face, and the defaults below.
        ItemText face;
        face.category = 1;
        face.number = 1;
        addEntry(face);
    }
    for (const BYTE* text : texts) {
        ItemText item;
        if (item.Read(text)) {
            addEntry(item);
        }
    }

    CGlobalLock lock;
    KRA_AVATAR_STRUCTURE structure{kAvatarHeader1, kAvatarHeader2, userKey, static_cast<DWORD>(entries.size()),
                                   entries.empty() ? nullptr : entries.data()};
    _KRA_HANDLE handle = 0;
    if (m_pScene->LoadAvatar(&structure, handle) < 0 || handle == 0) {
        return 0;
    }
    for (const NotedTexture& texture : textures) {
        const _KRA_HANDLE item = FindItemOfCategory(handle, texture.category);
        if (item && FileExists(ItemFilePath(texture.name))) {
            _KRA_HANDLE target = item;
            m_pScene->SetItemTexture(texture.name, handle, target);
        }
    }
    char name[kItemFileNameSize];
    if (!present[1] && hairNumber >= 0) {
        MakeItemFileName(name, genderDigit, 1, hairNumber);
        _KRA_HANDLE face = 0;
        if (FileExists(ItemFilePath(name)) && ReplaceItem(handle, 0, ItemFilePath(name), kItemKindFace, &face)) {
            present[1] = true;
        }
    }
    for (int category = 0; category <= 4; ++category) {
        if (present[category]) {
            continue;
        }
        MakeItemFileName(name, genderDigit, category, category == 1 ? 1 : 0);
        _KRA_HANDLE item = 0;
        if (FileExists(ItemFilePath(name))) {
            ReplaceItem(handle, 0, ItemFilePath(name), ItemKindOfCategory(category), &item);
        }
    }
    *avatar = handle;
    return 1;
}

_KRA_HANDLE CAvatarScene::FindItemOfCategory(_KRA_HANDLE avatar, int category)
{
    unsigned int count = 0;
    _KRA_HANDLE* items = nullptr;
    if (!m_pScene || m_pScene->GetItemHandle(avatar, count, &items) < 0 || !items) {
        return 0;
    }
    for (unsigned int i = 0; i < count; ++i) {
        DWORD code = 0;
        _KRA_HANDLE item = items[i];
        if (m_pScene->GetItemCode(item, code) >= 0 && CategoryOfItemCode(code) == category) {
            return item;
        }
    }
    return 0;
}

BOOL CAvatarScene::ReplaceItem(_KRA_HANDLE avatar, _KRA_HANDLE old, const CString& path, DWORD kind, _KRA_HANDLE* item)
{
    _KRA_HANDLE loaded = 0;
    if (m_pScene->LoadAvatarItem(path, kind, loaded) < 0 || loaded == 0) {
        return FALSE;
    }
    if (old) {
        // The old item's texture goes with it, so that it never dresses the item again when the
        // same file is put back on.
        m_pScene->DeleteItemTexture("", avatar, old);
        m_pScene->DetachItemFromAvatar(avatar, old);
    }
    m_pScene->AttachItemToAvatar(avatar, loaded);
    *item = loaded;
    return TRUE;
}

bool CAvatarScene::PutOnItem(_KRA_HANDLE* avatar, char gender, int category, int number, const char* texture)
{
    const int genderDigit = GenderDigitOf(gender);
    category = CategoryNumberOf(category);
    char name[kItemFileNameSize];
    if (!avatar || !m_pScene || !MakeItemFileName(name, genderDigit, category, number)) {
        return false;
    }
    const CString path = ItemFilePath(name);
    if (!FileExists(path)) {
        return false;
    }
    CGlobalLock lock;
    const _KRA_HANDLE old = FindItemOfCategory(*avatar, category);
    _KRA_HANDLE item = 0;
    if (!ReplaceItem(*avatar, old, path, ItemKindOfCategory(category), &item)) {
        return false;
    }
    const CString textureName = TextureName(texture);
    if (!textureName.IsEmpty() && FileExists(ItemFilePath(textureName))) {
        m_pScene->SetItemTexture(textureName, *avatar, item);
    }
    return true;
}

int CAvatarScene::ChangeItem(_KRA_HANDLE* avatar, char gender, int category)
{
    const int genderDigit = GenderDigitOf(gender);
    category = CategoryNumberOf(category);
    if (!avatar || !m_pScene || genderDigit == 0 || category < 0) {
        return 0;
    }
    CGlobalLock lock;
    const _KRA_HANDLE old = FindItemOfCategory(*avatar, category);
    if (ItemKindOfCategory(category) == kItemKindHeld) {
        if (old) {
            _KRA_HANDLE item = old;
            m_pScene->DeleteItemTexture("", *avatar, item);
            m_pScene->DetachItemFromAvatar(*avatar, item);
        }
        return 1;
    }
    char name[kItemFileNameSize];
    MakeItemFileName(name, genderDigit, category, 0);
    const CString path = ItemFilePath(name);
    _KRA_HANDLE item = 0;
    if (!FileExists(path) || !ReplaceItem(*avatar, old, path, ItemKindOfCategory(category), &item)) {
        return 0;
    }
    return 1;
}

void CAvatarScene::StartGenderMotion(char gender, _KRA_HANDLE* avatar)
{
    if (!avatar || !m_pScene) {
        return;
    }
    const int type = GenderDigitOf(gender) == 2 ? kFemaleMotionType : kMaleMotionType;
    CGlobalLock lock;
    m_pScene->SetMotionType(*avatar, type);
    m_pScene->SetMotion(*avatar, m_nIdleMotion[type], m_nIdleMotion[type]);
    m_pScene->StartMotion(*avatar);
}

int CAvatarScene::PlayEmotion(_KRA_HANDLE* avatar, char gender, int emotion)
{
    if (!avatar || !m_pScene) {
        return 1;
    }
    const bool female = GenderDigitOf(gender) == 2;
    float weights[kFaceWeightCount];
    GetEmotionFaceWeights(female, emotion, weights);
    // The motion list has one motion fewer than there are emotions, past the last shared one.
    const int motion = emotion > (female ? 36 : 42) ? emotion - 1 : emotion;
    CGlobalLock lock;
    m_pScene->SetFaceSet(*avatar, weights);
    // Emotions arrive from the network: only a motion the avatar's own kind has is played.
    int type = -1;
    if (m_pScene->GetMotionType(*avatar, type) >= 0 && motion >= 0 && motion < GetMotionCount(type)) {
        m_pScene->SetMotion(*avatar, motion, 0);
        m_pScene->StartMotion(*avatar);
    }
    return 1;
}

int CAvatarScene::SetFaceByLetter(_KRA_HANDLE* avatar, char gender, int letter)
{
    int type = 0;
    if (letter >= 'B' && letter <= 'E') {
        type = letter - 'A';
    } else if (letter >= 'b' && letter <= 'e') {
        type = letter - 'a';
    } else if (letter >= 0 && letter < kFaceTypeCount) {
        type = letter;
    }
    return SetFace(avatar, gender, type);
}

int CAvatarScene::SetFace(_KRA_HANDLE* avatar, char gender, int type)
{
    if (type >= '0' && type < '0' + kFaceTypeCount) {
        type -= '0';
    } else if (type < 0 || type >= kFaceTypeCount) {
        type = 0;
    }
    if (!avatar || !m_pScene) {
        return 1;
    }
    float weights[kFaceWeightCount];
    GetFaceTypeWeights(GenderDigitOf(gender) == 2, type, weights);
    CGlobalLock lock;
    m_pScene->SetFaceSet(*avatar, weights);
    return 1;
}
