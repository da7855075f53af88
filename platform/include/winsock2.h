// Winsock 2: the TCP client calls of the server probe, with event objects that report a
// socket's network events (connect, write, read, close) the way the platform records them.
// Sockets are host sockets underneath; include this header instead of the host's socket
// headers, not beside them.
#pragma once

#include "windef.h"

// u_char, u_short, u_int and u_long come from the host's <sys/types.h>, which every standard
// header brings along anyway; there u_long is 64 bits wide, so fields the wire or a structure
// layout fixes at 32 bits are declared as such.
#include <sys/types.h>

using SOCKET = UINT_PTR;
#define INVALID_SOCKET ((SOCKET)(~0))
#define SOCKET_ERROR (-1)

#define AF_UNSPEC 0
#define AF_INET 2
#define PF_INET AF_INET
#define SOCK_STREAM 1
#define SOCK_DGRAM 2
#define IPPROTO_TCP 6
#define IPPROTO_UDP 17

#define INADDR_ANY ((u_long)0x00000000)
#define INADDR_LOOPBACK 0x7f000001
#define INADDR_NONE 0xffffffff

#define SD_RECEIVE 0x00
#define SD_SEND 0x01
#define SD_BOTH 0x02

#define FIONBIO ((long)0x8004667E)
#define MSG_PEEK 0x2

struct in_addr {
    union {
        struct {
            u_char s_b1, s_b2, s_b3, s_b4;
        } S_un_b;
        struct {
            u_short s_w1, s_w2;
        } S_un_w;
        uint32_t S_addr;
    } S_un;
};
#define s_addr S_un.S_addr
using IN_ADDR = in_addr;

struct sockaddr {
    u_short sa_family;
    char sa_data[14];
};
using SOCKADDR = sockaddr;
using LPSOCKADDR = sockaddr*;

struct sockaddr_in {
    short sin_family;
    u_short sin_port;
    struct in_addr sin_addr;
    char sin_zero[8];
};
using SOCKADDR_IN = sockaddr_in;

struct hostent {
    char* h_name;
    char** h_aliases;
    short h_addrtype;
    short h_length;
    char** h_addr_list;
};
#define h_addr h_addr_list[0]
using HOSTENT = hostent;
using LPHOSTENT = hostent*;

#define WSADESCRIPTION_LEN 256
#define WSASYS_STATUS_LEN 128
typedef struct WSAData {
    WORD wVersion;
    WORD wHighVersion;
    char szDescription[WSADESCRIPTION_LEN + 1];
    char szSystemStatus[WSASYS_STATUS_LEN + 1];
    unsigned short iMaxSockets;
    unsigned short iMaxUdpDg;
    char* lpVendorInfo;
} WSADATA, *LPWSADATA;

// Network events.
#define FD_READ_BIT 0
#define FD_READ (1 << FD_READ_BIT)
#define FD_WRITE_BIT 1
#define FD_WRITE (1 << FD_WRITE_BIT)
#define FD_OOB_BIT 2
#define FD_OOB (1 << FD_OOB_BIT)
#define FD_ACCEPT_BIT 3
#define FD_ACCEPT (1 << FD_ACCEPT_BIT)
#define FD_CONNECT_BIT 4
#define FD_CONNECT (1 << FD_CONNECT_BIT)
#define FD_CLOSE_BIT 5
#define FD_CLOSE (1 << FD_CLOSE_BIT)
#define FD_MAX_EVENTS 10

typedef struct _WSANETWORKEVENTS {
    LONG lNetworkEvents;
    int iErrorCode[FD_MAX_EVENTS];
} WSANETWORKEVENTS, *LPWSANETWORKEVENTS;

using WSAEVENT = HANDLE;
using LPWSAEVENT = WSAEVENT*;
#define WSA_INVALID_EVENT ((WSAEVENT) nullptr)
#define WSA_MAXIMUM_WAIT_EVENTS 64
#define WSA_WAIT_EVENT_0 ((DWORD)0)
#define WSA_WAIT_IO_COMPLETION ((DWORD)0xC0)
#define WSA_WAIT_TIMEOUT ((DWORD)258)
#define WSA_WAIT_FAILED ((DWORD)0xFFFFFFFF)
#define WSA_INFINITE ((DWORD)0xFFFFFFFF)

