// Avatar speed goal: the engine's per-frame work for 30 dressed avatars of 7 items with 1,500
// vertices per item (315,000 skinned vertices), walking and playing motions: sampling, skinning,
// face set, blink and breast animation, and the upload into the device buffers. Goal: under 2 ms
// per frame. The device takes the buffers and draws nothing, so only the engine's work is timed.
#include "KRAAvatarManager.h"
#include "KRAAvatarTestFiles.h"
#include "KRAFakeDevice.h"
#include "KRAManager.h"

#include <benchmark/benchmark.h>
#include <windows.h>

#include <cmath>
#include <filesystem>
#include <unistd.h>

using namespace kratest;

namespace {

constexpr int kAvatars = 30;
constexpr uint32_t kVertices = 1500;

class BenchIndexBuffer : public FakeCom<IDirect3DIndexBuffer8> {
public:
    explicit BenchIndexBuffer(UINT length) : m_vData(length) {}
    HRESULT GetDevice(IDirect3DDevice8**) override { return E_NOTIMPL; }
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
    HRESULT Lock(UINT, UINT, BYTE** pp, DWORD) override
    {
        *pp = m_vData.data();
        return D3D_OK;
    }
    HRESULT Unlock() override { return D3D_OK; }
    HRESULT GetDesc(D3DINDEXBUFFER_DESC*) override { return E_NOTIMPL; }

private:
    std::vector<BYTE> m_vData;
};

// The recording device, able to make everything an item mesh needs.
class BenchDevice : public FakeDevice {
public:
    HRESULT CreateIndexBuffer(UINT length, DWORD, D3DFORMAT, D3DPOOL, IDirect3DIndexBuffer8** pp) override
    {
        *pp = new BenchIndexBuffer(length);
        return D3D_OK;
    }
    HRESULT CreateVertexShader(const DWORD*, const DWORD*, DWORD* pHandle, DWORD) override
    {
        *pHandle = 1;
        return D3D_OK;
    }
    HRESULT DeleteVertexShader(DWORD) override { return D3D_OK; }
    HRESULT SetIndices(IDirect3DIndexBuffer8*, UINT) override { return D3D_OK; }
};

void Silent(LONG, LONG, void*) {}

// A grid of 1,500 vertices, each bound to two neighbouring bones.
ItemMesh BigMesh(const std::string& strName, bool bBindings)
{
    ItemMesh mesh;
    mesh.strName = strName;
    mesh.bTexCoords = true;
    const uint32_t nColumns = 30, nRows = kVertices / nColumns;
    for (uint32_t r = 0; r < nRows; ++r)
        for (uint32_t c = 0; c < nColumns; ++c)
            mesh.vPositions.insert(mesh.vPositions.end(),
                                   {float(c) * 0.3f, float(r) * 1.0f, std::sin(float(c)) * 0.5f});
    for (uint32_t r = 0; r + 1 < nRows; ++r) {
        for (uint32_t c = 0; c + 1 < nColumns; ++c) {
            uint16_t a = uint16_t(r * nColumns + c), b = uint16_t(a + 1), d = uint16_t(a + nColumns),
                     e = uint16_t(d + 1);
            mesh.vIndices.insert(mesh.vIndices.end(), {a, b, e, a, e, d});
        }
    }
    if (bBindings) {
        mesh.vBindings.resize(KRA_BONE_COUNT);
        for (uint32_t b = 0; b < KRA_BONE_COUNT; ++b)
            mesh.vBindings[b].dwBone = KRA_BONE_FIRST + b;
        for (uint32_t v = 0; v < kVertices; ++v) {
            uint32_t b = (v / 60) % KRA_BONE_COUNT;
            mesh.vBindings[b].vVertices.push_back(v);
            mesh.vBindings[b].vWeights.push_back(0.7f);
            mesh.vBindings[(b + 1) % KRA_BONE_COUNT].vVertices.push_back(v);
            mesh.vBindings[(b + 1) % KRA_BONE_COUNT].vWeights.push_back(0.3f);
        }
    }
    return mesh;
}

struct Crowd {
    BenchDevice device;
    std::filesystem::path root;
    std::vector<_KRA_HANDLE> vAvatars;
    CKRAAvatarManager* pAvatars = nullptr;

