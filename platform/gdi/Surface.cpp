#include "Surface.h"

#include <algorithm>
#include <cstring>

namespace yonda::gdi {

Surface::Surface(int width, int height, Format format)
    : m_width(std::max(width, 0)), m_height(std::max(height, 0)), m_stride(std::max(width, 0)), m_format(format)
{
    m_storage.assign(static_cast<size_t>(m_width) * static_cast<size_t>(m_height),
                     format == Format::Color32 ? 0xFF000000u : 0u);
    m_first = m_storage.data();
}

Surface::Surface(uint32_t* firstRow, int width, int height, ptrdiff_t stridePixels, Format format)
    : m_first(firstRow), m_width(std::max(width, 0)), m_height(std::max(height, 0)), m_stride(stridePixels),
      m_format(format)
{}

void Surface::Fill(uint32_t pixel)
{
    for (int y = 0; y < m_height; ++y)
        std::fill_n(Row(y), m_width, pixel);
}

bool Surface::Resize(int width, int height)
{
    if (m_storage.empty() && m_width * m_height != 0)
        return false; // borrowed pixels cannot grow
    width = std::max(width, 0);
    height = std::max(height, 0);
    std::vector<uint32_t> next(static_cast<size_t>(width) * static_cast<size_t>(height),
                               m_format == Format::Color32 ? 0xFF000000u : 0u);
    int keepW = std::min(width, m_width);
    int keepH = std::min(height, m_height);
    for (int y = 0; y < keepH; ++y)
        std::memcpy(next.data() + static_cast<size_t>(y) * width, Row(y), static_cast<size_t>(keepW) * 4);
    m_storage.swap(next);
    m_first = m_storage.data();
    m_width = width;
    m_height = height;
    m_stride = width;
    return true;
}

} // namespace yonda::gdi
