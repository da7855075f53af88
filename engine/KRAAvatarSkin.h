// The vertex work of avatar drawing on the CPU: skinning item meshes by bone matrices, the face
// set and blink morphs, and the breast animation. Every function writes into arrays the caller
// owns (3 floats per vertex) and allocates nothing, so a frame of many avatars costs only arithmetic.
// Indices come from item files whose reader has already checked them against the mesh.
#pragma once

#include "KRAItemFormat.h"

#include <d3dx8.h>

#include <cstdint>
#include <vector>

// A mesh's bone bindings turned around: for each vertex the bones that move it and their weights,
// so skinning walks the vertices once in order. A vertex named by no binding has no influence.
struct KRA_SKIN_PLAN {
    std::vector<uint32_t> vFirst; // per vertex, where its influences start; one more at the end
    std::vector<uint8_t> vBone;   // bone matrix index per influence
    std::vector<float> vWeight;
    bool Empty() const { return vFirst.empty(); }
};

// Builds the plan of a mesh of dwVertexCount vertices. Influences keep the order of the bindings.
void KRABuildSkinPlan(const std::vector<KRA_BONE_BINDING_DATA>& vBindings, DWORD dwVertexCount, KRA_SKIN_PLAN& plan);

// amSkin[i] = inverse bind matrix i x bone matrix i: what takes a bind position to its place
// under bone i.
void KRASkinMatrices(const D3DXMATRIX* pInverseBind, const D3DXMATRIX* pBones, D3DXMATRIX* pSkin, size_t nCount);

// Weighted skinning: each vertex is the sum of weight x (bind position x skin matrix) over its
// influences; a vertex without influences lands at the origin.
void KRASkinPositions(const KRA_SKIN_PLAN& plan, const float* pBind, const D3DXMATRIX* pSkin, float* pOut);

// Every position moved rigidly by one matrix (w = 1).
void KRATransformPositions(const float* pIn, size_t nVertices, const D3DXMATRIX& m, float* pOut);

// A morph target at weight w: each listed vertex moves by -w x its offset.
void KRAApplyMorph(const KRA_MORPH_TARGET_DATA& target, float fWeight, float* pPositions);

// Breast swell: the listed vertices scaled by (1, 1 + 0.01 s, 1 + 0.01 s).
void KRAApplySwell(const std::vector<DWORD>& vVertices, float fSwell, float* pPositions);

// Breast bounce at value c: from 0.5 up every component grows by c x 1 %, below it shrinks so.
void KRAApplyBounce(const std::vector<DWORD>& vVertices, float fBounce, float* pPositions);

// The swell at fSeconds since the avatar was made: sin(t x 125 degrees), never below 0.
float KRABreastSwell(double fSeconds);
