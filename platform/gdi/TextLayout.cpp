#include "TextLayout.h"

#include <yonda_platform.h>
#include <winnls.h>

#include <algorithm>
#include <array>
#include <unordered_map>

namespace yonda::text {

namespace {

// Decoded characters of one code page, remembered per thread so layout takes no lock.
struct DecodeCache {
    UINT codePage = 0;
    std::array<char32_t, 256> single{};
    std::array<bool, 256> singleKnown{};
    std::array<bool, 256> lead{};
    std::unordered_map<uint16_t, char32_t> pairs;

    explicit DecodeCache(UINT cp) : codePage(cp)
    {
        for (int b = 0; b < 256; ++b)
            lead[b] = IsDBCSLeadByteEx(cp, static_cast<BYTE>(b)) != FALSE;
    }

    char32_t Decode(const char* bytes, size_t length)
    {
        std::u32string text = YondaDecodeText(bytes, length, codePage);
        return text.empty() ? U'?' : text.front();
    }
    char32_t One(unsigned char b)
    {
        if (!singleKnown[b]) {
            char c = static_cast<char>(b);
            single[b] = b < 0x80 ? static_cast<char32_t>(b) : Decode(&c, 1);
            singleKnown[b] = true;
        }
        return single[b];
    }
    char32_t Two(unsigned char leadByte, unsigned char trail)
    {
        uint16_t key = static_cast<uint16_t>((leadByte << 8) | trail);
        auto it = pairs.find(key);
        if (it != pairs.end())
            return it->second;
        char pair[2] = {static_cast<char>(leadByte), static_cast<char>(trail)};
        char32_t c = Decode(pair, 2);
        pairs.emplace(key, c);
        return c;
    }
};

DecodeCache& CacheFor(UINT codePage)
{
    thread_local std::vector<std::unique_ptr<DecodeCache>> caches;
    for (auto& c : caches)
        if (c->codePage == codePage)
            return *c;
    caches.push_back(std::make_unique<DecodeCache>(codePage));
    return *caches.back();
}

bool IsSpace(char32_t c)
{
    return c == U' ' || c == U'\t';
}

// A character of the text being laid out, after '&' prefixes were taken out.
struct Item {
    Character ch;
    bool underlined = false;
};

int AdvanceOf(const FontFace& font, const Item& item, int x, const LayoutParams& params, const TabStops& tabs)
{
    if (item.ch.code == U'\t' && params.expandTabs)
        return tabs.Next(x) - x;
    return font.Advance(item.ch.code);
}

} // namespace

std::vector<Character> SplitCharacters(std::string_view bytes, UINT codePage)
{
    DecodeCache& cache = CacheFor(codePage == 0 ? GetACP() : codePage);
    std::vector<Character> out;
    out.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t n = bytes.size();
    for (size_t i = 0; i < n;) {
        Character c;
        c.offset = static_cast<uint32_t>(i);
        // A lead byte with a following byte is one character, as the platform steps over it;
        // a lead byte at the very end stands alone.
        if (cache.lead[p[i]] && i + 1 < n && p[i + 1] != 0) {
            c.length = 2;
            c.code = cache.Two(p[i], p[i + 1]);
        } else {
            c.length = 1;
            c.code = cache.One(p[i]);
        }
        out.push_back(c);
        i += c.length;
    }
    return out;
}

int TabStops::Next(int x) const
{
    int rel = x + origin;
    for (int stop : positions)
        if (stop > rel)
            return stop - origin;
    int step = interval > 0 ? interval : 1;
    int base = positions.empty() ? 0 : std::max(0, positions.back());
    if (rel < base)
        return base - origin;
    return base + ((rel - base) / step + 1) * step - origin;
}

int MeasureCharacters(const FontFace& font, std::span<const Character> characters)
{
    int width = 0;
    for (const Character& c : characters)
        width += font.Advance(c.code);
    return width;
}

namespace {

class Layouter {
public:
    Layouter(const FontFace& font, const LayoutParams& params) : m_font(font), m_params(params)
    {
        m_tabs = params.tabs;
        if (m_tabs.interval <= 0) {
            int count = (params.format & DT_TABSTOP) ? static_cast<int>((params.format >> 8) & 0xFF) : 8;
            m_tabs.interval = std::max(1, (count > 0 ? count : 8) * font.AveCharWidth());
        }
        m_width = std::max<LONG>(0, params.rect.right - params.rect.left);
    }

