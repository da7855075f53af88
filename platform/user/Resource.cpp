// The program's resources: a table filled at start-up by the program's resource module, looked
// up by type and name (numbers or case-insensitive strings) whatever module handle is passed.
#include "Window.h"
#include "yonda_user.h"

#include <strings.h>

#include <algorithm>
#include <cstring>
#include <list>
#include <mutex>
#include <string>
#include <vector>

namespace {

struct Name {
    bool numeric = false;
    WORD id = 0;
    std::string text;

    static Name Of(LPCSTR name)
    {
        Name n;
        if (IS_INTRESOURCE(name)) {
            n.numeric = true;
            n.id = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name));
        } else if (name && name[0] == '#') {
            n.numeric = true;
            n.id = static_cast<WORD>(std::strtoul(name + 1, nullptr, 10));
        } else {
            n.text = name ? name : "";
        }
        return n;
    }
    bool operator==(const Name& o) const
    {
        return numeric == o.numeric && (numeric ? id == o.id : strcasecmp(text.c_str(), o.text.c_str()) == 0);
    }
};

struct Resource {
    Name type;
    Name name;
    std::vector<BYTE> bytes;
};

struct Table {
    std::mutex mutex;
    std::list<Resource> items; // a list, so handles to entries stay valid as it grows
};

Table& Resources()
{
    static Table table;
    return table;
}

Resource* Find(const Name& type, const Name& name)
{
    for (auto& r : Resources().items)
        if (r.type == type && r.name == name)
            return &r;
    return nullptr;
}

} // namespace

void YondaAddResource(LPCSTR type, LPCSTR name, const void* data, DWORD size)
{
    std::lock_guard lock(Resources().mutex);
    Name t = Name::Of(type), n = Name::Of(name);
    Resource* r = Find(t, n);
    if (!r) {
        r = &Resources().items.emplace_back();
        r->type = t;
        r->name = n;
    }
    const BYTE* bytes = static_cast<const BYTE*>(data);
    r->bytes.assign(bytes, bytes + (data ? size : 0));
}

void YondaAddStringResource(UINT id, LPCSTR text)
{
    YondaAddResource(RT_STRING, MAKEINTRESOURCE(id), text, text ? static_cast<DWORD>(std::strlen(text)) : 0);
}

HRSRC FindResourceA(HMODULE, LPCSTR name, LPCSTR type)
{
    std::lock_guard lock(Resources().mutex);
    return reinterpret_cast<HRSRC>(Find(Name::Of(type), Name::Of(name)));
}

HGLOBAL LoadResource(HMODULE, HRSRC info)
{
    return reinterpret_cast<HGLOBAL>(info);
}

LPVOID LockResource(HGLOBAL data)
{
    auto* r = reinterpret_cast<Resource*>(data);
    return r ? r->bytes.data() : nullptr;
}

DWORD SizeofResource(HMODULE, HRSRC info)
{
    auto* r = reinterpret_cast<Resource*>(info);
    return r ? static_cast<DWORD>(r->bytes.size()) : 0;
}

BOOL FreeResource(HGLOBAL)
{
    return FALSE;
}

int LoadStringA(HINSTANCE, UINT id, LPSTR buffer, int size)
{
    if (!buffer || size <= 0)
        return 0;
    std::lock_guard lock(Resources().mutex);
    Resource* r = Find(Name::Of(RT_STRING), Name::Of(MAKEINTRESOURCE(id)));
    if (!r) {
        buffer[0] = '\0';
        return 0;
    }
    size_t n = std::min(r->bytes.size(), static_cast<size_t>(size - 1));
    // A short buffer ends before a double-byte character rather than inside it.
    if (n < r->bytes.size()) {
        size_t whole = 0;
        while (whole < n) {
            size_t len = IsDBCSLeadByte(r->bytes[whole]) && whole + 1 < r->bytes.size() ? 2 : 1;
            if (whole + len > n)
                break;
            whole += len;
        }
        n = whole;
    }
    std::memcpy(buffer, r->bytes.data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}
