#pragma once
// The client's one place for dressing and animating avatars in the engine's current scene: the
// map scene loaded at start-up, the motion lists of both avatar kinds, avatars built from a
// member's worn items, items put on and taken off, face types and emotions.
//
// Every call that reaches the engine holds the global lock for its length (the lock is
// recursive, so callers that already hold it lose nothing).
#include "SessionRecords.h"

#include <Kravex.h>
#include <afxwin.h>

#include <vector>

// Item categories as file names and catalogue codes number them.
constexpr int kAvatarCategoryCount = 7;
// Item numbers are three decimal digits in file names.
constexpr int kMaxItemNumber = 999;
// Room for an item or texture file name ("1020030.KRI"), as the engine's avatar items hold them.
constexpr size_t kItemFileNameSize = 32;
// The engine keeps at most this many items on one avatar.
constexpr int kMaxAvatarItems = 360;

// Engine item kinds.
constexpr DWORD kItemKindFace = 0x20801;
constexpr DWORD kItemKindHair = 0x20802;
constexpr DWORD kItemKindUpper = 0x20803;
constexpr DWORD kItemKindLower = 0x20804;
constexpr DWORD kItemKindFootwear = 0x20805;
constexpr DWORD kItemKindHeld = 0x20806;

// Engine motion types of the two avatar kinds.
constexpr int kMaleMotionType = 0;
constexpr int kFemaleMotionType = 1;

class CAvatarScene {
public:
    // Registers itself as the program's one avatar scene (g_pAvatarScene).
    CAvatarScene();
    ~CAvatarScene();
    CAvatarScene(const CAvatarScene&) = delete;
    CAvatarScene& operator=(const CAvatarScene&) = delete;

    // Start-up, once the engine and the program's item catalogue (g_pItemCatalog) exist: loads
    // the map scene "M2.KRS" and points this object at it, loads the catalogue (the notify box
    // "AvatarItemReadError" when there is none or it does not load) and the motion lists. 1, or 0
    // when the scene or the catalogue does not load.
    int InitScene();
    // The skin's "\MotionFile.ini": both kinds' bind poses and motions into the engine, and the
    // places of the special motions. 1.
    int LoadMotions();
    // Unloads the map scene of InitScene (the scene pointer is cleared when it pointed there). 1.
    int UnloadScene();

    // Builds an avatar for the user key from worn-item texts (eight bytes each: category digit,
    // number text, a zero, texture digit). With gender 0 the list is the service's avatar
    // information: its first element carries the gender letter (byte 32) and the item count
    // (byte 35), the item texts follow. Item texts whose category is not '0'-'6' or whose number
    // is outside 0-999 are skipped; a missing item file falls back to item 001 of its category,
    // then to the category's default; the face follows the hair. Nonzero on success; 0 for an
    // unknown gender, fewer item texts than the count, or an engine that refuses the avatar.
    int LoadAvatar(DWORD userKey, _KRA_HANDLE* avatar, char gender, int count, CPtrList* items);
    // The same from the session's records of a member.
    int LoadAvatar(DWORD userKey, _KRA_HANDLE* avatar, char gender, const std::vector<WORN_ITEM>& items);
    // The gender's motion type and its idle motion, started.
    void StartGenderMotion(char gender, _KRA_HANDLE* avatar);

    // gender: 'M' / 'F' or the digit 1 / 2 (as a number); category 0-6 or '0'-'6'. Puts the item
    // on in place of the avatar's item of that category, with the texture unless it begins with
    // '0'. True when the item was put on; false for values out of range or a missing file.
    bool PutOnItem(_KRA_HANDLE* avatar, char gender, int category, int number, const char* texture);
    // Takes the category's item off: hair, face, upper and lower body and footwear go back to
    // their item 000, a hand or hair item is only removed. 1, or 0 when the default item file is
    // missing or the values are out of range.
    int ChangeItem(_KRA_HANDLE* avatar, char gender, int category);
    // The emotion's face, and its motion when the avatar's kind has that motion loaded. 1.
    int PlayEmotion(_KRA_HANDLE* avatar, char gender, int emotion);
    // Face letters 'B'-'E' (either case) are types 1-4, values 0-4 stay, anything else is 0. 1.
    int SetFaceByLetter(_KRA_HANDLE* avatar, char gender, int letter);
    // Face types '0'-'4' or 0-4, anything else 0. 1.
    int SetFace(_KRA_HANDLE* avatar, char gender, int type);

    // "g0cNNN0.KRI" into a buffer of at least kItemFileNameSize bytes. FALSE (and the default
    // name "0000000.KRI") when the gender digit is not 1-2, the category not 0-6 or the number
    // not 0-999.
    static BOOL MakeItemFileName(char* buffer, int genderDigit, int category, int number);
    // "g0cNNNv.KRT" likewise (default "0000000.KRT"); the variant is one digit.
    static BOOL MakeTextureFileName(char* buffer, int genderDigit, int category, int number, int variant);
    // The engine item kind of a category, 0 for other values.
    static DWORD ItemKindOfCategory(int category);
    // The category of an engine item code: its third decimal digit (1020030 is category 2).
    static int CategoryOfItemCode(DWORD code);
    // 1 male, 2 female, 0 for anything but 'M', 'F' (either case), 1 and 2.
    static int GenderDigitOf(int gender);
    // 0-6 from 0-6 or '0'-'6', -1 otherwise.
    static int CategoryNumberOf(int category);
    // The folder of the item files ("\Data\Avatar\KRI\" under the installation folder) + name.
    static CString ItemFilePath(const char* name);

    void SetScene(CKRAScene* scene) { m_pScene = scene; }
    CKRAScene* GetScene() const { return m_pScene; }
    _KRA_HANDLE GetMapScene() const { return m_hMapScene; }
    // Motions loaded for a motion type (0 male, 1 female).
    int GetMotionCount(int motionType) const;

    // Places of the special motions in each kind's motion list, by motion type.
    int m_nIdleMotion[2] = {0, 0};
    int m_nSitDownMotion[2] = {36, 32};
    int m_nSeatedMotion[2] = {37, 33};
    int m_nStandUpMotion[2] = {40, 34};
    int m_nWalkMotion[2] = {41, 35};

private:
    struct ItemText;
    int BuildAvatar(DWORD userKey, _KRA_HANDLE* avatar, int genderDigit, const std::vector<const BYTE*>& texts);
    // The first attached item of the category, 0 when none.
    _KRA_HANDLE FindItemOfCategory(_KRA_HANDLE avatar, int category);
    // Loads an item file and attaches it in place of `old` (0: none). FALSE when it does not load.
    BOOL ReplaceItem(_KRA_HANDLE avatar, _KRA_HANDLE old, const CString& path, DWORD kind, _KRA_HANDLE* item);
    void LoadKindMotions(const class CIniFile& ini, const char* section, int motionType, const int special[5]);

    CKRAScene* m_pScene = nullptr;
    _KRA_HANDLE m_hMapScene = 0;
    CKRAScene* m_pMapScene = nullptr;
    int m_nMotionCount[2] = {0, 0};
};

// The program's one avatar scene.
extern CAvatarScene* g_pAvatarScene;
