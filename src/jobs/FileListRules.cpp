#include "jobs/FileListRules.h"

#include "app/IniFile.h"
#include "app/ProfileCatalogue.h"
#include "jobs/OutputNaming.h"

#include <QFileInfo>

namespace {

const QString SettingsSection = QStringLiteral("settings");

} // namespace

QString OpenDialogFilterText()
{
    return QStringLiteral(
        "All Supported Video Formats|*.AVI;*.AVM;*.ASF;*.WMV;*.AVS;*.FLV;*.MKV;*.MOV;*.3GP;*.3G2;*.M4V;*.MP4;"
        "*.MPG;*.MPEG;*.DAT;*.OGM;*.VOB;*.RM;*.RMVB;*.TS;*.TP;*.IFO;*.NSV;*.SWF;|"
        "All Supported Audio "
        "Formats|*.MP3;*.AAC;*.WAV;*.WMA;*.OGG;*.CDA;*.FLAC;*.M4A;*.MID;*.MKA;*.MP2;*.MPA;"
        "*.MPC;*.APE;*.OFR;*.OGG;*.RA;*.WV;*.TTA;*.AC3;*.DTS;|"
        "AVI files (*.avi)|*.avi|"
        "MPEG4 files (*.mp4)|*.mp4|"
        "MPEG files (*.mpg,*.mpeg)|*.mpg;*.mpeg|"
        "3GP files (*.3gp,*.3g2)|*.3gp;*.3g2|"
        "Itunes Video files (*.m4v)|*.m4v|"
        "Windows Media files (*.wmv,*.asf)|*.wmv;*.asf|"
        "Real Media files (*.rm,*.rmvb)|*.rm;*.rmvb|"
        "Video CD files (*.dat)|*.dat|"
        "Quick Time files (*.mov)|*.mov|"
        "Flash Video files (*.flv)|*.flv|"
        "Matroska Video files (*.mkv)|*.mkv|"
        "MJPEG Video files (*.mjpg,*.mjpeg)|*.mjpg;*.mjpeg|"
        "Animated GIF files (*.gif)|*.gif|"
        "H.264/MPEG4 AVC Video files (*.mts,*.m2ts)|*.mts;*.m2ts|"
        "DVD video object files (*.vob)|*.vob|"
        "MPEG-1 Video files (*.mpv)|*.mpv|"
        "Video Transport Stream files (*.ts)|*.ts|"
        "TP Video files (*.tp)|*.tp|"
        "Maceomeida Flash files (*.swf)|*.swf|"
        "MP3 Audio files (*.mp3)|*.mp3|"
        "Advanced Audio Coding files (*.aac)|*.aac|"
        "Monkey's Audio files (*.ape)|*.ape|"
        "Ogg Vorbis Audio files (*.ogg)|*.ogg|"
        "Windows Media Audio files (*.wma)|*.wma|"
        "MusePack Audio files (*.mpc)|*.mpc|"
        "MPEG Audio files (*.mpa)|*.mpa|"
        "MPEG-4 Audio files (*.m4a)|*.m4a|"
        "Matroska Audio files (*.mka)|*.mka|"
        "DTS Audio files (*.dts)|*.dts|"
        "Audio Codec 3 files (*.ac3)|*.ac3|"
        "Speex Audio files (*.spx)|*.spx|"
        "Real Audio files (*.ra,*.ram)|*.ra;*.ram|"
        "MPEG Layer II Compressed Audio files (*.mp2)|*.mp2|"
        "All files (*.*)|*.*");
}

QStringList OpenDialogNameFilters(const QString& filterText)
{
    const QStringList parts = filterText.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString trimmed = pattern.trimmed();
            if (trimmed.isEmpty())
                continue;
            patterns << (trimmed == QLatin1String("*.*") ? QStringLiteral("*") : trimmed);
        }
        if (patterns.isEmpty())
            continue;
        // The dialog takes the last parenthesised part as the patterns, so
        // a description that names its patterns itself keeps its text.
        filters << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters;
}

TSourceDecision DecideNewSource(const QString& path, const QStringList& listedCaptions)
{
    if (QFileInfo(path).isDir())
        return TSourceDecision::SkipDirectory;
    if (listedCaptions.contains(path, Qt::CaseSensitive))
        return TSourceDecision::SkipListed;
    return TSourceDecision::Add;
}

TAddBatch ReadAddBatch(const IniFile& settings, const IniFile& catalogue)
{
    TAddBatch batch;
    batch.FormatCode = settings.ReadInteger(SettingsSection, QStringLiteral("FormatCode"), 1);
    const QString section = FormatSectionName(batch.FormatCode);
    batch.Suffix =
        FileListSuffix(catalogue.ReadString(section, QStringLiteral("FileExt"), QStringLiteral("mp4")));
    batch.Zoom = settings.ReadString(section, QStringLiteral("parazoom"), QStringLiteral("lbox"));
    return batch;
}

qint32 WholeSeconds(qint64 durationUS)
{
    if (durationUS <= 0)
        return 0;
    return qint32(durationUS / 1000000);
}

TlvFilesRecord NewJobRecord(int addIndex, const QString& sourcePath, const QString& outputFile,
                            qint64 durationUS, const QString& zoom)
{
    TlvFilesRecord record;
    record.AddIndex = addIndex;
    record.FileName = sourcePath;
    record.OutputFile = outputFile;
    record.Duration = WholeSeconds(durationUS);
    record.Zoom = zoom;
    return record;
}

QStringList NewRowTexts(const TlvFilesRecord& record)
{
    const QString seconds = QString::number(record.Duration);
    return {record.FileName, seconds, seconds, QFileInfo(record.OutputFile).fileName(), QString()};
}

int RowToSelectAfterRemoval(int removedRow, int rowsLeft)
{
    if (rowsLeft <= 0)
        return -1;
    return qMin(removedRow, rowsLeft - 1);
}

std::vector<TCommandEnabling> MenuEnablingOnOpen(TFileListMenu menu, int rowCount, bool rowSelected)
{
    const bool onRow = rowCount > 0 && rowSelected;
    using C = TFileListCommand;
    if (menu == TFileListMenu::Edit)
        return {{C::Crop, onRow},       {C::Trim, onRow},         {C::WaterMark, onRow}, {C::CheckAll, onRow},
                {C::UncheckAll, onRow}, {C::ReverseCheck, onRow}, {C::Check, onRow},     {C::Uncheck, onRow}};
    return {{C::Crop, onRow},   {C::Trim, onRow},  {C::WaterMark, onRow}, {C::Information, onRow},
            {C::Remove, onRow}, {C::Clear, onRow}, {C::Start, onRow},     {C::Add, true}};
}
