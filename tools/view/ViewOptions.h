// The command line of the engine viewer: what to load, how many avatars, what they do, where the
// camera stands and where the frames go.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct ViewVector {
    float x = 0, y = 0, z = 0;
};

struct ViewOptions {
    std::string strData;  // the data folder (holds WORLD and AVATAR)
    std::string strScene; // the scene file name, such as RM_03.KRS
    int nAvatars = 2;
    int nFrames = -1;   // -1: one with --out, endless in a window
    std::string strOut; // folder for frame-NNNN.png
    int nWidth = 800, nHeight = 600;
    int nFrameMs = 30;               // the client's tick
    std::vector<std::string> vLists; // avatar lists (.KRA); both sample kinds by default
    std::string strMotions;          // MotionFile.ini; beside the data folder's skin by default
    int nMotion = -1;                // a motion every avatar plays in place instead of walking
    bool bWalk = true;
    std::string strBalloon; // UTF-8 speech over every avatar
    bool bLabels = false;   // ID labels under the balloons
    std::optional<ViewVector> vEye, vAt;
    float fTurn = 0;    // degrees the camera turns about its up vector per frame
    float fForward = 0; // units the camera moves forward per frame
    int nFollow = -1;   // look through this avatar's own camera, behind its shoulder
    unsigned nSeed = 1;
    bool bWindow = false; // show the frames in a window on the desktop
};

// Parses argv. On a bad argument writes the reason to strError and answers false; --help sets
// bHelp.
bool ParseViewOptions(int argc, char** argv, ViewOptions& options, bool& bHelp, std::string& strError);
const char* ViewUsage();
