#include "app/ProfileCatalogue.h"

const std::vector<TProfileCategory>& ProfileCategories()
{
    // The spellings are the program's own display texts; stored settings
    // ("FormatName") hold them as they are.
    static const std::vector<TProfileCategory> categories{
        {0,
         QStringLiteral("Apple iPod"),
         {
             QStringLiteral("iPod Video MPEG-4 (*.mp4)"),
             QStringLiteral("iPod Video H.264 (*.mp4)"),
             QStringLiteral("iPod MPEG-4 Excellent (320 x 240)(*.mp4)"),
             QStringLiteral("iPod MPEG-4 Normal (320 x 240)(*.mp4)"),
             QStringLiteral("iPod MPEG-4 Mini (320 x 240)(*.mp4)"),
             QStringLiteral("iPod Touch MPEG-4 Excellent (*.mp4)"),
             QStringLiteral("iPod Touch MPEG-4 (480 x 320) (*.mp4)"),
             QStringLiteral("iPod Touch MPEG-4 (320 x 240) (*.mp4)"),
             QStringLiteral("iPod Touch MPEG-4 Wide Screen (*.mp4)"),
         }},
        {1,
         QStringLiteral("Apple iPhone"),
         {
             QStringLiteral("iPhone MPEG-4 Extra Video (*.mp4)"),
             QStringLiteral("iPhone MPEG-4 Wide Screen (*.mp4)"),
             QStringLiteral("iPhone MPEG-4 Movie (*.mp4)"),
             QStringLiteral("iPhone Movie for 480p TV Out (*.mp4)"),
             QStringLiteral("iPhone Movie for 576p TV Out (*.mp4)"),
         }},
        {2,
         QStringLiteral("Apple TV"),
         {
             QStringLiteral("Apple TV (640 x 480) MPEG-4 Excellent (*.mp4)"),
             QStringLiteral("Apple TV (640 x 480) MPEG-4 Normal (*.mp4)"),
             QStringLiteral("Apple TV (640 x 480) MPEG-4 Mini (*.mp4)"),
             QStringLiteral("Apple H.264 (320 x 240) (*.mp4)"),
             QStringLiteral("Apple H.264 480P (640 x 480) (*.mp4)"),
             QStringLiteral("Apple H.264 720p (1280 x 720) (*.mp4)"),
         }},
        {3,
         QStringLiteral("Quick Time Video - MOV"),
         {
             QStringLiteral("MOV - Quick Time Video (*.mov)"),
         }},
        {4,
         QStringLiteral("General Video formates"),
         {
             QStringLiteral("MPEG-1 Video (*.mpg)"),
             QStringLiteral("MPEG-2 Video (*.mpg)"),
             QStringLiteral("MPEG-4 Video (*.mp4)"),
             QStringLiteral("H.264/MPEG-4 AVC Video (*.mp4)"),
             QStringLiteral("AVI Video (*.avi)"),
             QStringLiteral("WMV Video (*.wmv)"),
             QStringLiteral("Divx Video (*.avi)"),
             QStringLiteral("Xvid Video (*.avi)"),
             QStringLiteral("DV - NTSC -Digital Video Format (*.dv)"),
             QStringLiteral("DV - PAL -Digital Video Format (*.dv)"),
         }},
        {5,
         QStringLiteral("General Audio formates"),
         {
             QStringLiteral("MP3 MPEG Layer-3 Audio (*.mp3)"),
             QStringLiteral("AAC Advenced Audio Codec (*.aac)"),
             QStringLiteral("M4A MPEG-4 Audio (*.m4a)"),
             QStringLiteral("WMA - Windows Meida Audio (*.wma)"),
             QStringLiteral("WAV - Waveform Audio (*.wav)"),
             QStringLiteral("OGG Vorbis Audio Codec (*.ogg)"),
             QStringLiteral("AC-3 Audio Codec (*.ac3)"),
         }},
    };
    return categories;
}

int FormatCodeOf(int categoryIndex, int position)
{
    return categoryIndex * 100 + position;
}

std::optional<QString> ProfileNameForCode(int code)
{
    if (code < 0)
        return std::nullopt;
    const auto& categories = ProfileCategories();
    const int category = code / 100;
    const int position = code % 100;
    if (category >= int(categories.size()) || position >= categories[category].ProfileNames.size())
        return std::nullopt;
    return categories[category].ProfileNames[position];
}

std::optional<int> ProfileCodeForName(const QString& name)
{
    for (const auto& category : ProfileCategories())
        for (int position = 0; position < category.ProfileNames.size(); ++position)
            if (category.ProfileNames[position].compare(name, Qt::CaseInsensitive) == 0)
                return FormatCodeOf(category.Index, position);
    return std::nullopt;
}

std::vector<int> ProfileCodes()
{
    std::vector<int> codes;
    for (const auto& category : ProfileCategories())
        for (int position = 0; position < category.ProfileNames.size(); ++position)
            codes.push_back(FormatCodeOf(category.Index, position));
    return codes;
}

QString FormatSectionName(int code)
{
    return QStringLiteral("formatInfo") + QString::number(code);
}
