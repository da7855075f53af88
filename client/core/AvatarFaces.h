#pragma once
// The faces an avatar can make: the member's chosen face type and the face of each emotion, as
// the ten morph weights the engine's face set takes.

// Weights of one face set.
constexpr int kFaceWeightCount = 10;
// Face types 0-4 (0 is the plain face).
constexpr int kFaceTypeCount = 5;
// Emotions with a face of their own: 1-53 for a male avatar, 1-48 for a female one.
constexpr int kMaleEmotionCount = 53;
constexpr int kFemaleEmotionCount = 48;

// The weights of face type 0-4; any other type gives the plain face.
void GetFaceTypeWeights(bool female, int type, float weights[kFaceWeightCount]);
// The weights of an emotion; one outside the gender's range gives the gender's resting face.
void GetEmotionFaceWeights(bool female, int emotion, float weights[kFaceWeightCount]);
