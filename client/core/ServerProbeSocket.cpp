#include "ServerProbeSocket.h"

#include <cstring>

namespace {
constexpr int kHeaderSize = 4;
constexpr LONG kEventMask = FD_READ | FD_WRITE | FD_CLOSE; // 35
} // namespace

std::vector<BYTE> MakeProbePacket(BYTE command, int payloadLength, const void* payload)
{
    if (payloadLength < 0 || payloadLength > 0xFFFF - kHeaderSize) {
        return {};
    }
    const int total = payloadLength + kHeaderSize;
    std::vector<BYTE> packet(static_cast<size_t>(total));
    packet[0] = 0;
    packet[1] = command;
    packet[2] = static_cast<BYTE>(total >> 8);
    packet[3] = static_cast<BYTE>(total & 0xFF);
    if (payloadLength > 0 && payload) {
        std::memcpy(packet.data() + kHeaderSize, payload, static_cast<size_t>(payloadLength));
    }
    return packet;
}

CServerProbeSocket::~CServerProbeSocket()
{
    Close();
    Cleanup();
}

BOOL CServerProbeSocket::Startup()
{
    WSADATA data{};
    if (WSAStartup(MAKEWORD(2, 0), &data) != 0) {
        m_nStatus = STATUS_NO_WINSOCK;
        return FALSE;
    }
    m_bStarted = TRUE;
    return TRUE;
}

