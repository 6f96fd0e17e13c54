#include "media/FFmpegLoader.h"

#include "media/FFLogger.h"
#include "media/FFmpegException.h"
#include "media/UnicodeProtocol.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <dlfcn.h>

namespace {

// One row per kind, in enumeration order. MajorVersion is the number in the
// file name; -1 for none.
struct TLibraryItem
{
    TLibraryType LibType;
    const char* BaseName;
    int MajorVersion;
};

// The device library and SDL are not linked into the media code, so their
// majors are those of the generation the program is built for.
constexpr int DeviceMajorVersion = 59;
constexpr int SdlMajorVersion = 2;

constexpr TLibraryItem LibraryItems[LibraryTypeCount] = {
    {libAVCodec, "avcodec", LIBAVCODEC_VERSION_MAJOR},
    {libAVDevice, "avdevice", DeviceMajorVersion},
    {libAVFilter, "avfilter", LIBAVFILTER_VERSION_MAJOR},
    {libAVFormat, "avformat", LIBAVFORMAT_VERSION_MAJOR},
    {libAVUtil, "avutil", LIBAVUTIL_VERSION_MAJOR},
    {libSwScale, "swscale", LIBSWSCALE_VERSION_MAJOR},
    {libMSVCRT, "c", 6},
    {libSDL, "SDL2-2.0", 0},
};

QString VersionText(unsigned version)
{
    return QStringLiteral("%1.%2.%3").arg(version >> 16).arg((version >> 8) & 0xFF).arg(version & 0xFF);
}

// Empty when the version function reports the expected major.
QString CheckMajor(const char* fileName, unsigned version, int expectedMajor)
{
    if (static_cast<int>(version >> 16) == expectedMajor)
        return {};
    return QStringLiteral("%1 has version %2, major version %3 is required")
        .arg(QString::fromLatin1(fileName), VersionText(version))
        .arg(expectedMajor);
}

// For libraries the media code does not link: look their version function up
// in the running process.
void* FindInProcess(const char* symbol)
{
    return dlsym(RTLD_DEFAULT, symbol);
}

QString NotInProcess(TLibraryType kind)
{
    return QStringLiteral("%1 is not part of this program").arg(TFFmpegLoader::LibraryFileName(kind));
}

} // namespace

TFFmpegLoader::TFFmpegLoader() = default;

QString TFFmpegLoader::LibraryPath() const
{
    std::lock_guard lock(FTextLock);
    return FLibraryPath;
}

void TFFmpegLoader::SetLibraryPath(const QString& path)
{
    std::lock_guard lock(FTextLock);
    FLibraryPath = path;
}

QString TFFmpegLoader::LastError() const
{
    std::lock_guard lock(FTextLock);
    return FLastError;
}

void TFFmpegLoader::SetLastError(const QString& text)
{
    std::lock_guard lock(FTextLock);
    FLastError = text;
}

QString TFFmpegLoader::LibraryFileName(TLibraryType kind)
{
    const TLibraryItem& item = LibraryItems[kind];
    QString name = QStringLiteral("lib") + QString::fromLatin1(item.BaseName) + QStringLiteral(".so");
    if (item.MajorVersion >= 0)
        name += QLatin1Char('.') + QString::number(item.MajorVersion);
    return name;
}