    Crowd()
    {
        root = std::filesystem::temp_directory_path() / ("kravex-avatar-bench-" + std::to_string(getpid()));
        std::filesystem::path kri = root / "Data" / "AVATAR" / "KRI";
        std::string data = (root / "Data").string() + "/";
        CKRAManager* pManager = nullptr;
        KRACreate(&device, data.c_str(), &Silent, &pManager);
        pAvatars = CKRAManager::GetAvatarManager();
        YondaClockSetManual(TRUE);

        // Seven items: face (with ten face targets), hair, upper body (with breast lists), lower
        // body, shoes, and a held item.
        const std::pair<DWORD, uint32_t> aItems[7] = {{KRA_ITEM_FACE, 2010001},       {KRA_ITEM_BODY, 2000000},
                                                      {KRA_ITEM_UPPER_BODY, 2020000}, {KRA_ITEM_BODY_B, 2030000},
                                                      {KRA_ITEM_BODY_C, 2040000},     {KRA_ITEM_HELD, 2050000},
                                                      {KRA_ITEM_BODY, 2060000}};
        std::vector<std::pair<uint32_t, std::string>> vList;
        for (const auto& [dwKind, dwCode] : aItems) {
            Item item;
            item.dwCode = dwCode;
            item.vMeshes = {BigMesh(dwKind == KRA_ITEM_FACE ? "FACE" : "BODY", KRAIsSkinnedItem(dwKind))};
            if (dwKind == KRA_ITEM_FACE) {
                for (int t = 0; t < 10; ++t) {
                    ItemTarget target;
                    for (uint32_t v = uint32_t(t) * 100; v < uint32_t(t) * 100 + 100; ++v) {
                        target.vVertices.push_back(v);
                        target.vOffsets.insert(target.vOffsets.end(), {0.01f, 0.02f, 0});
                    }
                    item.vFaceSet.push_back(target);
                }
            }
            std::string name = std::to_string(dwCode) + ".KRI";
            Write(kri / name, KRI(item, dwKind));
            if (dwKind == KRA_ITEM_UPPER_BODY) {
                std::vector<uint32_t> vSwell, vBounce;
                for (uint32_t v = 0; v < 200; ++v)
                    (v < 100 ? vSwell : vBounce).push_back(v);
                Write(kri / (std::to_string(dwCode) + ".KRe"), Companion(vSwell, vBounce));
            }
            vList.push_back({dwKind, name});
        }
        Write(kri / "bind.mot", Motion(2, 25, 1000, [](uint32_t, uint32_t, float* af) { std::fill(af, af + 6, 0.f); }));
        Write(kri / "walk.mot", Motion(30, 25, 1000, [](uint32_t t, uint32_t k, float* af) {
                  af[0] = float(t);
                  af[1] = std::sin(float(k) * 0.2f);
                  af[2] = 0;
                  af[3] = float(k) * 0.05f;
                  af[4] = float(t) * 0.01f;
                  af[5] = 0;
              }));
        pAvatars->LoadInitMotion((kri / "bind.mot").string().c_str(), 1);
        int nWalk = pAvatars->LoadMotion((kri / "walk.mot").string().c_str(), 1);
        float afFace[10] = {0.1f, 0.2f, 0.3f, 0, 0, 0.5f, 0, 0, 0, 0.1f};
        for (int i = 0; i < kAvatars; ++i) {
            std::string list = std::to_string(5000 + i) + ".KRA";
            Write(kri / list, KRA(uint32_t(5000 + i), vList));
            _KRA_HANDLE h = 0;
            pAvatars->LoadAvatar(list.c_str(), h);
            pAvatars->SetMotionType(h, 1);
            pAvatars->SetMotion(h, nWalk, nWalk);
            pAvatars->StartMotion(h);
            pAvatars->SetFaceSet(h, afFace);
            pAvatars->MoveToAvatar(h, D3DXVECTOR3(float(i) * 100.f, 0, 100000.f));
            vAvatars.push_back(h);
        }
    }
    ~Crowd()
    {
        YondaClockSetManual(FALSE);
        KRADestroy();
        std::filesystem::remove_all(root);
    }
};

void BM_ThirtyAvatarsFrame(benchmark::State& state)
{
    Crowd crowd;
    if (crowd.vAvatars.size() != size_t(kAvatars) || crowd.vAvatars[0] == 0) {
        state.SkipWithError("the crowd did not load");
        return;
    }
    for (auto _ : state) {
        YondaClockAdvance(20);
        crowd.pAvatars->UpdateMoveAvatar(crowd.vAvatars.data(), kAvatars);
        for (_KRA_HANDLE h : crowd.vAvatars)
            crowd.pAvatars->RenderAvatars(1, &h);
    }
    state.counters["vertices/s"] =
        benchmark::Counter(double(kAvatars) * 7 * kVertices, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ThirtyAvatarsFrame)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
