#include "jobs/MapProfileOptionsTargets.h"

#include "engine/OptionRecords.h"

#include <QStringList>

namespace {

enum TargetType { TargetVcd = 1, TargetSvcd = 2, TargetDvd = 3 };
enum TargetNorm { NormPal = 1, NormNtsc = 2 };

struct TTargetKeyword
{
    const char* Keyword;
    int Type;
    int Norm;
    const char* FullFrameSize; // the size that makes a DVD 16:9; null: always 4:3
};

const TTargetKeyword TargetKeywords[] = {
    {"ntsc-dvd", TargetDvd, NormNtsc, "720x480"}, {"pal-dvd", TargetDvd, NormPal, "720x576"},
    {"ntsc-vcd", TargetVcd, NormNtsc, nullptr},   {"pal-vcd", TargetVcd, NormPal, nullptr},
    {"ntsc-svcd", TargetSvcd, NormNtsc, nullptr}, {"pal-svcd", TargetSvcd, NormPal, nullptr},
};

const QStringList ContainerKeywords = {"ipod", "3gp", "3g2", "avi",    "psp",
                                       "mov",  "vcd", "flv", "mpegts", "vob"};

} // namespace

void ApplyTargetKeyword(const QString& format, const QString& videoSize, TOutputOptions& output)
{
    const QString keyword = format.toLower();
    for (const TTargetKeyword& target : TargetKeywords) {
        if (keyword != QLatin1String(target.Keyword))
            continue;
        output.TargetType = target.Type;
        output.TargetNorm = target.Norm;
        const bool wide = target.FullFrameSize && videoSize == QLatin1String(target.FullFrameSize);
        output.AspectRatio = wide ? QStringLiteral("16:9") : QStringLiteral("4:3");
        return;
    }
}

void ApplyContainerKeyword(const QString& format, TOutputOptions& output)
{
    if (ContainerKeywords.contains(format.toLower()))
        output.FileFormat = format;
}