    std::vector<Item> Items(std::string_view bytes) const
    {
        std::vector<Character> chars = SplitCharacters(bytes, m_font.CodePage());
        std::vector<Item> out;
        out.reserve(chars.size());
        bool prefixes = !(m_params.format & DT_NOPREFIX);
        for (size_t i = 0; i < chars.size(); ++i) {
            if (prefixes && chars[i].code == U'&') {
                if (i + 1 >= chars.size())
                    break; // a lone '&' at the end shows nothing
                ++i;       // "&&" is one '&'; "&x" underlines x
                out.push_back(Item{chars[i], chars[i].code != U'&' && !(m_params.format & DT_HIDEPREFIX)});
                continue;
            }
            out.push_back(Item{chars[i], false});
        }
        return out;
    }

    // One line of items [from, to) placed from x = 0; trailing spaces at a wrap do not count.
    LayoutLine Place(const std::vector<Item>& all, size_t from, size_t to, bool trimTrailing) const
    {
        LayoutLine line;
        int x = 0;
        size_t visibleEnd = to;
        if (trimTrailing)
            while (visibleEnd > from && IsSpace(all[visibleEnd - 1].ch.code))
                --visibleEnd;
        for (size_t i = from; i < visibleEnd; ++i) {
            int advance = AdvanceOf(m_font, all[i], x, m_params, m_tabs);
            line.glyphs.push_back(PlacedGlyph{all[i].ch.code, x});
            if (all[i].underlined)
                line.underlines.emplace_back(x, x + advance);
            x += advance;
        }
        line.width = x;
        line.firstByte = from < all.size() ? all[from].ch.offset : EndByte(all);
        line.endByte =
            visibleEnd > from ? all[visibleEnd - 1].ch.offset + all[visibleEnd - 1].ch.length : line.firstByte;
        return line;
    }

    // A break may fall before item p: at a space, after a space, or beside a double-byte
    // character (Korean and Japanese text breaks between characters).
    static bool CanBreakBefore(const std::vector<Item>& all, size_t p)
    {
        const Character& prev = all[p - 1].ch;
        const Character& next = all[p].ch;
        return IsSpace(next.code) || IsSpace(prev.code) || prev.length == 2 || next.length == 2;
    }

    // Splits a paragraph [from, to) into lines no wider than the rectangle where possible.
    void Wrap(const std::vector<Item>& all, size_t from, size_t to, std::vector<LayoutLine>& out) const
    {
        size_t start = from;
        while (true) {
            int x = 0;
            size_t lastBreak = 0;
            size_t overflow = to;
            for (size_t i = start; i < to; ++i) {
                if (i > start && CanBreakBefore(all, i))
                    lastBreak = i;
                int next = x + AdvanceOf(m_font, all[i], x, m_params, m_tabs);
                if (next > m_width && !IsSpace(all[i].ch.code)) {
                    overflow = i;
                    break;
                }
                x = next;
            }
            if (overflow == to) {
                out.push_back(Place(all, start, to, false));
                return;
            }
            size_t end;
            if (lastBreak > start) {
                end = lastBreak;
            } else if (m_params.format & DT_EDITCONTROL) {
                end = std::max(overflow, start + 1); // a word wider than the line is cut
            } else {
                // A word wider than the line stays whole and runs past the edge.
                end = overflow + 1;
                while (end < to && !CanBreakBefore(all, end))
                    ++end;
            }
            out.push_back(Place(all, start, end, true));
            start = end;
            while (start < to && IsSpace(all[start].ch.code))
                ++start;
            if (start >= to)
                return;
        }
    }

