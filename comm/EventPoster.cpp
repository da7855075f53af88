#include "EventPoster.h"

#include <afxcoll.h>
#include <cstring>

#include "YondaCommRecords.h"
#include "protocol/Layouts.h"

namespace yonda::comm {

namespace {

// Events kept while no window is there; beyond that the oldest go, so memory stays bounded.
constexpr size_t kWaitingLimit = 10000;

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

} // namespace

EventPoster::~EventPoster()
{
    std::lock_guard lock(m_lock);
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

void EventPoster::deliver(const Pending& pending)
{
    if (!PostMessageA(m_window, pending.message, pending.wParam, pending.lParam))
        YondaFreeEventBlock(pending.message, pending.wParam, pending.lParam);
}

void EventPoster::setWindow(HWND window)
{
    std::lock_guard lock(m_lock);
    m_window = window;
    if (!window)
        return;
    while (!m_waiting.empty()) {
        deliver(m_waiting.front());
        m_waiting.pop_front();
    }
}

void EventPoster::post(proto::DecodedEvent&& event)
{
    Pending pending{event.message ? static_cast<UINT>(UM_COMM_MESSAGE) : static_cast<UINT>(UM_COMM_EVENT), event.type, makeBlock(event)};
    std::lock_guard lock(m_lock);
    if (m_window) {
        deliver(pending);
        return;
    }
    if (m_waiting.size() >= kWaitingLimit) {
        YondaFreeEventBlock(m_waiting.front().message, m_waiting.front().wParam, m_waiting.front().lParam);
        m_waiting.pop_front();
    }
    m_waiting.push_back(pending);
}

void EventPoster::postLoss()
{
    Pending pending{UM_SOCKET_CLOSED, 0, 0};
    std::lock_guard lock(m_lock);
    if (m_window)
        deliver(pending);
    else
        m_waiting.push_back(pending);
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
