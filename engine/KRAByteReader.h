// A cursor over bytes that are really there: every read is checked against the end, little-endian,
// field by field. Once a read fails the reader stays failed, so a parser may check once per record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

class CKRAByteReader {
public:
    CKRAByteReader(const uint8_t* pData, size_t nSize) : m_pData(pData), m_nSize(pData ? nSize : 0) {}

    bool Ok() const { return m_bOk; }
    size_t Position() const { return m_nPos; }
    size_t Remaining() const { return m_bOk ? m_nSize - m_nPos : 0; }
    // Whether count records of size bytes each are still there (no overflow on hostile counts).
    bool Has(uint64_t count, uint64_t size) const { return m_bOk && (size == 0 || count <= Remaining() / size); }

    uint32_t U32()
    {
        uint8_t b[4] = {};
        Bytes(b, 4);
        return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    }
    int32_t I32() { return static_cast<int32_t>(U32()); }
    uint16_t U16()
    {
        uint8_t b[2] = {};
        Bytes(b, 2);
        return uint16_t(b[0] | b[1] << 8);
    }
    uint8_t U8()
    {
        uint8_t b = 0;
        Bytes(&b, 1);
        return b;
    }
    float F32()
    {
        uint32_t u = U32();
        float f;
        std::memcpy(&f, &u, 4);
        return f;
    }
    void F32s(float* pOut, size_t nCount)
    {
        for (size_t i = 0; i < nCount; ++i)
            pOut[i] = F32();
    }
    // A fixed-size name field: the text up to its first zero, or the whole field when it has none.
    std::string Name(size_t nField)
    {
        std::string str;
        if (!Need(nField))
            return str;
        const char* p = reinterpret_cast<const char*>(m_pData + m_nPos);
        str.assign(p, strnlen(p, nField));
        m_nPos += nField;
        return str;
    }
    bool Bytes(void* pOut, size_t n)
    {
        if (n == 0)
            return m_bOk;
        if (!Need(n)) {
            std::memset(pOut, 0, n);
            return false;
        }
        std::memcpy(pOut, m_pData + m_nPos, n);
        m_nPos += n;
        return true;
    }
    bool Skip(size_t n)
    {
        if (!Need(n))
            return false;
        m_nPos += n;
        return true;
    }
    const uint8_t* Here() const { return m_pData + m_nPos; }

private:
    bool Need(size_t n)
    {
        if (!m_bOk || n > m_nSize - m_nPos)
            m_bOk = false;
        return m_bOk;
    }

    const uint8_t* m_pData;
    size_t m_nSize;
    size_t m_nPos = 0;
    bool m_bOk = true;
};
