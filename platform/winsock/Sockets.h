// The host side of the Winsock stand-in, in terms free of both the platform's and the host's
// socket declarations (they cannot meet in one file). Every function sets the thread's last
// Winsock error when it fails.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace yonda::winsock {

void SetLastError(int wsaError);
int LastError();

bool Startup();
bool Cleanup();
// False (and WSANOTINITIALISED) before the first Startup or after the last Cleanup.
bool Started();

// Socket calls on host descriptors; -1 on failure like their platform counterparts.
int64_t OpenSocket(int family, int type, int protocol);
int ConnectIPv4(int64_t socket, uint32_t addressNetworkOrder, uint16_t portNetworkOrder);
int Send(int64_t socket, const char* bytes, int length, int flags);
int Receive(int64_t socket, char* bytes, int length, int flags);
int Shutdown(int64_t socket, int how);
int Close(int64_t socket);
int SetNonBlocking(int64_t socket, bool nonBlocking);

bool ParseIPv4(const char* text, uint32_t* addressNetworkOrder);
// IPv4 addresses (network order) of a host name.
bool ResolveIPv4(const char* name, std::string* canonicalName, std::vector<uint32_t>* addresses);

// Network events and the event objects that report them.
void* CreateEventObject();
bool CloseEventObject(void* event);
bool SetEventObject(void* event);
bool ResetEventObject(void* event);
int SelectEvents(int64_t socket, void* event, long mask);
// The events recorded since the last call, with an error code per event bit (10 of them).
int TakeNetworkEvents(int64_t socket, void* event, long* events, int* errors);
constexpr uint32_t kWaitTimeout = 258;
constexpr uint32_t kWaitFailed = 0xFFFFFFFF;
uint32_t WaitForEvents(uint32_t count, void* const* events, bool waitAll, uint32_t timeoutMs);

} // namespace yonda::winsock
