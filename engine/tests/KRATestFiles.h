// Writers of small engine files for the tests, fuzz seeds and benchmarks: the same layouts the
// engine reads, written field by field.
#pragma once

#include "KRAObjectFormat.h"

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace kratest {

class Bytes {
public:
    Bytes& U8(uint8_t v)
    {
        m_v.push_back(v);
        return *this;
    }
    Bytes& U16(uint16_t v)
    {
        U8(uint8_t(v));
        return U8(uint8_t(v >> 8));
    }
    Bytes& U32(uint32_t v)
    {
        U16(uint16_t(v));
        return U16(uint16_t(v >> 16));
    }
    Bytes& F32(float f)
    {
        uint32_t u;
        std::memcpy(&u, &f, 4);
        return U32(u);
    }
    Bytes& Name(const std::string& s, size_t field)
    {
        for (size_t i = 0; i < field; ++i)
            U8(i < s.size() ? uint8_t(s[i]) : 0);
        return *this;
    }
    Bytes& Raw(const std::vector<uint8_t>& v)
    {
        m_v.insert(m_v.end(), v.begin(), v.end());
        return *this;
    }
    std::vector<uint8_t>& Data() { return m_v; }

private:
    std::vector<uint8_t> m_v;
};

inline void Identity(float* m)
{
    for (int i = 0; i < 16; ++i)
        m[i] = (i % 5 == 0) ? 1.f : 0.f;
}

struct Mesh {
    uint16_t wKind = 0;
    uint16_t wTexFlags = 0;
    float afMatrix[16];
    bool bFirst = false;
    std::string strFirst;
    bool bSecond = false;
    std::string strSecond;
    KRA_VERTEX_ARRAY vVertices;
    uint32_t dwKeyStart = 0, dwKeyEnd = 0, dwKeyCount = 0;
    std::vector<float> vPos, vRot, vScale;
    Mesh() { Identity(afMatrix); }
};

inline KRA_OBJECT_VERTEX Vertex(float x, float y, float z, float u = 0, float v = 0, uint32_t diffuse = 0xFFFFFFFF)
{
    return KRA_OBJECT_VERTEX{x, y, z, 0, 0, -1, diffuse, u, v, u, v};
}

// A square of side 2h in the plane z = zPlane, centred on (cx, cy), facing the viewer at -z:
// counter-clockwise as seen from there.
inline KRA_VERTEX_ARRAY Quad(float cx, float cy, float h, float zPlane, uint32_t diffuse = 0xFFFFFFFF)
{
    KRA_OBJECT_VERTEX a = Vertex(cx - h, cy - h, zPlane, 0, 1, diffuse);
    KRA_OBJECT_VERTEX b = Vertex(cx + h, cy - h, zPlane, 1, 1, diffuse);
    KRA_OBJECT_VERTEX c = Vertex(cx + h, cy + h, zPlane, 1, 0, diffuse);
    KRA_OBJECT_VERTEX d = Vertex(cx - h, cy + h, zPlane, 0, 0, diffuse);
    // Seen from -z with x to the right and y up, a -> b -> c runs counter-clockwise: the front
    // faces that the host's clockwise culling keeps.
    return {a, b, c, a, c, d};
}

inline std::vector<uint8_t> KRO(uint32_t dwCode, const std::vector<Mesh>& meshes)
{
    Bytes b;
    b.U32(0).U32(dwCode).U32(uint32_t(meshes.size()));
    for (const Mesh& m : meshes) {
        b.U16(m.wKind).U16(m.wTexFlags).U32(uint32_t(m.vVertices.size()));
        for (float f : m.afMatrix)
            b.F32(f);
        b.Name("", 32).U32(m.bFirst ? 1 : 0).U32(0).Name(m.strFirst, 112);
        b.U32(m.bSecond ? 1 : 0).U32(0).Name(m.strSecond, 112);
        for (const KRA_OBJECT_VERTEX& v : m.vVertices) {
            b.F32(v.x).F32(v.y).F32(v.z).F32(v.nx).F32(v.ny).F32(v.nz).U32(v.dwDiffuse);
            b.F32(v.u0).F32(v.v0).F32(v.u1).F32(v.v1);
        }
        if (m.wKind & KRA_MESH_ANIMATED) {
            b.U32(m.dwKeyStart).U32(m.dwKeyEnd).U32(0).U32(m.dwKeyCount);
            if (m.wTexFlags & KRA_TEX_POSITION_KEYS)
                for (float f : m.vPos)
                    b.F32(f);
            if (m.wTexFlags & KRA_TEX_ROTATION_KEYS)
                for (float f : m.vRot)
                    b.F32(f);
            if (m.wTexFlags & KRA_TEX_SCALE_KEYS)
                for (float f : m.vScale)
                    b.F32(f);
        }
    }
    return b.Data();
}

inline std::vector<uint8_t> KRT(const std::vector<uint8_t>& image)
{
    Bytes b;
    b.U32(0).U32(uint32_t(image.size())).Raw(image);
    return b.Data();
}

inline std::vector<uint8_t> GridMap(uint32_t cell, uint32_t w, uint32_t h, float ox, float oz,
                                    const std::vector<uint8_t>& cells)
{
    Bytes b;
    b.U32(cell).U32(w).U32(h).F32(ox).F32(oz).Raw(cells);
    return b.Data();
}

// A 24-bit bottom-up BMP; pixels are 0xRRGGBB, row 0 at the top.
inline std::vector<uint8_t> BMP(int w, int h, const std::vector<uint32_t>& pixels)
{
    int stride = (w * 3 + 3) & ~3;
    Bytes b;
    b.U8('B').U8('M').U32(uint32_t(54 + stride * h)).U32(0).U32(54);
    b.U32(40)
        .U32(uint32_t(w))
        .U32(uint32_t(h))
        .U16(1)
        .U16(24)
        .U32(0)
        .U32(uint32_t(stride * h))
        .U32(2835)
        .U32(2835)
        .U32(0)
        .U32(0);
    for (int y = h - 1; y >= 0; --y) {
        int n = 0;
        for (int x = 0; x < w; ++x, n += 3) {
            uint32_t p = pixels[size_t(y * w + x)];
            b.U8(uint8_t(p)).U8(uint8_t(p >> 8)).U8(uint8_t(p >> 16));
        }
        for (; n < stride; ++n)
            b.U8(0);
    }
    return b.Data();
}

// A 32-bit uncompressed TGA with its alpha, top row first; pixels are 0xAARRGGBB.
inline std::vector<uint8_t> TGA(int w, int h, const std::vector<uint32_t>& pixels)
{
    Bytes b;
    b.U8(0).U8(0).U8(2).U16(0).U16(0).U8(0).U16(0).U16(0).U16(uint16_t(w)).U16(uint16_t(h)).U8(32).U8(0x28);
    for (uint32_t p : pixels)
        b.U32(p);
    return b.Data();
}

inline std::vector<uint8_t> SolidBMP(int w, int h, uint32_t rgb)
{
    return BMP(w, h, std::vector<uint32_t>(size_t(w * h), rgb));
}

inline void Write(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline void WriteText(const std::filesystem::path& path, const std::string& text)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out << text;
}

} // namespace kratest
