#pragma once
// A small software renderer for previews and the shop's item pictures: perspective camera, depth
// buffer, textures, the engine's culling (clockwise triangles are dropped) and alpha test or
// blending.

#include "Image.h"
#include "Math3D.h"

#include <vector>

namespace world {

struct PreviewVertex {
    Vec3 position; // world space
    Vec2 uv;
    float light = 1;
};

enum class Blending { Opaque, AlphaTest, Blend };

// The light a face gets from the preview's one sun, with a floor so nothing goes black.
float SoftLight(const Vec3& normal);

class Rasterizer {
public:
    Rasterizer(int width, int height, Rgba clear);

    void LookAt(const Vec3& eye, const Vec3& at, float fovDegrees = 45);
    // Triangles in the engine's order: front faces are counter-clockwise on the screen.
    void Draw(const PreviewVertex& a, const PreviewVertex& b, const PreviewVertex& c, const Image* texture,
              Blending blending);
    const Image& Picture() const { return m_picture; }
    int DrawnTriangles() const { return m_drawn; }

private:
    struct Clip {
        Vec3 view;
        Vec2 uv;
        float light;
    };
    void Fill(const Clip& a, const Clip& b, const Clip& c, const Image* texture, Blending blending);

    Image m_picture;
    std::vector<float> m_depth;
    Vec3 m_eye, m_x, m_y, m_z;
    float m_focal = 1;
    int m_drawn = 0;
};

} // namespace world
