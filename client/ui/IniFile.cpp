#include "IniFile.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

bool IsIniSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool IsLeadByte(unsigned char c, UINT codePage)
{
    switch (codePage) {
    case 949:
    case 936:
    case 950: return c >= 0x81 && c <= 0xFE;
    case 932: return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    default: return false;
    }
}

// Folds ASCII letters of the first `count` bytes only. The second byte of a double-byte
// character may look like an ASCII letter; folding it would change the character.
std::string FoldPrefix(std::string_view text, size_t count)
{
    const UINT codePage = GetACP();
    std::string folded(text.substr(0, count));
    for (size_t i = 0; i < folded.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(folded[i]);
        if (IsLeadByte(c, codePage)) {
            ++i;
        } else if (c >= 'A' && c <= 'Z') {
            folded[i] = static_cast<char>(c - 'A' + 'a');
        }
    }
    return folded;
}

// Reads "NAME(%d,%d,...)" the way a scanf pattern would: literal characters must match exactly,
// numbers may have leading blanks; parsing stops at the first mismatch, leaving later numbers 0.
void ParseTuple(std::string_view text, std::string_view name, int* values, int count)
{
    for (int i = 0; i < count; ++i) {
        values[i] = 0;
    }
    if (text.substr(0, name.size()) != name || text.size() <= name.size() || text[name.size()] != '(') {
        return;
    }
    size_t pos = name.size() + 1;
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            if (pos >= text.size() || text[pos] != ',') {
                return;
            }
            ++pos;
        }
        size_t used = 0;
        bool found = false;
        const int value = IniParseInt(text.substr(pos), &used, &found);
        if (!found) {
            return;
        }
        values[i] = value;
        pos += used;
    }
}

} // namespace

int IniParseInt(std::string_view text, size_t* used, bool* found)
{
    size_t pos = 0;
    while (pos < text.size() && IsIniSpace(text[pos])) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    long long magnitude = 0;
    const size_t digitsStart = pos;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        if (magnitude <= static_cast<long long>(INT_MAX) + 1) {
            magnitude = magnitude * 10 + (text[pos] - '0');
        }
        ++pos;
    }
    const bool any = pos > digitsStart;
    if (found) {
        *found = any;
    }
    if (used) {
        *used = any ? pos : 0;
    }
    if (!any) {
        return 0;
    }
    const long long value = negative ? -magnitude : magnitude;
    if (value > INT_MAX) {
        return INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

CIniFile::CIniFile() : m_strLineEnd("\r\n") {}

CIniFile::~CIniFile()
{
    RemoveAll();
}

void CIniFile::RemoveAll()
{
    m_arrLines.RemoveAll();
}

void CIniFile::AppendTrimmed(std::string_view line)
{
    size_t begin = 0;
    size_t end = line.size();
    while (begin < end && IsIniSpace(line[begin])) {
        ++begin;
    }
    while (end > begin && IsIniSpace(line[end - 1])) {
        --end;
    }
    if (end > begin) {
        m_arrLines.Add(CString(std::string(line.substr(begin, end - begin))));
    }
}

void CIniFile::LoadText(std::string_view text)
{
    RemoveAll();
    size_t start = 0;
    while (start < text.size()) {
        size_t newline = text.find('\n', start);
        if (newline == std::string_view::npos) {
            newline = text.size();
        }
        AppendTrimmed(text.substr(start, newline - start));
        start = newline + 1;
    }
}

bool CIniFile::Load(const char* path)
{
    RemoveAll();
    if (!path) {
        return true;
    }
    FILE* file = YondaOpenFile(path, "rb");
    if (!file) {
        return true;
    }
    // Lines are read whole whatever their length: a long value cut in two would both lose its
    // tail and let the tail pass for a line of its own.
    std::string text;
    char buffer[8192];
    size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0) {
        text.append(buffer, got);
    }
    fclose(file);
    LoadText(text);
    return true;
}

bool CIniFile::Save(const char* path) const
{
    if (!path || !*path) {
        return false;
    }
    const std::string target = YondaHostPath(path);
    const std::string temporary = target + ".tmp" + std::to_string(getpid());
    FILE* file = fopen(temporary.c_str(), "wb");
    if (!file) {
        return false;
    }
    bool ok = true;
    const std::string& end = m_strLineEnd.Str();
    for (INT_PTR i = 0; i < m_arrLines.GetSize(); ++i) {
        const std::string& line = m_arrLines.GetData()[i].Str();
        if (fwrite(line.data(), 1, line.size(), file) != line.size() ||
            fwrite(end.data(), 1, end.size(), file) != end.size()) {
            ok = false;
            break;
        }
    }
    ok = fflush(file) == 0 && ok;
    ok = fsync(fileno(file)) == 0 && ok;
    ok = fclose(file) == 0 && ok;
    if (ok && rename(temporary.c_str(), target.c_str()) == 0) {
        return true;
    }
    remove(temporary.c_str());
    return false;
}

