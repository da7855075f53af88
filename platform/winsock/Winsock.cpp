// The Winsock calls by their platform names and types, over the host side in Sockets.h.
#include "winsock2.h"

#include "Sockets.h"

#include <cstring>
#include <string>
#include <vector>

namespace ws = yonda::winsock;

namespace {

int64_t Host(SOCKET s)
{
    return s == INVALID_SOCKET ? -1 : static_cast<int64_t>(s);
}

// gethostbyname's answer, one per thread.
struct HostAnswer {
    std::string name;
    std::vector<uint32_t> addresses;
    std::vector<char*> addressList;
    char* aliases[1] = {nullptr};
    hostent entry{};
};
thread_local HostAnswer t_host;

} // namespace

int WSAStartup(WORD wVersionRequested, LPWSADATA lpWSAData)
{
    if (!lpWSAData)
        return WSAEFAULT;
    // Versions below 1.1 do not exist; anything from 2.2 up is served as 2.2.
    const BYTE major = LOBYTE(wVersionRequested);
    const BYTE minor = HIBYTE(wVersionRequested);
    if (major < 1 || (major == 1 && minor < 1))
        return WSAVERNOTSUPPORTED;
    std::memset(lpWSAData, 0, sizeof *lpWSAData);
    lpWSAData->wVersion = (major > 2 || (major == 2 && minor >= 2)) ? MAKEWORD(2, 2) : wVersionRequested;
    lpWSAData->wHighVersion = MAKEWORD(2, 2);
    std::strcpy(lpWSAData->szDescription, "Yonda sockets");
    std::strcpy(lpWSAData->szSystemStatus, "Running");
    ws::Startup();
    return 0;
}

int WSACleanup()
{
    return ws::Cleanup() ? 0 : SOCKET_ERROR;
}

int WSAGetLastError()
{
    return ws::LastError();
}

void WSASetLastError(int iError)
{
    ws::SetLastError(iError);
}

SOCKET socket(int af, int type, int protocol)
{
    int64_t fd = ws::OpenSocket(af, type, protocol);
    return fd < 0 ? INVALID_SOCKET : static_cast<SOCKET>(fd);
}

int connect(SOCKET s, const sockaddr* name, int namelen)
{
    if (!name || namelen < static_cast<int>(sizeof(sockaddr_in))) {
        ws::SetLastError(WSAEFAULT);
        return SOCKET_ERROR;
    }
    sockaddr_in address{};
    std::memcpy(&address, name, sizeof address);
    if (address.sin_family != AF_INET) {
        ws::SetLastError(WSAEAFNOSUPPORT);
        return SOCKET_ERROR;
    }
    return ws::ConnectIPv4(Host(s), address.sin_addr.s_addr, address.sin_port) == 0 ? 0 : SOCKET_ERROR;
}

int send(SOCKET s, const char* buf, int len, int flags)
{
    int sent = ws::Send(Host(s), buf, len, flags);
    return sent < 0 ? SOCKET_ERROR : sent;
}

int recv(SOCKET s, char* buf, int len, int flags)
{
    int got = ws::Receive(Host(s), buf, len, flags);
    return got < 0 ? SOCKET_ERROR : got;
}

int shutdown(SOCKET s, int how)
{
    return ws::Shutdown(Host(s), how) == 0 ? 0 : SOCKET_ERROR;
}

int closesocket(SOCKET s)
{
    return ws::Close(Host(s)) == 0 ? 0 : SOCKET_ERROR;
}

int ioctlsocket(SOCKET s, long cmd, u_long* argp)
{
    if (cmd != FIONBIO) {
        ws::SetLastError(WSAEINVAL);
        return SOCKET_ERROR;
    }
    if (!argp) {
        ws::SetLastError(WSAEFAULT);
        return SOCKET_ERROR;
    }
    return ws::SetNonBlocking(Host(s), *argp != 0) == 0 ? 0 : SOCKET_ERROR;
}

u_long inet_addr(const char* cp)
{
    uint32_t address = 0;
    return ws::ParseIPv4(cp, &address) ? address : INADDR_NONE;
}

hostent* gethostbyname(const char* name)
{
    HostAnswer& answer = t_host;
    if (!ws::ResolveIPv4(name, &answer.name, &answer.addresses))
        return nullptr;
    answer.addressList.clear();
    for (uint32_t& address : answer.addresses)
        answer.addressList.push_back(reinterpret_cast<char*>(&address));
    answer.addressList.push_back(nullptr);
    answer.entry.h_name = answer.name.data();
    answer.entry.h_aliases = answer.aliases;
    answer.entry.h_addrtype = AF_INET;
    answer.entry.h_length = 4;
    answer.entry.h_addr_list = answer.addressList.data();
    return &answer.entry;
}

u_short htons(u_short hostshort)
{
    return static_cast<u_short>((hostshort << 8) | (hostshort >> 8));
}

u_long htonl(u_long hostlong)
{
    const auto value = static_cast<uint32_t>(hostlong);
    return ((value & 0xFF) << 24) | ((value & 0xFF00) << 8) | ((value >> 8) & 0xFF00) | (value >> 24);
}

u_short ntohs(u_short netshort)
{
    return htons(netshort);
}

u_long ntohl(u_long netlong)
{
    return htonl(netlong);
}

WSAEVENT WSACreateEvent()
{
    return ws::CreateEventObject();
}

BOOL WSACloseEvent(WSAEVENT hEvent)
{
    return ws::CloseEventObject(hEvent) ? TRUE : FALSE;
}

BOOL WSASetEvent(WSAEVENT hEvent)
{
    return ws::SetEventObject(hEvent) ? TRUE : FALSE;
}

BOOL WSAResetEvent(WSAEVENT hEvent)
{
    return ws::ResetEventObject(hEvent) ? TRUE : FALSE;
}

int WSAEventSelect(SOCKET s, WSAEVENT hEventObject, LONG lNetworkEvents)
{
    return ws::SelectEvents(Host(s), hEventObject, lNetworkEvents) == 0 ? 0 : SOCKET_ERROR;
}

int WSAEnumNetworkEvents(SOCKET s, WSAEVENT hEventObject, LPWSANETWORKEVENTS lpNetworkEvents)
{
    if (!lpNetworkEvents) {
        ws::SetLastError(WSAEFAULT);
        return SOCKET_ERROR;
    }
    long events = 0;
    if (ws::TakeNetworkEvents(Host(s), hEventObject, &events, lpNetworkEvents->iErrorCode) != 0)
        return SOCKET_ERROR;
    lpNetworkEvents->lNetworkEvents = static_cast<LONG>(events);
    return 0;
}

DWORD WSAWaitForMultipleEvents(DWORD cEvents, const WSAEVENT* lphEvents, BOOL fWaitAll, DWORD dwTimeout, BOOL)
{
    uint32_t result = ws::WaitForEvents(cEvents, lphEvents, fWaitAll != FALSE, dwTimeout);
    if (result == ws::kWaitTimeout)
        return WSA_WAIT_TIMEOUT;
    if (result == ws::kWaitFailed)
        return WSA_WAIT_FAILED;
    return WSA_WAIT_EVENT_0 + result;
}
