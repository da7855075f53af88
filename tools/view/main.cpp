// kravex-view: a host of the Kravex engine that shows a scene with dressed, walking avatars,
// their balloons and labels, into PNG files or a window.
#include "ViewHost.h"
#include "ViewOptions.h"

#include <cstdio>

int main(int argc, char** argv)
{
    ViewOptions options;
    bool bHelp = false;
    std::string strError;
    if (!ParseViewOptions(argc, argv, options, bHelp, strError)) {
        std::fprintf(stderr, "kravex-view: %s\n", strError.c_str());
        return 2;
    }
    if (bHelp) {
        std::fputs(ViewUsage(), stdout);
        return 0;
    }
    return RunView(options);
}
