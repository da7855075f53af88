#include "FileReaders.h"

#include <cmath>
#include <stdexcept>

namespace world::check {

namespace {

std::array<float, 16> ReadMatrix(ByteReader& r)
{
    std::array<float, 16> m{};
    for (float& f : m)
        f = r.F32();
    return m;
}

void ExpectEnd(const ByteReader& r)
{
    if (!r.AtEnd())
        throw std::runtime_error("bytes left after the last record: " + std::to_string(r.Remaining()));
}

} // namespace

Mat4 MatrixOf(const std::array<float, 16>& a)
{
    Mat4 m;
    for (int i = 0; i < 16; ++i)
        m.m[i / 4][i % 4] = a[i];
    return m;
}

KroFile ReadKro(const Bytes& bytes)
{
    ByteReader r(bytes);
    KroFile f;
    f.headerA = r.U32();
    f.code = r.U32();
    std::uint32_t count = r.U32();
    for (std::uint32_t i = 0; i < count; ++i) {
        KroMesh m;
        std::size_t headStart = r.Offset();
        m.kindFlags = r.U16();
        m.textureFlags = r.U16();
        std::uint32_t v = r.U32();
        m.matrix = ReadMatrix(r);
        if (r.Offset() - headStart != 72)
            throw std::logic_error("mesh head is not 72 bytes");
        std::size_t materialStart = r.Offset();
        r.Skip(32);
        m.hasFirst = r.U32();
        r.Skip(4);
        m.first = r.FixedText(112);
        m.hasSecond = r.U32();
        r.Skip(4);
        m.second = r.FixedText(112);
        if (r.Offset() - materialStart != 272)
            throw std::logic_error("material is not 272 bytes");
        for (std::uint32_t k = 0; k < v; ++k) {
            KroVertex x;
            x.position = r.Vector();
            x.normal = r.Vector();
            x.diffuse = r.U32();
            x.u0 = r.F32();
            x.v0 = r.F32();
            x.u1 = r.F32();
            x.v1 = r.F32();
            m.vertices.push_back(x);
        }
        if (m.kindFlags & 2) {
            m.start = r.U32();
            m.end = r.U32();
            r.U32();
            m.keyCount = r.U32();
            if (m.textureFlags & 1)
                for (std::uint32_t k = 0; k < m.keyCount; ++k)
                    m.positions.push_back(r.Vector());
            if (m.textureFlags & 4)
                for (std::uint32_t k = 0; k < m.keyCount; ++k)
                    m.rotations.push_back({r.F32(), r.F32(), r.F32(), r.F32()});
            if (m.textureFlags & 8)
                for (std::uint32_t k = 0; k < m.keyCount; ++k)
                    m.scales.push_back(r.Vector());
        }
        f.meshes.push_back(m);
    }
    ExpectEnd(r);
    return f;
}

KrsFile ReadKrs(const Bytes& bytes)
{
    ByteReader r(bytes);
    KrsFile f;
    f.header = r.U32();
    std::uint32_t paths = r.U32();
    std::uint32_t objects = r.U32();
    for (std::uint32_t i = 0; i < paths; ++i) {
        KrsPath p;
        p.id = r.I32();
        std::uint32_t points = r.U32();
        for (std::uint32_t k = 0; k < points; ++k) {
            std::array<float, 12> point{};
            for (float& x : point)
                x = r.F32();
            p.points.push_back(point);
        }
        f.paths.push_back(p);
    }
    for (std::uint32_t i = 0; i < objects; ++i) {
        KrsObject o;
        std::size_t start = r.Offset();
        o.file = r.FixedText(32);
        o.kind = r.I32();
        o.min = r.Vector();
        o.max = r.Vector();
        o.matrix = ReadMatrix(r);
        if (r.Offset() - start != 124)
            throw std::logic_error("descriptor is not 124 bytes");
        o.eventFlag = r.U8();
        r.Skip(3);
        std::uint32_t boxes = r.U32();
        std::uint32_t triggers = r.U32();
        for (std::uint32_t k = 0; k < triggers; ++k) {
            KrsTrigger t;
            t.type = r.I32();
            t.kind = r.I32();
            t.unused = r.I32();
            t.centre = r.Vector();
            t.radius = r.F32();
            o.triggers.push_back(t);
        }
        for (std::uint32_t k = 0; k < boxes; ++k) {
            KrsBox b;
            b.type = r.I32();
            b.action = r.I32();
            b.value = r.I32();
            b.matrix = ReadMatrix(r);
            b.min = r.Vector();
            b.max = r.Vector();
            o.boxes.push_back(b);
        }
        f.objects.push_back(o);
    }
    ExpectEnd(r);
    return f;
}

bool GridFile::Blocked(float x, float z) const
{
    long ix = static_cast<long>((x - originX) / static_cast<float>(cellSize));
    long iz = static_cast<long>((z - originZ) / static_cast<float>(cellSize));
    if (ix < 0 || iz < 0 || ix >= static_cast<long>(width) || iz >= static_cast<long>(height))
        return false;
    return cells[static_cast<std::size_t>(ix + iz * static_cast<long>(width))] & 1;
}

GridFile ReadGrid(const Bytes& bytes)
{
    ByteReader r(bytes);
    GridFile g;
    g.cellSize = r.U32();
    g.width = r.U32();
    g.height = r.U32();
    g.originX = r.F32();
    g.originZ = r.F32();
    Bytes cells = r.Raw(static_cast<std::size_t>(g.width) * g.height);
    g.cells.assign(cells.begin(), cells.end());
    ExpectEnd(r);
    return g;
}

KriFile ReadKri(const Bytes& bytes, std::uint32_t kind)
{
    ByteReader r(bytes);
    KriFile f;
    f.h1 = r.U32();
    f.h2 = r.U32();
    f.code = r.U32();
    std::uint32_t materials = r.U32();
    for (std::uint32_t i = 0; i < materials; ++i) {
        r.U32();
        r.Skip(48);
        std::int32_t count = r.I32();
        r.Skip(4);
        std::vector<KriFile::Texture> textures;
        for (std::int32_t t = 0; t < count; ++t) {
            KriFile::Texture texture;
            texture.name = r.FixedText(48);
            // FixedText consumed the whole 48-byte name field; the flag follows.
            texture.alpha = r.U8();
            r.Skip(3);
            textures.push_back(texture);
        }
        f.materials.push_back(textures);
    }
    std::uint32_t meshes = r.U32();
    for (std::uint32_t i = 0; i < meshes; ++i) {
        KriMesh m;
        m.name = r.CountedText();
        m.material = r.U32();
        m.hasUv = r.U8();
        std::uint32_t v = r.U32();
        for (std::uint32_t k = 0; k < v; ++k)
            m.positions.push_back(r.Vector());
        std::uint32_t faces = r.U32();
        for (std::uint32_t k = 0; k < faces; ++k)
            m.faces.push_back({r.U16(), r.U16(), r.U16()});
        if (m.hasUv) {
            r.U32();
            for (std::uint32_t k = 0; k < v; ++k)
                m.uvs.push_back({r.F32(), r.F32()});
        }
        if (kind == 0x20806) {
            m.heldWord = r.U32();
        } else if (kind >= 0x20802 && kind <= 0x20805 && m.name != "shadow") {
            std::uint32_t bones = r.U32();
            for (std::uint32_t b = 0; b < bones; ++b) {
                KriBinding binding;
                binding.bone = r.U32();
                std::uint32_t n = r.U32();
                for (std::uint32_t k = 0; k < n; ++k)
                    binding.vertices.push_back(r.U32());
                for (std::uint32_t k = 0; k < n; ++k)
                    binding.weights.push_back(r.F32());
                m.bindings.push_back(binding);
            }
        }
        f.meshes.push_back(m);
    }
    if (kind == 0x20801) {
        std::uint32_t targets = r.U32();
        for (std::uint32_t t = 0; t < targets; ++t) {
            KriTarget target;
            std::uint32_t k = r.U32();
            for (std::uint32_t i = 0; i < k; ++i)
                target.vertices.push_back(r.U32());
            for (std::uint32_t i = 0; i < k; ++i)
                target.offsets.push_back(r.Vector());
            f.faceSet.push_back(target);
        }
    }
    ExpectEnd(r);
    return f;
}

KraFile ReadKra(const Bytes& bytes)
{
    ByteReader r(bytes);
    KraFile f;
    f.h1 = r.U32();
    f.h2 = r.U32();
    f.key = r.U32();
    std::int32_t count = r.I32();
    for (std::int32_t i = 0; i < count; ++i) {
        std::uint32_t kind = r.U32();
        f.items.push_back({kind, r.CountedText()});
    }
    ExpectEnd(r);
    return f;
}

MotionFileData ReadMotionFile(const Bytes& bytes)
{
    ByteReader r(bytes);
    MotionFileData m;
    Bytes unused = r.Raw(68);
    for (std::uint8_t b : unused)
        if (b != 0)
            throw std::runtime_error("unused header bytes are not zero");
    m.keys = r.U32();
    r.U32();
    m.tracks = r.U32();
    r.U32();
    m.duration = r.U32();
    for (std::uint32_t t = 0; t < m.tracks; ++t) {
        MotionTrack track;
        track.bone = r.U32();
        r.U32();
        for (std::uint32_t k = 0; k < m.keys; ++k)
            track.positions.push_back(r.Vector());
        for (std::uint32_t k = 0; k < m.keys; ++k)
            track.angles.push_back(r.Vector());
        m.data.push_back(track);
    }
    ExpectEnd(r);
    return m;
}

Bytes ReadKrt(const Bytes& bytes)
{
    ByteReader r(bytes);
    r.U32();
    std::uint32_t length = r.U32();
    Bytes image = r.Raw(length);
    ExpectEnd(r);
    return image;
}

} // namespace world::check
