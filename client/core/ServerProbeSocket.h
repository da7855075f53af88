#pragma once
// The client's own small Winsock client for one exchange with a server before the network
// library connects: it asks which address the library should use. Packets in both directions are
// a zero byte, a command byte, the packet's total length (big-endian, header included) and the
// payload.
#include <afx.h>
#include <winsock2.h>

#include <vector>

class CServerProbeSocket {
public:
    enum Status {
        STATUS_COMPLETE = 0,
        STATUS_NO_WINSOCK = 1,
        STATUS_TIMEOUT = 2,
        STATUS_CLOSED = 5,
        STATUS_NO_BUFFER = 7,
        STATUS_SEND_FAILED = 8,
        STATUS_OVERLONG = 9,
        STATUS_MALFORMED = 10, // a reply whose text has no terminating zero
    };
    static constexpr int kReceiveSize = 65535;
    static constexpr BYTE kCommandProbe = 7;

    CServerProbeSocket() = default;
    virtual ~CServerProbeSocket();
    CServerProbeSocket(const CServerProbeSocket&) = delete;
    CServerProbeSocket& operator=(const CServerProbeSocket&) = delete;

    BOOL Startup();
    BOOL Connect(LPCSTR host, int port);
    // Sends one packet and waits for the whole reply; every event restarts the wait, so only
    // `waitSeconds` of silence end it by time. TRUE when the reply is complete.
    BOOL Exchange(int waitSeconds, BYTE command, int payloadLength, const void* payload);
    // The reply's payload as text (empty while an exchange runs or when none completed).
    CString GetReply() const;
    void Close();
    void Cleanup();

    int GetStatus() const { return m_nStatus; }
    // What the first `count` bytes received make of the reply: a status, or -1 to wait for more.
    static int JudgeReply(const BYTE* received, int count);
    int GetReceived() const { return m_nReceived; }

private:
    void SendPending();
    // False once the exchange has ended.
    bool Receive();

    SOCKET m_hSocket = INVALID_SOCKET;
    WSAEVENT m_hNetEvent = WSA_INVALID_EVENT;
    WSAEVENT m_hUserEvent = WSA_INVALID_EVENT;
    int m_nStatus = STATUS_COMPLETE;
    std::vector<BYTE> m_sendBuffer;
    int m_nSent = 0;
    // One byte more than the largest reply, so a full buffer can still be read as text.
    BYTE m_receiveBuffer[kReceiveSize + 1] = {};
    int m_nReceived = 0;
    BOOL m_bStarted = FALSE;
    BOOL m_bConnected = FALSE;
    // The non-blocking connect is confirmed by the first write event; nothing is sent before.
    BOOL m_bWritable = FALSE;
    BOOL m_bRunning = FALSE;
};

// The probe's request and the length a reply announces, for tests and for the service's side.
std::vector<BYTE> MakeProbePacket(BYTE command, int payloadLength, const void* payload);
