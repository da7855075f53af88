// A memory DC with its own bitmap, for the GDI tests.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

struct MemDC {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;

    MemDC(int width, int height, bool mono = false)
    {
        dc = CreateCompatibleDC(nullptr);
        bitmap = mono ? CreateBitmap(width, height, 1, 1, nullptr) : CreateBitmap(width, height, 1, 32, nullptr);
        old = SelectObject(dc, bitmap);
    }
    ~MemDC()
    {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    MemDC(const MemDC&) = delete;
    MemDC& operator=(const MemDC&) = delete;

    void Fill(COLORREF color) const { Fill(RECT{0, 0, 10000, 10000}, color); }
    void Fill(RECT r, COLORREF color) const
    {
        HBRUSH brush = CreateSolidBrush(color);
        FillRect(dc, &r, brush);
        DeleteObject(brush);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }
};

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