BOOL CServerProbeSocket::Connect(LPCSTR host, int port)
{
    Close();
    if (!host || !*host) {
        return FALSE;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    address.sin_addr.s_addr = static_cast<decltype(address.sin_addr.s_addr)>(inet_addr(host));
    if (address.sin_addr.s_addr == static_cast<decltype(address.sin_addr.s_addr)>(INADDR_NONE)) {
        hostent* entry = gethostbyname(host);
        if (!entry || !entry->h_addr) {
            return FALSE;
        }
        std::memcpy(&address.sin_addr, entry->h_addr, sizeof(address.sin_addr));
    }
    m_hSocket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    m_hNetEvent = WSACreateEvent();
    m_hUserEvent = WSACreateEvent();
    if (m_hSocket == INVALID_SOCKET || m_hNetEvent == WSA_INVALID_EVENT || m_hUserEvent == WSA_INVALID_EVENT) {
        Close();
        return FALSE;
    }
    u_long nonBlocking = 1;
    ioctlsocket(m_hSocket, FIONBIO, &nonBlocking);
    if (WSAEventSelect(m_hSocket, m_hNetEvent, kEventMask) == SOCKET_ERROR) {
        Close();
        return FALSE;
    }
    if (connect(m_hSocket, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == SOCKET_ERROR &&
        WSAGetLastError() != WSAEWOULDBLOCK) {
        Close();
        return FALSE;
    }
    m_bConnected = TRUE;
    m_bWritable = FALSE;
    return TRUE;
}

BOOL CServerProbeSocket::Exchange(int waitSeconds, BYTE command, int payloadLength, const void* payload)
{
    if (!m_bConnected) {
        return FALSE;
    }
    m_sendBuffer = MakeProbePacket(command, payloadLength, payload);
    if (m_sendBuffer.empty()) {
        m_nStatus = STATUS_NO_BUFFER;
        return FALSE;
    }
    m_nSent = 0;
    m_nReceived = 0;
    m_nStatus = STATUS_TIMEOUT;
    m_bRunning = TRUE;
    WSASetEvent(m_hUserEvent);
    const WSAEVENT events[2] = {m_hNetEvent, m_hUserEvent};
    const DWORD wait = static_cast<DWORD>(waitSeconds > 0 ? waitSeconds : 0) * 1000;
    while (m_bRunning) {
        const DWORD which = WSAWaitForMultipleEvents(2, events, FALSE, wait, FALSE);
        if (which == WSA_WAIT_EVENT_0) {
            WSANETWORKEVENTS happened{};
            if (WSAEnumNetworkEvents(m_hSocket, m_hNetEvent, &happened) == SOCKET_ERROR) {
                m_nStatus = STATUS_CLOSED;
                break;
            }
            if (happened.lNetworkEvents & FD_READ) {
                if (!Receive()) {
                    break;
                }
            }
            if (happened.lNetworkEvents & FD_WRITE) {
                if (happened.iErrorCode[FD_WRITE_BIT] != 0) {
                    m_nStatus = STATUS_SEND_FAILED;
                    break;
                }
                m_bWritable = TRUE;
                SendPending();
            }
            if (happened.lNetworkEvents & FD_CLOSE) {
                // What arrived with the close may still complete the reply.
                if (m_nStatus != STATUS_COMPLETE && m_nStatus != STATUS_OVERLONG && m_nStatus != STATUS_MALFORMED) {
                    m_nStatus = STATUS_CLOSED;
                }
                break;
            }
        } else if (which == WSA_WAIT_EVENT_0 + 1) {
            WSAResetEvent(m_hUserEvent);
            SendPending();
        } else {
            m_nStatus = STATUS_TIMEOUT;
            break;
        }
        if (m_nStatus == STATUS_SEND_FAILED) {
            break;
        }
    }
    m_bRunning = FALSE;
    return m_nStatus == STATUS_COMPLETE;
}

void CServerProbeSocket::SendPending()
{
    // Before the connect is confirmed a send can only fail; the first write event sends.
    if (!m_bWritable) {
        return;
    }
    while (m_nSent < static_cast<int>(m_sendBuffer.size())) {
        const int rest = static_cast<int>(m_sendBuffer.size()) - m_nSent;
        const int sent = send(m_hSocket, reinterpret_cast<const char*>(m_sendBuffer.data()) + m_nSent, rest, 0);
        if (sent == SOCKET_ERROR) {
            if (WSAGetLastError() != WSAEWOULDBLOCK) {
                m_nStatus = STATUS_SEND_FAILED;
            }
            return;
        }
        if (sent == 0) {
            return;
        }
        m_nSent += sent;
    }
}

bool CServerProbeSocket::Receive()
{
    const int room = kReceiveSize - m_nReceived;
    if (room <= 0) {
        m_nStatus = STATUS_OVERLONG;
        return false;
    }
    const int got = recv(m_hSocket, reinterpret_cast<char*>(m_receiveBuffer) + m_nReceived, room, 0);
    if (got == SOCKET_ERROR) {
        return WSAGetLastError() == WSAEWOULDBLOCK;
    }
    if (got == 0) {
        m_nStatus = STATUS_CLOSED;
        return false;
    }
    m_nReceived += got;
    m_receiveBuffer[m_nReceived] = 0; // a text read from it never runs past what arrived
    const int status = JudgeReply(m_receiveBuffer, m_nReceived);
    if (status < 0) {
        return true;
    }
    m_nStatus = status;
    return false;
}

int CServerProbeSocket::JudgeReply(const BYTE* received, int count)
{
    if (count <= kHeaderSize) {
        return -1;
    }
    const int announced = (received[2] << 8) | received[3];
    if (count < announced) {
        return -1;
    }
    if (count > announced) {
        return STATUS_OVERLONG;
    }
    // The payload is a text: without its terminating zero it is not a reply this client can use.
    return std::memchr(received + kHeaderSize, 0, static_cast<size_t>(count - kHeaderSize)) ? STATUS_COMPLETE
                                                                                            : STATUS_MALFORMED;
}

CString CServerProbeSocket::GetReply() const
{
    if (m_bRunning || m_nStatus != STATUS_COMPLETE || m_nReceived <= kHeaderSize) {
        return CString();
    }
    return CString(reinterpret_cast<const char*>(m_receiveBuffer + kHeaderSize));
}

void CServerProbeSocket::Close()
{
    if (m_hSocket != INVALID_SOCKET) {
        WSAEventSelect(m_hSocket, m_hNetEvent, 0);
        shutdown(m_hSocket, SD_SEND);
        closesocket(m_hSocket);
        m_hSocket = INVALID_SOCKET;
    }
    if (m_hNetEvent != WSA_INVALID_EVENT) {
        WSACloseEvent(m_hNetEvent);
        m_hNetEvent = WSA_INVALID_EVENT;
    }
    if (m_hUserEvent != WSA_INVALID_EVENT) {
        WSACloseEvent(m_hUserEvent);
        m_hUserEvent = WSA_INVALID_EVENT;
    }
    m_bConnected = FALSE;
    m_bWritable = FALSE;
}

void CServerProbeSocket::Cleanup()
{
    if (m_bStarted) {
        WSACleanup();
        m_bStarted = FALSE;
        m_sendBuffer.clear();
    }
}
