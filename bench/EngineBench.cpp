// Engine speed goals: loading a 2 MB world object file of 50 meshes (within twice the time of
// reading the file from a warm cache), culling 10,000 boxes (under 0.2 ms), and ordering 200
// alpha objects of 10 meshes each for one frame (under 1 ms).
#include "KRAAlphaOrder.h"
#include "KRAFakeDevice.h"
#include "KRAFrustum.h"
#include "KRAManager.h"
#include "KRAObjectFile.h"
#include "KRAObjectManager.h"
#include "KRATestFiles.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <malloc.h>
#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <random>

using namespace kratest;

namespace {

void Silent(LONG, LONG, void*) {}

struct World {
    FakeDevice device;
    std::filesystem::path root;
    std::string data;
    World()
    {
        root = std::filesystem::temp_directory_path() / ("kravex-bench-" + std::to_string(getpid()));
        data = (root / "Data").string() + "/";
        CKRAManager* pManager = nullptr;
        KRACreate(&device, data.c_str(), &Silent, &pManager);
    }
    ~World()
    {
        KRADestroy();
        std::filesystem::remove_all(root);
    }
};

// 50 meshes of about 40 KB each: 2 MB.
std::vector<uint8_t> BigObjectFile()
{
    std::vector<Mesh> meshes(50);
    for (size_t i = 0; i < meshes.size(); ++i) {
        for (int q = 0; q < 155; ++q) {
            KRA_VERTEX_ARRAY quad = Quad(float(q), float(i), 0.5f, 0);
            meshes[i].vVertices.insert(meshes[i].vVertices.end(), quad.begin(), quad.end());
        }
    }
    return KRO(1, meshes);
}

void BM_ReadObjectFileBytes(benchmark::State& state)
{
    World world;
    std::filesystem::path path = world.root / "Data" / "WORLD" / "BIG.KRO";
    Write(path, BigObjectFile());
    std::vector<char> buffer;
    for (auto _ : state) {
        FILE* f = std::fopen(path.c_str(), "rb");
        std::fseek(f, 0, SEEK_END);
        buffer.resize(size_t(std::ftell(f)));
        std::fseek(f, 0, SEEK_SET);
        benchmark::DoNotOptimize(std::fread(buffer.data(), 1, buffer.size(), f));
        std::fclose(f);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(buffer.size()));
}
BENCHMARK(BM_ReadObjectFileBytes)->Unit(benchmark::kMillisecond);

void BM_LoadObjectFile(benchmark::State& state)
{
    // A running program keeps its heap; without this the C library hands the freed meshes back to
    // the system after every unload and the next load pays for fresh pages.
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
    mallopt(M_MMAP_THRESHOLD, 64 * 1024 * 1024);
    World world;
    std::vector<uint8_t> bytes = BigObjectFile();
    Write(world.root / "Data" / "WORLD" / "BIG.KRO", bytes);
    for (auto _ : state) {
        _KRA_HANDLE h = 0;
        if (CKRAManager::GetObjectManager()->LoadObjectFile("BIG.KRO", &h) != 0)
            state.SkipWithError("load failed");
        CKRAManager::GetObjectManager()->UnloadObjectFile(&h);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}
BENCHMARK(BM_LoadObjectFile)->Unit(benchmark::kMillisecond);

void BM_CullTenThousandBoxes(benchmark::State& state)
{
    D3DXMATRIX view, projection;
    D3DXVECTOR3 eye(0, 60, -80), at(0, 45, 0), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 4, 4.0f / 3.0f, 1.0f, 5000.0f);
    CKRAFrustum frustum;
    std::mt19937 random(7);
    std::uniform_real_distribution<float> where(-2000, 2000);
    std::vector<std::array<float, 6>> boxes(10000);
    for (auto& b : boxes) {
        float x = where(random), y = where(random) / 10, z = where(random);
        b = {x, y, z, x + 20, y + 20, z + 20};
    }
    for (auto _ : state) {
        frustum.Build(&view, &projection);
        int visible = 0;
        for (const auto& b : boxes)
            visible += frustum.IsBoxVisible(b[0], b[1], b[2], b[3], b[4], b[5]);
        benchmark::DoNotOptimize(visible);
    }
}
BENCHMARK(BM_CullTenThousandBoxes)->Unit(benchmark::kMicrosecond);

void BM_OrderTwoHundredAlphaObjects(benchmark::State& state)
{
    World world;
    std::vector<Mesh> meshes(10);
    for (size_t i = 0; i < meshes.size(); ++i) {
        meshes[i].wTexFlags = KRA_TEX_ALPHA;
        meshes[i].vVertices = Quad(float(i), 0, 1, float(i % 3));
        D3DXMATRIX t;
        D3DXMatrixTranslation(&t, float(i) * 3, 0, float(i % 4));
        std::memcpy(meshes[i].afMatrix, &t, sizeof(t));
    }
    Write(world.root / "Data" / "WORLD" / "GLASS.KRO", KRO(0, meshes));
    struct Placed {
        CKRAObjectFile* pFile;
        D3DXMATRIX world;
    };
    std::vector<Placed> objects;
    std::mt19937 random(3);
    std::uniform_real_distribution<float> where(-500, 500);
    for (int i = 0; i < 200; ++i) {
        _KRA_HANDLE h = 0;
        // Each object its own file, as distinct furniture would be.
        std::string name = "G" + std::to_string(i) + ".KRO";
        std::filesystem::copy_file(world.root / "Data" / "WORLD" / "GLASS.KRO", world.root / "Data" / "WORLD" / name);
        CKRAManager::GetObjectManager()->LoadObjectFile(name.c_str(), &h);
        Placed p{CKRAManager::GetObjectManager()->Find(h), {}};
        D3DXMatrixTranslation(&p.world, where(random), 0, where(random));
        objects.push_back(p);
    }
    D3DXVECTOR3 eye(0, 60, -80);
    std::vector<D3DXVECTOR3> positions;
    std::vector<size_t> order;
    for (auto _ : state) {
        positions.clear();
        for (const Placed& p : objects)
            positions.emplace_back(p.world._41, p.world._42, p.world._43);
        KRAOrderFarthestFirst(positions, eye, order);
        for (size_t i : order)
            objects[i].pFile->SortObject(&objects[i].world, &eye);
        benchmark::DoNotOptimize(order.data());
    }
}
BENCHMARK(BM_OrderTwoHundredAlphaObjects)->Unit(benchmark::kMicrosecond);

} // namespace
