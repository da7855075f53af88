#pragma once
// The program's own ini reader and writer: skin files, the settings file, the string table and
// the popup-menu definitions are read through it; only the settings file is written back.
// The whole file is held as an ordered array of trimmed lines; lookups scan it and writes change
// it in place until Save.
#include <afxwin.h>

#include <string_view>

class CIniFile {
public:
    CIniFile();
    virtual ~CIniFile();

    // Replaces the content with the file's lines. A file that cannot be opened loads as empty.
    bool Load(const char* path);
    // Replaces the content with the lines of text already in memory (same rules as Load).
    void LoadText(std::string_view text);
    // Writes every line ending in CR LF through a temporary file renamed over the target, so the
    // old file survives a failed write whole. False when nothing could be written.
    bool Save(const char* path) const;
    void RemoveAll();

    int FindSection(const char* section) const;
    int FindOrAddSection(const char* section);
    bool IsSectionLine(int index) const;
    // `emptyToo`: also the trimmed "KEY =" line of a key stored with an empty value (for writing).
    int FindKey(int start, const char* key, CString* value, bool emptyToo = false) const;

    bool GetString(const char* section, const char* key, CString* value) const;
    bool GetInt(const char* section, const char* key, int* value) const;
    // Appends the ';'-separated pieces to the list's tail; the list's whole count afterwards.
    int GetList(const char* section, const char* key, CStringList* list) const;
    bool GetRect(const char* section, const char* key, RECT* rect) const;
    bool GetPoint(const char* section, const char* key, POINT* point) const;

    bool SetString(const char* section, const char* key, const char* value);
    bool SetInt(const char* section, const char* key, int value);

    const CStringArray& Lines() const { return m_arrLines; }

protected:
    CString m_strLineEnd;
    CStringArray m_arrLines;

private:
    void AppendTrimmed(std::string_view line);
    bool SetLine(const char* section, const char* key, const CString& line);
};

// The ini file's number conversion: leading blanks, an optional sign, digits up to the first
// other character; no number is 0 and out-of-range numbers are clamped.
int IniParseInt(std::string_view text, size_t* used = nullptr, bool* found = nullptr);
