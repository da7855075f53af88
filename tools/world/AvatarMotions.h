#pragma once
// Every motion of both avatar kinds and the skin's "MotionFile.ini" that lists them in the order
// the client plays them by index.

#include "DataTree.h"
#include "MotionRecipe.h"

#include <string>
#include <vector>

namespace world {

std::vector<MotionRecipe> MotionRecipes(); // the gestures, each once
MotionRecipe BindMotion();                 // the kind's rest pose, loaded first

// The gesture played at each motion index of a kind: male 0..52, female 0..47.
std::vector<std::string> MotionIndexTable(bool female);

std::string MotionFileName(bool female, const std::string& gesture);
std::string MotionListIni();

void GenerateMotions(DataTree& tree);

// Where the client expects its motion list: the folder of each skin, Korean and German alike.
inline const std::vector<std::string> kMotionListPaths = {"Skin/Orange/MotionFile.ini",
                                                          "Skin/Orange_Do/MotionFile.ini"};

// Indices the client plays for its own purposes (idle, sit down, seated, stand up, walk).
struct SpecialMotions {
    int idle, sitDown, seated, standUp, walk;
};
SpecialMotions SpecialMotionIndices(bool female);

} // namespace world
