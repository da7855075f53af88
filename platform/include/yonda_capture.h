// Test helpers: capture every message box and every line of debugger output in order, for as
// long as the object lives. Boxes answer at once (IDOK unless told otherwise).
#pragma once

#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

class YondaMessageBoxCapture {
public:
    struct Box {
        HWND hWnd;
        std::string text;
        std::string caption;
        UINT type;
    };

    explicit YondaMessageBoxCapture(int answer = IDOK) : m_answer(answer)
    {
        YondaSetMessageBoxHook(&YondaMessageBoxCapture::OnBox, this);
    }
    ~YondaMessageBoxCapture() { YondaSetMessageBoxHook(nullptr, nullptr); }
    YondaMessageBoxCapture(const YondaMessageBoxCapture&) = delete;
    YondaMessageBoxCapture& operator=(const YondaMessageBoxCapture&) = delete;

    void SetAnswer(int answer)
    {
        std::lock_guard lock(m_mutex);
        m_answer = answer;
    }
    std::vector<Box> Boxes() const
    {
        std::lock_guard lock(m_mutex);
        return m_boxes;
    }
    std::vector<std::string> Texts() const
    {
        std::lock_guard lock(m_mutex);
        std::vector<std::string> texts;
        for (const Box& box : m_boxes)
            texts.push_back(box.text);
        return texts;
    }
    void Clear()
    {
        std::lock_guard lock(m_mutex);
        m_boxes.clear();
    }

private:
    static int OnBox(void* context, HWND hWnd, LPCSTR text, LPCSTR caption, UINT type)
    {
        auto* self = static_cast<YondaMessageBoxCapture*>(context);
        std::lock_guard lock(self->m_mutex);
        self->m_boxes.push_back({hWnd, text, caption, type});
        return self->m_answer;
    }

    mutable std::mutex m_mutex;
    int m_answer;
    std::vector<Box> m_boxes;
};

class YondaDebugOutputCapture {
public:
    YondaDebugOutputCapture() { YondaSetDebugOutputHook(&YondaDebugOutputCapture::OnOutput, this); }
    ~YondaDebugOutputCapture() { YondaSetDebugOutputHook(nullptr, nullptr); }
    YondaDebugOutputCapture(const YondaDebugOutputCapture&) = delete;
    YondaDebugOutputCapture& operator=(const YondaDebugOutputCapture&) = delete;

    // Every call's text, in order.
    std::vector<std::string> Calls() const
    {
        std::lock_guard lock(m_mutex);
        return m_calls;
    }
    // Everything written, joined.
    std::string Text() const
    {
        std::lock_guard lock(m_mutex);
        std::string text;
        for (const std::string& call : m_calls)
            text += call;
        return text;
    }
    void Clear()
    {
        std::lock_guard lock(m_mutex);
        m_calls.clear();
    }

private:
    static void OnOutput(void* context, LPCSTR text)
    {
        auto* self = static_cast<YondaDebugOutputCapture*>(context);
        std::lock_guard lock(self->m_mutex);
        self->m_calls.emplace_back(text);
    }

    mutable std::mutex m_mutex;
    std::vector<std::string> m_calls;
};