// Error codes (WSAGetLastError).
#define WSA_INVALID_HANDLE 6
#define WSA_NOT_ENOUGH_MEMORY 8
#define WSA_INVALID_PARAMETER 87
#define WSABASEERR 10000
#define WSAEINTR 10004
#define WSAEBADF 10009
#define WSAEACCES 10013
#define WSAEFAULT 10014
#define WSAEINVAL 10022
#define WSAEMFILE 10024
#define WSAEWOULDBLOCK 10035
#define WSAEINPROGRESS 10036
#define WSAEALREADY 10037
#define WSAENOTSOCK 10038
#define WSAEDESTADDRREQ 10039
#define WSAEMSGSIZE 10040
#define WSAEPROTOTYPE 10041
#define WSAENOPROTOOPT 10042
#define WSAEPROTONOSUPPORT 10043
#define WSAESOCKTNOSUPPORT 10044
#define WSAEOPNOTSUPP 10045
#define WSAEAFNOSUPPORT 10047
#define WSAEADDRINUSE 10048
#define WSAEADDRNOTAVAIL 10049
#define WSAENETDOWN 10050
#define WSAENETUNREACH 10051
#define WSAENETRESET 10052
#define WSAECONNABORTED 10053
#define WSAECONNRESET 10054
#define WSAENOBUFS 10055
#define WSAEISCONN 10056
#define WSAENOTCONN 10057
#define WSAESHUTDOWN 10058
#define WSAETIMEDOUT 10060
#define WSAECONNREFUSED 10061
#define WSAEHOSTUNREACH 10065
#define WSASYSNOTREADY 10091
#define WSAVERNOTSUPPORTED 10092
#define WSANOTINITIALISED 10093
#define WSAHOST_NOT_FOUND 11001
#define WSATRY_AGAIN 11002
#define WSANO_RECOVERY 11003
#define WSANO_DATA 11004

int WSAStartup(WORD wVersionRequested, LPWSADATA lpWSAData);
int WSACleanup();
int WSAGetLastError();
void WSASetLastError(int iError);

SOCKET socket(int af, int type, int protocol);
int connect(SOCKET s, const sockaddr* name, int namelen);
int send(SOCKET s, const char* buf, int len, int flags);
int recv(SOCKET s, char* buf, int len, int flags);
int shutdown(SOCKET s, int how);
int closesocket(SOCKET s);
int ioctlsocket(SOCKET s, long cmd, u_long* argp);

// Dotted numbers (also the short and hexadecimal forms) to an address in network order,
// INADDR_NONE when the text is none.
u_long inet_addr(const char* cp);
// IPv4 addresses of a name; the answer lives until the thread's next call.
hostent* gethostbyname(const char* name);
u_short htons(u_short hostshort);
u_long htonl(u_long hostlong);
u_short ntohs(u_short netshort);
u_long ntohl(u_long netlong);

// Manual-reset event objects for the sockets' network events; they are waited on only with
// WSAWaitForMultipleEvents.
WSAEVENT WSACreateEvent();
BOOL WSACloseEvent(WSAEVENT hEvent);
BOOL WSASetEvent(WSAEVENT hEvent);
BOOL WSAResetEvent(WSAEVENT hEvent);
// Makes the socket non-blocking and signals hEventObject when one of lNetworkEvents occurs.
int WSAEventSelect(SOCKET s, WSAEVENT hEventObject, LONG lNetworkEvents);
int WSAEnumNetworkEvents(SOCKET s, WSAEVENT hEventObject, LPWSANETWORKEVENTS lpNetworkEvents);
DWORD WSAWaitForMultipleEvents(DWORD cEvents, const WSAEVENT* lphEvents, BOOL fWaitAll, DWORD dwTimeout,
                               BOOL fAlertable);
