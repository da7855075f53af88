// Where a simulated member may walk and sit in the scene a client shows for its place: the
// scene's ground map and seats read from the generated world with the engine's own readers, so
// that every walk and seat the members send is one the client can replay.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

class CKRAGridMap;

namespace yonda::bots {

struct Point {
    float x = 0, z = 0;
};

struct Seat {
    std::array<float, 16> matrix{}; // row-major, translation in the fourth row, as event 144 carries it
    Point approach;                 // where the client walks the avatar before it turns and sits
};

class SceneMap {
public:
    SceneMap();
    ~SceneMap();
    SceneMap(SceneMap&&) noexcept;
    SceneMap& operator=(SceneMap&&) noexcept;

    // Reads SCENE (a .KRS file) and its ground map (.KRP) from the world folder; false, with the
    // reason, when either cannot be read.
    bool load(const std::string& worldFolder, const std::string& sceneFile, std::string* why);

    // Inside the ground map and not blocked.
    bool walkable(Point p) const;
    // Every point of the straight walk between two points stands on walkable ground.
    bool clearWalk(Point from, Point to) const;
    // A walkable point within `reach` of `from` that a straight walk reaches; none after a few tries.
    std::optional<Point> pickTarget(Point from, float reach, std::mt19937& dice) const;
    // One of the scene's start positions (where the client places a newcomer), walkable.
    std::optional<Point> pickStart(std::mt19937& dice) const;

    const std::vector<Seat>& seats() const { return m_seats; }
    const std::vector<Point>& starts() const { return m_starts; }

private:
    std::unique_ptr<CKRAGridMap> m_ground;
    std::vector<Seat> m_seats;
    std::vector<Point> m_starts;
};

// The scene file the client shows for a place: the lobby's own in its common area, the room
// scene by the lobby inside a room. Empty for places where the client draws no avatars (the
// party-game lobby and its game rooms), where members stand still.
std::string sceneOfPlace(int lobby, int room);

// The walk speed the client gives every avatar, in scene units a second.
constexpr float kWalkSpeed = 44.0f;

} // namespace yonda::bots
