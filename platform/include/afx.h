// The MFC core: CObject and CString. Strings are bytes in the active code page; searching,
// trimming and case changes step over double-byte characters whole.
#pragma once

#include <windows.h>

#include <cstdarg>
#include <string>

struct __POSITION {};
typedef __POSITION* POSITION;

#define AFXAPI
#define AFX_CDECL
#define afx_msg
#define ASSERT(x) ((void)0)
#define VERIFY(x) ((void)(x))
#define TRACE(...) ((void)0)
#define TRACE0(x) ((void)0)
#define ASSERT_VALID(x) ((void)0)
#define BEFORE_START_POSITION ((POSITION)-1L)

class CObject {
public:
    virtual ~CObject() = default;

protected:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};

class CString {
public:
    CString() = default;
    CString(const CString&) = default;
    CString(CString&&) noexcept = default;
    CString(LPCSTR text) : m_str(text ? text : "") {}
    CString(LPCSTR text, int length);
    CString(char ch, int repeat = 1) : m_str(repeat > 0 ? static_cast<size_t>(repeat) : 0, ch) {}
    CString(const std::string& text) : m_str(text) {}

    CString& operator=(const CString&) = default;
    CString& operator=(CString&&) noexcept = default;
    CString& operator=(LPCSTR text)
    {
        m_str = text ? text : "";
        return *this;
    }
    CString& operator=(char ch)
    {
        m_str.assign(1, ch);
        return *this;
    }

    int GetLength() const { return static_cast<int>(m_str.size()); }
    BOOL IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    operator LPCSTR() const { return m_str.c_str(); }
    LPCSTR GetString() const { return m_str.c_str(); }
    const std::string& Str() const { return m_str; }

    // Out-of-range indices answer 0 and change nothing.
    char GetAt(int index) const;
    void SetAt(int index, char ch);
    char operator[](int index) const { return GetAt(index); }

    CString& operator+=(const CString& s)
    {
        m_str += s.m_str;
        return *this;
    }
    CString& operator+=(LPCSTR s)
    {
        if (s)
            m_str += s;
        return *this;
    }
    CString& operator+=(char ch)
    {
        m_str += ch;
        return *this;
    }
    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_str + b.m_str); }
    friend CString operator+(const CString& a, LPCSTR b) { return CString(a.m_str + (b ? b : "")); }
    friend CString operator+(LPCSTR a, const CString& b) { return CString(std::string(a ? a : "") + b.m_str); }
    friend CString operator+(const CString& a, char b) { return CString(a.m_str + b); }
    friend CString operator+(char a, const CString& b) { return CString(std::string(1, a) + b.m_str); }

    int Compare(LPCSTR other) const;
    int CompareNoCase(LPCSTR other) const;
    friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
    friend bool operator==(const CString& a, LPCSTR b) { return a.Compare(b) == 0; }
    friend bool operator==(LPCSTR a, const CString& b) { return b.Compare(a) == 0; }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, LPCSTR b) { return !(a == b); }
    friend bool operator!=(LPCSTR a, const CString& b) { return !(b == a); }
    friend bool operator<(const CString& a, const CString& b) { return a.m_str < b.m_str; }
    friend bool operator>(const CString& a, const CString& b) { return a.m_str > b.m_str; }
    friend bool operator<=(const CString& a, const CString& b) { return a.m_str <= b.m_str; }
    friend bool operator>=(const CString& a, const CString& b) { return a.m_str >= b.m_str; }

    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Left(int count) const;
    CString Right(int count) const;
    CString SpanIncluding(LPCSTR set) const;
    CString SpanExcluding(LPCSTR set) const;

    void MakeUpper();
    void MakeLower();
    void MakeReverse();

    int Replace(char from, char to);
    int Replace(LPCSTR from, LPCSTR to);
    int Remove(char ch);
    int Insert(int index, char ch);
    int Insert(int index, LPCSTR text);
    int Delete(int index, int count = 1);

    CString& TrimLeft();
    CString& TrimLeft(char target);
    CString& TrimLeft(LPCSTR targets);
    CString& TrimRight();
    CString& TrimRight(char target);
    CString& TrimRight(LPCSTR targets);
    CString& Trim() { return TrimRight().TrimLeft(); }
    CString& Trim(char target) { return TrimRight(target).TrimLeft(target); }
    CString& Trim(LPCSTR targets) { return TrimRight(targets).TrimLeft(targets); }

    // Positions count bytes; a match never starts on the second byte of a double-byte character.
    int Find(char ch) const { return Find(ch, 0); }
    int Find(char ch, int start) const;
    int Find(LPCSTR text) const { return Find(text, 0); }
    int Find(LPCSTR text, int start) const;
    int ReverseFind(char ch) const;
    int FindOneOf(LPCSTR set) const;

    void Format(LPCSTR format, ...);
    void FormatV(LPCSTR format, va_list args);
    void AppendFormat(LPCSTR format, ...);
    BOOL LoadString(UINT id);

    // Buffer access: ReleaseBuffer(-1) ends the string at its first zero byte.
    LPSTR GetBuffer(int minLength);
    LPSTR GetBufferSetLength(int length);
    void ReleaseBuffer(int newLength = -1);
    void FreeExtra() { m_str.shrink_to_fit(); }

private:
    std::string m_str;
};

typedef const CString& LPCTSTR_REF;

typedef int64_t __time64_t;

// A moment as seconds since 1970 (UTC).
class CTime {
public:
    CTime() = default;
    CTime(__time64_t time) : m_time(time) {}
    __time64_t GetTime() const { return m_time; }
    friend bool operator==(const CTime& a, const CTime& b) { return a.m_time == b.m_time; }

private:
    __time64_t m_time = 0;
};

// What the file system knows of a file or folder.
struct CFileStatus {
    CTime m_ctime;
    CTime m_mtime;
    CTime m_atime;
    ULONGLONG m_size = 0;
    BYTE m_attribute = 0; // CFile::Attribute bits
    CHAR m_szFullName[MAX_PATH] = {};
};

// Files by Windows path. Only the status query is offered: the program reads and writes its
// files through the C runtime.
class CFile : public CObject {
public:
    enum Attribute {
        normal = 0x00,
        readOnly = 0x01,
        hidden = 0x02,
        system = 0x04,
        volume = 0x08,
        directory = 0x10,
        archive = 0x20,
    };

    // TRUE, with the status filled, when a file or folder is at the path; FALSE when nothing is
    // (or the path cannot be asked about). m_szFullName is the path made absolute against the
    // current directory, cut to MAX_PATH - 1 bytes.
    static BOOL GetStatus(LPCSTR lpszFileName, CFileStatus& rStatus);
};

// Whether a byte starts a double-byte character in the active code page.
bool YondaIsLeadByte(BYTE byte);
