#include "SceneMap.h"

#include <KRAGridMap.h>
#include <KRASceneFormat.h>

#include <cmath>

namespace yonda::bots {

namespace {

// The client's own tables of scene files (lobbies, then rooms by lobby).
const char* const kLobbyScenes[5] = {"LB_MA.KRS", "LB_GL.KRS", "LB_DP.KRS", "LB_SB.KRS", "box.KRS"};
const char* const kRoomScenes[5] = {"RM_03.KRS", "SP_PLT.KRS", "RM_ILD02.KRS", "RM_02.KRS", "PathF.KRS"};
constexpr int kGameLobby = 4;
constexpr float kSeatApproach = 15.0f; // the client walks to this far in front of a seat
constexpr int kTries = 24;
constexpr float kWalkSample = 0.25f;

} // namespace

SceneMap::SceneMap() : m_ground(std::make_unique<CKRAGridMap>()) {}
SceneMap::~SceneMap() = default;
SceneMap::SceneMap(SceneMap&&) noexcept = default;
SceneMap& SceneMap::operator=(SceneMap&&) noexcept = default;

bool SceneMap::load(const std::string& worldFolder, const std::string& sceneFile, std::string* why)
{
    const std::string scenePath = worldFolder + "/" + sceneFile;
    KRA_SCENE_FILE_DATA scene;
    if (KRALoadSceneFile(scenePath, scene) < 0) {
        if (why)
            *why = scenePath + " cannot be read";
        return false;
    }
    const std::string mapPath = KRASceneMapPath(scenePath, "KRP");
    if (m_ground->Load(scenePath.c_str(), ".KRP") < 0) {
        if (why)
            *why = mapPath + " cannot be read";
        return false;
    }
    m_starts.clear();
    for (const auto& start : KRASceneStartPositions(scene))
        m_starts.push_back({start[0], start[2]});
    m_seats.clear();
    std::vector<KRA_EVENT_TRIGGER> triggers;
    std::vector<KRA_EVENT_BOX> boxes;
    for (const KRA_SCENE_OBJECT_RECORD& record : scene.vObjects) {
        if (!KRASceneRecordHasEvents(record))
            continue;
        KRASceneEventRecords(record, triggers, boxes);
        for (const KRA_EVENT_BOX& box : boxes) {
            if (box.lAction != 0)
                continue; // only action 0 is a seat
            Seat seat;
            std::copy(std::begin(box.afMatrix), std::end(box.afMatrix), seat.matrix.begin());
            // (0, 0, 15) through the seat's matrix.
            seat.approach = {kSeatApproach * seat.matrix[8] + seat.matrix[12],
                             kSeatApproach * seat.matrix[10] + seat.matrix[14]};
            m_seats.push_back(seat);
        }
    }
    return true;
}

bool SceneMap::walkable(Point p) const
{
    if (!m_ground->IsLoaded() || !std::isfinite(p.x) || !std::isfinite(p.z))
        return false;
    // IsBlocked answers "free" outside the grid too, but writes the cell's centre only inside it.
    const D3DXVECTOR3 outside(NAN, 0, NAN);
    D3DXVECTOR3 centre = outside;
    if (m_ground->IsBlocked(p.x, p.z, &centre))
        return false;
    return std::isfinite(centre.x);
}

bool SceneMap::clearWalk(Point from, Point to) const
{
    // Every point of the way, a quarter of a unit apart, stands on walkable ground: the avatar
    // never crosses a blocked corner either.
    const float length = std::hypot(to.x - from.x, to.z - from.z);
    const int steps = static_cast<int>(std::ceil(length / kWalkSample));
    if (!std::isfinite(length) || steps > 100000)
        return false;
    for (int i = 0; i <= steps; ++i) {
        const float t = steps ? static_cast<float>(i) / static_cast<float>(steps) : 0.0f;
        if (!walkable({from.x + (to.x - from.x) * t, from.z + (to.z - from.z) * t}))
            return false;
    }
    return true;
}

std::optional<Point> SceneMap::pickTarget(Point from, float reach, std::mt19937& dice) const
{
    std::uniform_real_distribution<float> offset(-reach, reach);
    for (int i = 0; i < kTries; ++i) {
        Point to{from.x + offset(dice), from.z + offset(dice)};
        if (std::hypot(to.x - from.x, to.z - from.z) > 1.0f && clearWalk(from, to))
            return to;
    }
    return std::nullopt;
}

std::optional<Point> SceneMap::pickStart(std::mt19937& dice) const
{
    std::vector<Point> free;
    for (const Point& start : m_starts)
        if (walkable(start))
            free.push_back(start);
    if (free.empty())
        return std::nullopt;
    return free[dice() % free.size()];
}

std::string sceneOfPlace(int lobby, int room)
{
    if (lobby < 0 || lobby >= 5 || lobby == kGameLobby)
        return {};
    return room < 0 ? kLobbyScenes[lobby] : kRoomScenes[lobby];
}

} // namespace yonda::bots