int CIniFile::FindSection(const char* section) const
{
    if (!section) {
        return -1;
    }
    CString header;
    header.Format("[%s]", section);
    for (INT_PTR i = 0; i < m_arrLines.GetSize(); ++i) {
        if (m_arrLines.GetData()[i] == header) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int CIniFile::FindOrAddSection(const char* section)
{
    if (!section) {
        return -1;
    }
    const int found = FindSection(section);
    if (found >= 0) {
        return found;
    }
    CString header;
    header.Format("[%s]", section);
    return static_cast<int>(m_arrLines.Add(header));
}

bool CIniFile::IsSectionLine(int index) const
{
    if (index < 0 || index >= m_arrLines.GetSize()) {
        return false;
    }
    const std::string& line = m_arrLines.GetData()[index].Str();
    return line.size() >= 3 && line.front() == '[' && line.back() == ']';
}

int CIniFile::FindKey(int start, const char* key, CString* value, bool emptyToo) const
{
    if (!key || start < 0) {
        return -1;
    }
    const std::string prefixText = std::string(key) + " = ";
    const size_t n = prefixText.size();
    const std::string prefix = FoldPrefix(prefixText, n);
    for (INT_PTR i = start; i < m_arrLines.GetSize(); ++i) {
        if (IsSectionLine(static_cast<int>(i))) {
            break;
        }
        const std::string& line = m_arrLines.GetData()[i].Str();
        // Lines are kept trimmed, so a key stored with an empty value reads "KEY =". Reading does
        // not see it (its default stands), but writing replaces it: else every write of an empty
        // value would add another line to the file.
        const bool empty = emptyToo && line.size() == n - 1 && FoldPrefix(line, n - 1) == prefix.substr(0, n - 1);
        if (!empty && (line.size() < n || FoldPrefix(line, n) != prefix)) {
            continue;
        }
        if (empty) {
            return static_cast<int>(i);
        }
        if (value) {
            *value = CString(line.substr(n));
        }
        return static_cast<int>(i);
    }
    return -1;
}

bool CIniFile::GetString(const char* section, const char* key, CString* value) const
{
    const int s = FindSection(section);
    return s >= 0 && FindKey(s + 1, key, value) >= 0;
}

bool CIniFile::GetInt(const char* section, const char* key, int* value) const
{
    CString text;
    if (!GetString(section, key, &text)) {
        return false;
    }
    if (value) {
        *value = IniParseInt(text.Str());
    }
    return true;
}

int CIniFile::GetList(const char* section, const char* key, CStringList* list) const
{
    CString value;
    if (!list || !GetString(section, key, &value)) {
        return 0;
    }
    const std::string& text = value.Str();
    size_t p = 0;
    while (p < text.size()) {
        const size_t semicolon = text.find(';', p);
        if (semicolon == std::string::npos) {
            list->AddTail(CString(text.substr(p)));
            break;
        }
        list->AddTail(CString(text.substr(p, semicolon - p)));
        p = semicolon + 1;
    }
    return static_cast<int>(list->GetCount());
}

// Looking a rectangle or point up leaves the lines as they are: a missing section is not added,
// so reading never changes what a later Save writes.
bool CIniFile::GetRect(const char* section, const char* key, RECT* rect) const
{
    CString text;
    if (!GetString(section, key, &text)) {
        return false;
    }
    int values[4];
    ParseTuple(text.Str(), "RECT", values, 4);
    if (rect) {
        rect->left = values[0];
        rect->top = values[1];
        rect->right = values[2];
        rect->bottom = values[3];
    }
    return true;
}

bool CIniFile::GetPoint(const char* section, const char* key, POINT* point) const
{
    CString text;
    if (!GetString(section, key, &text)) {
        return false;
    }
    int values[2];
    ParseTuple(text.Str(), "POINT", values, 2);
    if (point) {
        point->x = values[0];
        point->y = values[1];
    }
    return true;
}

bool CIniFile::SetLine(const char* section, const char* key, const CString& line)
{
    if (!key) {
        return false;
    }
    const int s = FindOrAddSection(section);
    if (s < 0) {
        return false;
    }
    const int k = FindKey(s + 1, key, nullptr, true);
    if (k < 0) {
        // New keys go right after the header, so keys added to one section read back in
        // reverse order of their addition; stored settings files have that order.
        m_arrLines.InsertAt(s + 1, line);
    } else {
        m_arrLines.SetAt(k, line);
    }
    return true;
}

bool CIniFile::SetString(const char* section, const char* key, const char* value)
{
    if (!key) {
        return false;
    }
    CString line;
    line.Format("%s = %s", key, value ? value : "");
    return SetLine(section, key, line);
}

bool CIniFile::SetInt(const char* section, const char* key, int value)
{
    if (!key) {
        return false;
    }
    CString line;
    line.Format("%s = %d", key, value);
    return SetLine(section, key, line);
}
