#include "ViewOptions.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

bool ToInt(const std::string& s, int nMin, int nMax, int& out)
{
    if (s.empty())
        return false;
    char* pEnd = nullptr;
    errno = 0;
    long l = std::strtol(s.c_str(), &pEnd, 10);
    if (errno || *pEnd || l < nMin || l > nMax)
        return false;
    out = int(l);
    return true;
}

bool ToFloat(const std::string& s, float& out)
{
    if (s.empty())
        return false;
    char* pEnd = nullptr;
    float f = std::strtof(s.c_str(), &pEnd);
    // Infinities and NaN would leave the camera nowhere and every frame blank.
    if (*pEnd || !std::isfinite(f))
        return false;
    out = f;
    return true;
}

bool ToVector(const std::string& s, ViewVector& v)
{
    size_t a = s.find(','), b = a == std::string::npos ? a : s.find(',', a + 1);
    if (b == std::string::npos)
        return false;
    return ToFloat(s.substr(0, a), v.x) && ToFloat(s.substr(a + 1, b - a - 1), v.y) && ToFloat(s.substr(b + 1), v.z);
}

} // namespace

const char* ViewUsage()
{
    return "usage: kravex-view --data DIR --scene NAME.KRS [options]\n"
           "Draws a scene of the Kravex engine with dressed avatars walking between its start\n"
           "positions, into PNG files or a window.\n"
           "\n"
           "  --data DIR         data folder holding WORLD and AVATAR (required)\n"
           "  --scene NAME       scene file in DIR/WORLD, such as RM_03.KRS (required)\n"
           "  --avatars N        avatars placed at the start positions (0-100, default 2)\n"
           "  --frames N         frames to draw (default 1 with --out, endless in a window)\n"
           "  --out DIR          write the frames as DIR/frame-0000.png ... (created)\n"
           "  --size WxH         back buffer size (default 800x600)\n"
           "  --frame-ms MS      time from one frame to the next (default 30)\n"
           "  --list FILE.KRA    avatar list to dress avatars from, repeatable\n"
           "                     (default 10001.KRA and 20001.KRA)\n"
           "  --motions FILE     motion list (default DIR/../Skin/Orange/MotionFile.ini)\n"
           "  --motion N         every avatar plays motion N in place instead of walking\n"
           "  --stand            avatars stand idle instead of walking\n"
           "  --balloon TEXT     speech balloon (UTF-8) over every avatar\n"
           "  --labels           ID labels over the avatars\n"
           "  --eye X,Y,Z        camera eye (default: above and behind the start positions)\n"
           "  --at X,Y,Z         camera look-at point\n"
           "  --turn DEG         camera turn about its up vector per frame\n"
           "  --forward D        camera move forward per frame (negative: backward)\n"
           "  --follow N         look through avatar N's own camera, which follows it\n"
           "  --seed N           random seed of blinking and object phases (default 1)\n"
           "  --window           show the frames in a window (needs a desktop: DISPLAY or\n"
           "                     WAYLAND_DISPLAY)\n"
           "  --help             this text\n"
           "One of --out and --window is needed.\n";
}

bool ParseViewOptions(int argc, char** argv, ViewOptions& o, bool& bHelp, std::string& strError)
{
    bHelp = false;
    auto value = [&](int& i, std::string& out) {
        if (i + 1 >= argc) {
            strError = std::string(argv[i]) + " needs a value";
            return false;
        }
        out = argv[++i];
        return true;
    };
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i], v;
        auto bad = [&](const char* what) {
            strError = a + ": " + what + ", not '" + v + "'";
            return false;
        };
        if (a == "--help" || a == "-h") {
            bHelp = true;
            return true;
        } else if (a == "--labels") {
            o.bLabels = true;
        } else if (a == "--stand") {
            o.bWalk = false;
        } else if (a == "--window") {
            o.bWindow = true;
        } else if (a == "--data" || a == "--scene" || a == "--out" || a == "--list" || a == "--motions" ||
                   a == "--balloon") {
            if (!value(i, v))
                return false;
            if (v.empty())
                return bad("an empty value");
            if (a == "--data")
                o.strData = v;
            else if (a == "--scene")
                o.strScene = v;
            else if (a == "--out")
                o.strOut = v;
            else if (a == "--list")
                o.vLists.push_back(v);
            else if (a == "--motions")
                o.strMotions = v;
            else
                o.strBalloon = v;
        } else if (a == "--avatars" || a == "--frames" || a == "--frame-ms" || a == "--motion" || a == "--seed" ||
                   a == "--follow") {
            if (!value(i, v))
                return false;
            int n = 0;
            int nMax = a == "--avatars" ? 100 : a == "--frames" ? 100000 : a == "--frame-ms" ? 10000 : 1 << 30;
            if (!ToInt(v, 0, nMax, n))
                return bad(("a whole number from 0 to " + std::to_string(nMax)).c_str());
            if (a == "--avatars")
                o.nAvatars = n;
            else if (a == "--frames")
                o.nFrames = n;
            else if (a == "--frame-ms")
                o.nFrameMs = n;
            else if (a == "--motion")
                o.nMotion = n;
            else if (a == "--follow")
                o.nFollow = n;
            else
                o.nSeed = unsigned(n);
        } else if (a == "--size") {
            if (!value(i, v))
                return false;
            size_t x = v.find('x');
            int w = 0, h = 0;
            if (x == std::string::npos || !ToInt(v.substr(0, x), 16, 4096, w) || !ToInt(v.substr(x + 1), 16, 4096, h))
                return bad("WIDTHxHEIGHT, each 16 to 4096");
            o.nWidth = w;
            o.nHeight = h;
        } else if (a == "--eye" || a == "--at") {
            if (!value(i, v))
                return false;
            ViewVector vec;
            if (!ToVector(v, vec))
                return bad("three finite numbers X,Y,Z");
            (a == "--eye" ? o.vEye : o.vAt) = vec;
        } else if (a == "--turn" || a == "--forward") {
            if (!value(i, v))
                return false;
            float f = 0;
            if (!ToFloat(v, f))
                return bad("a finite number");
            (a == "--turn" ? o.fTurn : o.fForward) = f;
        } else {
            strError = "unknown argument '" + a + "' (see --help)";
            return false;
        }
    }
    if (o.strData.empty() || o.strScene.empty()) {
        strError = "--data and --scene are required (see --help)";
        return false;
    }
    if (o.vEye.has_value() != o.vAt.has_value()) {
        strError = "--eye and --at go together";
        return false;
    }
    if (o.vEye && o.vEye->x == o.vAt->x && o.vEye->y == o.vAt->y && o.vEye->z == o.vAt->z) {
        strError = "--eye and --at are the same point: the camera would look nowhere";
        return false;
    }
    if (o.nFollow >= 0 && o.nFollow >= o.nAvatars) {
        strError = "--follow " + std::to_string(o.nFollow) + " names no avatar of " + std::to_string(o.nAvatars);
        return false;
    }
    if (o.strOut.empty() && !o.bWindow) {
        strError = "nothing to show: give --out DIR for PNG frames or --window for a desktop window";
        return false;
    }
    if (o.nFrames < 0 && !o.bWindow)
        o.nFrames = 1;
    return true;
}
