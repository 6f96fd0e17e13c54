#include "media/FFBaseComponent.h"

#include "media/FFmpegLoader.h"

TFFBaseComponent::TFFBaseComponent(TLibraryTypes libraries, QObject* owner)
    : QObject(owner), FLibraries(libraries)
{
}

bool TFFBaseComponent::LoadLibraries(const QString& path)
{
    TFFmpegLoader& loader = FFLoader();
    loader.SetLibraryPath(path);
    if (loader.LoadSet(FLibraries))
        return true;
    FLastErrMsg = loader.LastError();
    return false;
}

bool TFFBaseComponent::LibrariesLoaded() const
{
    return FFLoader().SetLoaded(FLibraries);
}
