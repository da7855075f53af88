#include "EventPoster.h"

#include <afxcoll.h>
#include <chrono>
#include <cstring>
#include <unordered_map>

#include "YondaCommRecords.h"
#include "protocol/Layouts.h"

namespace yonda::comm {

namespace {

BYTE* copyBlock(const std::vector<uint8_t>& bytes)
{
    BYTE* block = new BYTE[bytes.size() ? bytes.size() : 1];
    if (!bytes.empty())
        std::memcpy(block, bytes.data(), bytes.size());
    return block;
}

bool isList(UINT message, WPARAM wParam)
{
    return message == UM_COMM_EVENT && proto::isListEvent(static_cast<uint8_t>(wParam & 0xFF));
}

bool isMove(uint8_t type)
{
    using namespace proto;
    return type == EvMoveStart || type == EvPlace || type == EvSit || type == EvStand;
}

int32_t userOf(const std::vector<uint8_t>& block)
{
    int32_t user = 0;
    if (block.size() >= sizeof user)
        std::memcpy(&user, block.data(), sizeof user);
    return user;
}

} // namespace

EventPoster::EventPoster(size_t backlogLimit) : m_limit(backlogLimit) {}

EventPoster::~EventPoster()
{
    {
        std::lock_guard lock(m_lock);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_retrier.joinable())
        m_retrier.join();
    for (const Pending& pending : m_waiting)
        YondaFreeEventBlock(pending.message, pending.wParam, pending.lParam);
}

LPARAM EventPoster::makeBlock(const proto::DecodedEvent& event)
{
    if (!event.message && proto::isListEvent(event.type)) {
        auto* list = new CPtrList;
        list->AddTail(copyBlock(event.block));
        for (const auto& item : event.items)
            list->AddTail(copyBlock(item));
        return reinterpret_cast<LPARAM>(list);
    }
    return reinterpret_cast<LPARAM>(copyBlock(event.block));
}

bool EventPoster::deliver(const Pending& pending)
{
    if (PostMessageA(m_window, pending.message, pending.wParam, pending.lParam))
        return true;
    if (GetLastError() == ERROR_NOT_ENOUGH_QUOTA)
        return false;
    YondaFreeEventBlock(pending.message, pending.wParam, pending.lParam); // the window is gone
    return true;
}

bool EventPoster::flush()
{
    while (m_window && !m_waiting.empty()) {
        if (!deliver(m_waiting.front()))
            return false;
        m_waiting.pop_front();
    }
    return true;
}

void EventPoster::setWindow(HWND window)
{
    std::lock_guard lock(m_lock);
    m_window = window;
    if (!flush())
        m_wake.notify_all();
}

void EventPoster::setOwnUser(int32_t user)
{
    std::lock_guard lock(m_lock);
    m_ownUser = user;
}

void EventPoster::post(proto::DecodedEvent&& event)
{
    Pending pending{event.message ? static_cast<UINT>(UM_COMM_MESSAGE) : static_cast<UINT>(UM_COMM_EVENT), event.type,
                    makeBlock(event)};
    if (!event.message && event.type == proto::EvChat) {
        std::lock_guard lock(m_lock);
        pending.keep = userOf(event.block) == m_ownUser ? Keep::Hold : Keep::Spare;
    } else if (!event.message && isMove(event.type)) {
        pending.keep = Keep::Coalesce;
        pending.user = userOf(event.block);
    }
    add(pending);
}

void EventPoster::postLoss()
{
    add({UM_SOCKET_CLOSED, 0, 0});
}

void EventPoster::add(Pending pending)
{
    std::lock_guard lock(m_lock);
    // In order: nothing overtakes what waits already.
    if (m_window && m_waiting.empty() && deliver(pending))
        return;
    m_waiting.push_back(pending);
    if (m_waiting.size() > m_limit)
        makeRoom();
    if (!m_window)
        return;
    if (!m_retrier.joinable())
        m_retrier = std::thread([this] { retry(); });
    m_wake.notify_all();
}

void EventPoster::makeRoom()
{
    auto drop = [this](std::deque<Pending>::iterator at) {
        YondaFreeEventBlock(at->message, at->wParam, at->lParam);
        m_waiting.erase(at);
    };
    // Another member's chat line, the oldest first.
    for (auto it = m_waiting.begin(); it != m_waiting.end(); ++it) {
        if (it->keep == Keep::Spare)
            return drop(it);
    }
    // A move of a member that moved again later: the later one says where it is.
    std::unordered_map<int32_t, int> moves;
    for (const Pending& pending : m_waiting) {
        if (pending.keep == Keep::Coalesce)
            ++moves[pending.user];
    }
    for (auto it = m_waiting.begin(); it != m_waiting.end(); ++it) {
        if (it->keep == Keep::Coalesce && moves[it->user] > 1)
            return drop(it);
    }
    // Beyond twice the limit memory counts more than order: the oldest event goes, but never
    // the loss of the connection.
    if (m_waiting.size() <= 2 * m_limit)
        return;
    for (auto it = m_waiting.begin(); it != m_waiting.end(); ++it) {
        if (it->message != UM_SOCKET_CLOSED)
            return drop(it);
    }
}

void EventPoster::retry()
{
    std::unique_lock lock(m_lock);
    while (!m_stopping) {
        if (m_window && !m_waiting.empty())
            m_wake.wait_for(lock, std::chrono::milliseconds(20));
        else
            m_wake.wait(lock);
        if (!m_stopping)
            flush();
    }
}

} // namespace yonda::comm

void YondaFreeEventBlock(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!lParam)
        return;
    if (yonda::comm::isList(message, wParam)) {
        auto* list = reinterpret_cast<CPtrList*>(lParam);
        POSITION position = list->GetHeadPosition();
        while (position)
            delete[] static_cast<BYTE*>(list->GetNext(position));
        delete list;
        return;
    }
    delete[] reinterpret_cast<BYTE*>(lParam);
}