    // Cuts the line's end so that it and "..." fit the rectangle, whole characters only.
    void AddEllipsis(LayoutLine& line, const std::vector<Item>& all) const
    {
        int dot = m_font.Advance(U'.');
        int ellipsisWidth = dot * 3;
        size_t keep = line.glyphs.size();
        int width = line.width;
        auto widthBefore = [&](size_t n) { return n < line.glyphs.size() ? line.glyphs[n].x : line.width; };
        while (keep > 0 && widthBefore(keep) + ellipsisWidth > m_width)
            --keep;
        width = widthBefore(keep);
        // Map the kept glyphs back to bytes: glyph n is the n-th shown character of the line.
        uint32_t endByte = line.firstByte;
        size_t seen = 0;
        for (const Item& item : all) {
            if (item.ch.offset < line.firstByte || item.ch.offset >= line.endByte)
                continue;
            if (seen == keep)
                break;
            endByte = item.ch.offset + item.ch.length;
            ++seen;
        }
        line.glyphs.resize(keep);
        std::erase_if(line.underlines, [&](const std::pair<int, int>& u) { return u.second > width; });
        for (int i = 0; i < 3; ++i)
            line.glyphs.push_back(PlacedGlyph{U'.', width + i * dot});
        line.width = width + ellipsisWidth;
        line.endByte = endByte;
        line.ellipsis = true;
    }

    TextLayout Run(std::string_view bytes) const
    {
        TextLayout layout;
        UINT format = m_params.format;
        layout.lineHeight = m_font.Height();
        std::vector<Item> all = Items(bytes);
        const bool single = format & DT_SINGLELINE;
        // Paragraphs end at CR LF, LF or CR unless the text is one line.
        size_t start = 0;
        for (size_t i = 0; i <= all.size(); ++i) {
            bool end = i == all.size();
            char32_t c = end ? 0 : all[i].ch.code;
            if (!end && (single || (c != U'\r' && c != U'\n')))
                continue;
            if (format & DT_WORDBREAK && !single)
                Wrap(all, start, i, layout.lines);
            else
                layout.lines.push_back(Place(all, start, i, false));
            if (end)
                break;
            if (c == U'\r' && i + 1 < all.size() && all[i + 1].ch.code == U'\n')
                ++i;
            start = i + 1;
        }
        if (all.empty())
            layout.lines.clear();
        if ((format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS)) && !layout.lines.empty()) {
            // Only the end of the text gets the ellipsis; other long words are clipped.
            LayoutLine& last = layout.lines.back();
            if (last.width > m_width)
                AddEllipsis(last, all);
        }

        const RECT& r = m_params.rect;
        int total = static_cast<int>(layout.lines.size()) * layout.lineHeight;
        int top = 0;
        if (single && (format & DT_VCENTER))
            top = (r.bottom - r.top - layout.lineHeight) / 2;
        else if (single && (format & DT_BOTTOM))
            top = r.bottom - r.top - layout.lineHeight;
        for (size_t i = 0; i < layout.lines.size(); ++i) {
            LayoutLine& line = layout.lines[i];
            line.top = top + static_cast<int>(i) * layout.lineHeight;
            if (format & DT_CENTER)
                line.left = (m_width - line.width) / 2;
            else if (format & DT_RIGHT)
                line.left = m_width - line.width;
            for (PlacedGlyph& g : line.glyphs)
                g.x += line.left;
            for (auto& u : line.underlines) {
                u.first += line.left;
                u.second += line.left;
            }
            layout.width = std::max(layout.width, line.width);
        }
        // Like a multi-line edit control, a last line that would show only in part is left out.
        if ((format & DT_EDITCONTROL) && !(format & DT_CALCRECT) && !single) {
            int visible = static_cast<int>(r.bottom - r.top);
            while (layout.lines.size() > 1 && layout.lines.back().top + layout.lineHeight > visible)
                layout.lines.pop_back();
        }
        // A text without characters is one empty line: nothing to draw, a line's height answered,
        // and a rectangle of no width that keeps the line's height only on a single line.
        int height = total;
        if (all.empty()) {
            total = layout.lineHeight;
            height = single ? layout.lineHeight : 0;
        }
        layout.result = (single && (format & (DT_VCENTER | DT_BOTTOM))) ? top + layout.lineHeight : total;
        layout.bounds = RECT{r.left, r.top, r.left + layout.width, r.top + height};
        return layout;
    }

private:
    static uint32_t EndByte(const std::vector<Item>& all)
    {
        return all.empty() ? 0 : all.back().ch.offset + all.back().ch.length;
    }

    const FontFace& m_font;
    const LayoutParams& m_params;
    TabStops m_tabs;
    int m_width = 0;
};

} // namespace

TextLayout LayoutText(const FontFace& font, std::string_view bytes, const LayoutParams& params)
{
    return Layouter(font, params).Run(bytes);
}

} // namespace yonda::text