QString TFFmpegLoader::CheckLibraryInProcess(TLibraryType kind)
{
    switch (kind) {
    case libAVCodec: {
        // The codec library's audio resampling lives in the resampling library now.
        QString reason = CheckMajor("libavcodec.so", avcodec_version(), LIBAVCODEC_VERSION_MAJOR);
        if (reason.isEmpty())
            reason = CheckMajor("libswresample.so", swresample_version(), LIBSWRESAMPLE_VERSION_MAJOR);
        return reason;
    }
    case libAVFilter:
        return CheckMajor("libavfilter.so", avfilter_version(), LIBAVFILTER_VERSION_MAJOR);
    case libAVFormat:
        return CheckMajor("libavformat.so", avformat_version(), LIBAVFORMAT_VERSION_MAJOR);
    case libAVUtil:
        return CheckMajor("libavutil.so", avutil_version(), LIBAVUTIL_VERSION_MAJOR);
    case libSwScale:
        return CheckMajor("libswscale.so", swscale_version(), LIBSWSCALE_VERSION_MAJOR);
    case libMSVCRT:
        return {};
    case libAVDevice: {
        auto version = reinterpret_cast<unsigned (*)()>(FindInProcess("avdevice_version"));
        if (!version)
            return NotInProcess(kind);
        return CheckMajor("libavdevice.so", version(), DeviceMajorVersion);
    }
    case libSDL: {
        struct TSdlVersion
        {
            quint8 major, minor, patch;
        };
        auto getVersion = reinterpret_cast<void (*)(TSdlVersion*)>(FindInProcess("SDL_GetVersion"));
        if (!getVersion)
            return NotInProcess(kind);
        TSdlVersion version{};
        getVersion(&version);
        if (version.major == SdlMajorVersion)
            return {};
        return QStringLiteral("libSDL2 has version %1.%2.%3, major version %4 is required")
            .arg(version.major)
            .arg(version.minor)
            .arg(version.patch)
            .arg(SdlMajorVersion);
    }
    }
    return QStringLiteral("unknown library kind");
}

void TFFmpegLoader::SetLibraryCheck(TLibraryCheck check)
{
    FCheck = std::move(check);
}

bool TFFmpegLoader::LoadOne(TLibraryType kind)
{
    TLibraryStatus& status = FStatus[kind];
    if (!status.Loaded) {
        const QString reason = FCheck ? FCheck(kind) : CheckLibraryInProcess(kind);
        if (!reason.isEmpty()) {
            SetLastError(QStringLiteral("Load library %1 error: %2").arg(LibraryFileName(kind), reason));
            return false;
        }
        status.Loaded = true;
    }
    // The symbols were resolved when the program was linked.
    status.Bound = true;
    AfterBind(kind);
    return true;
}

void TFFmpegLoader::AfterBind(TLibraryType kind)
{
    if (kind == libAVUtil && FInstallLogCallback)
        DefaultLogger()->InstallLogCallback();
    else if (kind == libAVFormat)
        RegisterUnicodeProtocol();
}

void TFFmpegLoader::UnloadOne(TLibraryType kind)
{
    FStatus[kind].Bound = false;
    FStatus[kind].Loaded = false;
}

bool TFFmpegLoader::IsLoaded(TLibraryType kind) const
{
    return FStatus[kind].Loaded && FStatus[kind].Bound;
}

void TFFmpegLoader::RequireNonEmpty(TLibraryTypes kinds, const char* operation)
{
    if (kinds.IsEmpty())
        throw FFmpegException(std::string(operation) + ": the library set is empty");
}

bool TFFmpegLoader::LoadSet(TLibraryTypes kinds)
{
    RequireNonEmpty(kinds, "LoadSet");
    for (int i = 0; i < LibraryTypeCount; ++i) {
        const auto kind = static_cast<TLibraryType>(i);
        if (kinds.Contains(kind) && !LoadOne(kind)) {
            UnloadSet(kinds);
            return false;
        }
    }
    return true;
}

void TFFmpegLoader::UnloadSet(TLibraryTypes kinds)
{
    RequireNonEmpty(kinds, "UnloadSet");
    for (int i = 0; i < LibraryTypeCount; ++i) {
        const auto kind = static_cast<TLibraryType>(i);
        if (kinds.Contains(kind))
            UnloadOne(kind);
    }
}

bool TFFmpegLoader::SetLoaded(TLibraryTypes kinds) const
{
    RequireNonEmpty(kinds, "SetLoaded");
    for (int i = 0; i < LibraryTypeCount; ++i) {
        const auto kind = static_cast<TLibraryType>(i);
        if (kinds.Contains(kind) && !IsLoaded(kind))
            return false;
    }
    return true;
}

TFFmpegLoader& FFLoader()
{
    static TFFmpegLoader loader;
    return loader;
}
