#include "StartupFiles.h"

#include "AniWriter.h"
#include "CursorPictures.h"
#include "SplashPicture.h"

bool StartupFiles(const std::map<std::string, std::string>& texts, UINT codePage, std::vector<NamedFile>* files)
{
    for (const auto& [name, cursor] : DefaultSkinCursors()) {
        files->emplace_back(name, AniBytes(cursor));
    }
    SkinPicture splash(kSplashWidth, kSplashHeight, 0);
    if (!PaintSplash(texts, codePage, &splash)) {
        return false;
    }
    files->emplace_back("Loading.bmp", splash.Bmp());
    return true;
}
