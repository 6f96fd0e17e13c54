#include "TestMedia.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QStringList>

#include <cstdio>
#include <mutex>
#include <stdexcept>

namespace {

// How a fixture is made: by ffmpeg, or from another fixture's bytes.
enum class TRecipeKind { Generate, CopyOf, TruncatedOf };

struct TRecipe
{
    TTestMedia Id;
    TRecipeKind Kind;
    QStringList Arguments; // ffmpeg inputs and output options, without the output file
    TTestMedia Base;       // for CopyOf and TruncatedOf
    qint64 Bytes;          // for TruncatedOf
};

const QString MovFormat = QStringLiteral("mov,mp4,m4a,3gp,3g2,mj2");

const std::vector<TTestMediaFacts>& FactsTable()
{
    // clang-format off
    static const std::vector<TTestMediaFacts> table = {
        //  id                          name                file                                   format          ok   str v  a  prg vi ai  w    h    fpsN   fpsD  rate   ch  audio         video         secs
        {TTestMedia::VideoAudioMp4,  "video_audio_mp4",  "video_audio.mp4",                      MovFormat,       true, 2, 1, 1, 0, 0, 1,  320, 240, 25,    1,    48000, 2,  "aac",        "h264",       2.0},
        {TTestMedia::Clip25Fps,      "clip_25fps",       "clip_25fps.avi",                       "avi",           true, 2, 1, 1, 0, 0, 1,  176, 144, 25,    1,    44100, 1,  "mp3float",   "mpeg4",      2.0},
        {TTestMedia::Clip2997Fps,    "clip_29_97fps",    "clip_29.97fps.mp4",                    MovFormat,       true, 2, 1, 1, 0, 0, 1,  320, 180, 30000, 1001, 44100, 2,  "aac",        "h264",       2.0},
        {TTestMedia::AudioMp3,       "audio_mp3",        "audio.mp3",                            "mp3",           true, 1, 0, 1, 0, -1, 0, -1,  -1,  -1,    -1,   44100, 2,  "mp3float",   "",           2.0},
        {TTestMedia::AudioWav,       "audio_wav",        "audio.wav",                            "wav",           true, 1, 0, 1, 0, -1, 0, -1,  -1,  -1,    -1,   22050, 1,  "pcm_s16le",  "",           2.0},
        {TTestMedia::VideoOnly,      "video_only",       "video_only.mkv",                       "matroska,webm", true, 1, 1, 0, 0, 0, -1, 160, 120, 25,    1,    -1,    -1, "",           "mpeg4",      2.0},
        {TTestMedia::OddSize,        "odd_size",         "odd_size.avi",                         "avi",           true, 1, 1, 0, 0, 0, -1, 175, 97,  25,    1,    -1,    -1, "",           "mpeg4",      1.0},
        {TTestMedia::Tagged,         "tagged",           "tagged.mp3",                           "mp3",           true, 1, 0, 1, 0, -1, 0, -1,  -1,  -1,    -1,   44100, 2,  "mp3float",   "",           2.0},
        {TTestMedia::MultiProgramTs, "multi_program_ts", "programs.ts",                          "mpegts",        true, 3, 1, 2, 2, 0, 1,  160, 120, 25,    1,    48000, 1,  "mp2",        "mpeg2video", 2.0},
        {TTestMedia::Truncated,      "truncated",        "truncated.mp4",                        MovFormat,       false, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, "",            "",           0.0},
        {TTestMedia::NonAsciiName,   "non_ascii_name",   QString::fromUtf8("vidéo ünïcödé 日本語.mp4"), MovFormat, true, 2, 1, 1, 0, 0, 1,  320, 240, 25,    1,    48000, 2,  "aac",        "h264",       2.0},
        {TTestMedia::ColonName,      "colon_name",       "clip:colon name.avi",                  "avi",           true, 2, 1, 1, 0, 0, 1,  176, 144, 25,    1,    44100, 1,  "mp3float",   "mpeg4",      2.0},
    };
    // clang-format on
    return table;
}

QStringList Lavfi(const QString& graph)
{
    return {"-f", "lavfi", "-i", graph};
}

// Without the container's and encoders' version tags, so the tags a test sees
// are only the ones its fixture sets on purpose.
const QStringList NoVersionTags = {"-map_metadata", "-1",        "-fflags",  "+bitexact",
                                   "-flags:v",      "+bitexact", "-flags:a", "+bitexact"};

const std::vector<TRecipe>& Recipes()
{
    static const std::vector<TRecipe> recipes = [] {
        const QStringList x264 = {"-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p"};
        const QStringList mpeg4 = {"-c:v", "mpeg4", "-q:v", "5"};
        std::vector<TRecipe> r;
        r.push_back({TTestMedia::VideoAudioMp4,
                     TRecipeKind::Generate,
                     Lavfi("testsrc2=size=320x240:rate=25:duration=2") +
                         Lavfi("sine=frequency=1000:sample_rate=48000:duration=2") +
                         QStringList{"-map", "0:v", "-map", "1:a"} + x264 +
                         QStringList{"-c:a", "aac", "-b:a", "64k", "-ac", "2"} + NoVersionTags +
                         QStringList{"-f", "mp4"},
                     {},
                     0});
        r.push_back({TTestMedia::Clip25Fps,
                     TRecipeKind::Generate,
                     Lavfi("testsrc2=size=176x144:rate=25:duration=2") +
                         Lavfi("sine=frequency=440:sample_rate=44100:duration=2") +
                         QStringList{"-map", "0:v", "-map", "1:a"} + mpeg4 +
                         QStringList{"-c:a", "libmp3lame", "-b:a", "64k", "-ac", "1"} + NoVersionTags +
                         QStringList{"-f", "avi"},
                     {},
                     0});
        r.push_back({TTestMedia::Clip2997Fps,
                     TRecipeKind::Generate,
                     Lavfi("testsrc2=size=320x180:rate=30000/1001:duration=2") +
                         Lavfi("sine=frequency=660:sample_rate=44100:duration=2") +
                         QStringList{"-map", "0:v", "-map", "1:a"} + x264 +
                         QStringList{"-c:a", "aac", "-b:a", "64k", "-ac", "2"} + NoVersionTags +
                         QStringList{"-f", "mp4"},
                     {},
                     0});
        r.push_back({TTestMedia::AudioMp3,
                     TRecipeKind::Generate,
                     Lavfi("sine=frequency=440:sample_rate=44100:duration=2") +
                         QStringList{"-ac", "2", "-c:a", "libmp3lame", "-b:a", "128k"} + NoVersionTags +
                         QStringList{"-f", "mp3"},
                     {},
                     0});
        r.push_back({TTestMedia::AudioWav,
                     TRecipeKind::Generate,
                     Lavfi("sine=frequency=440:sample_rate=22050:duration=2") +
                         QStringList{"-ac", "1", "-c:a", "pcm_s16le"} + NoVersionTags +
                         QStringList{"-f", "wav"},
                     {},
                     0});
        r.push_back({TTestMedia::VideoOnly,
                     TRecipeKind::Generate,
                     Lavfi("testsrc2=size=160x120:rate=25:duration=2") + mpeg4 + NoVersionTags +
                         QStringList{"-f", "matroska"},
                     {},
                     0});
        // testsrc, not testsrc2: the latter rounds odd sizes down to even ones.
        r.push_back({TTestMedia::OddSize,
                     TRecipeKind::Generate,
                     Lavfi("testsrc=size=175x97:rate=25:duration=1") + mpeg4 + NoVersionTags +
                         QStringList{"-f", "avi"},
                     {},
                     0});
        r.push_back({TTestMedia::Tagged,
                     TRecipeKind::Generate,
                     Lavfi("sine=frequency=440:sample_rate=44100:duration=2") +
                         QStringList{"-ac", "2", "-c:a", "libmp3lame", "-b:a", "128k"} + NoVersionTags +
                         QStringList{"-metadata", "title=Clarvix Title",
                                     "-metadata", "artist=Clarvix Artist",
                                     "-metadata", "author=Clarvix Author",
                                     "-metadata", "album=Clarvix Album",
                                     "-metadata", "genre=Test Tone",
                                     "-metadata", "comment=Generated",
                                     "-metadata", "copyright=(c) Nobody",
                                     "-metadata", "date=2010",
                                     "-metadata", "track=3",
                                     "-f",        "mp3"},
                     {},
                     0});
        r.push_back({TTestMedia::MultiProgramTs,
                     TRecipeKind::Generate,
                     Lavfi("testsrc2=size=160x120:rate=25:duration=2") +
                         Lavfi("sine=frequency=440:sample_rate=48000:duration=2") +
                         Lavfi("sine=frequency=880:sample_rate=44100:duration=2") +
                         QStringList{"-map", "0:v", "-map", "1:a", "-map", "2:a", "-c:v", "mpeg2video",
                                     "-c:a", "mp2"} +
                         NoVersionTags +
                         QStringList{"-program", "title=First:program_num=1:st=0:st=1", "-program",
                                     "title=Second:program_num=2:st=0:st=2", "-f", "mpegts"},
                     {},
                     0});
        r.push_back({TTestMedia::Truncated, TRecipeKind::TruncatedOf, {}, TTestMedia::VideoAudioMp4, 4096});
        r.push_back({TTestMedia::NonAsciiName, TRecipeKind::CopyOf, {}, TTestMedia::VideoAudioMp4, 0});
        r.push_back({TTestMedia::ColonName, TRecipeKind::CopyOf, {}, TTestMedia::Clip25Fps, 0});
        return r;
    }();
    return recipes;
}

const TRecipe& RecipeOf(TTestMedia id)
{
    return Recipes().at(static_cast<size_t>(id));
}

// Identifies the whole recipe table, so that changed recipes get a fresh folder.
QString RecipeHash()
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const TRecipe& r : Recipes()) {
        hash.addData(TestMediaFacts(r.Id).FileName.toUtf8());
        hash.addData(QByteArray::number(static_cast<int>(r.Kind)));
        hash.addData(r.Arguments.join('\x1f').toUtf8());
        hash.addData(QByteArray::number(static_cast<int>(r.Base)) + ":" + QByteArray::number(r.Bytes));
    }
    return QString::fromLatin1(hash.result().toHex().left(12));
}

// <build>/test-media when the executable lives in <build>/bin, else beside it.
QString CacheRoot()
{
    const QByteArray overridden = qgetenv("CLARVIX_TEST_MEDIA_DIR");
    if (!overridden.isEmpty())
        return QString::fromLocal8Bit(overridden);
    const QString exe = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    QDir exeDir = exe.isEmpty() ? QDir::current() : QFileInfo(exe).dir();
    if (exeDir.dirName() == QLatin1String("bin"))
        exeDir.cdUp();
    return exeDir.filePath(QStringLiteral("test-media"));
}

void RunFfmpeg(const QStringList& arguments, const QString& output, const QString& name)
{
    QString program = QString::fromLocal8Bit(qgetenv("CLARVIX_FFMPEG"));
    if (program.isEmpty())
        program = QStringLiteral("ffmpeg");
    QProcess process;
    process.setProgram(program);
    process.setArguments(QStringList{"-nostdin", "-hide_banner", "-loglevel", "error", "-y"} + arguments +
                         QStringList{output});
    process.start();
    if (!process.waitForStarted(30000))
        throw std::runtime_error("test media " + name.toStdString() + ": cannot start " +
                                 program.toStdString() + ": " + process.errorString().toStdString());
    if (!process.waitForFinished(300000)) {
        process.kill();
        process.waitForFinished();
        throw std::runtime_error("test media " + name.toStdString() + ": ffmpeg did not finish");
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        throw std::runtime_error("test media " + name.toStdString() +
                                 ": ffmpeg failed: " + process.readAllStandardError().toStdString());
}

void CopyPrefix(const QString& source, const QString& target, qint64 bytes, const QString& name)
{
    QFile in(source);
    QFile out(target);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("test media " + name.toStdString() + ": cannot copy " +
                                 source.toStdString());
    const QByteArray data = bytes < 0 ? in.readAll() : in.read(bytes);
    if (out.write(data) != data.size() || !out.flush())
        throw std::runtime_error("test media " + name.toStdString() + ": cannot write " +
                                 target.toStdString());
}

void MakeFixture(const TRecipe& recipe, const QString& part, const QString& name)
{
    switch (recipe.Kind) {
    case TRecipeKind::Generate:
        RunFfmpeg(recipe.Arguments, part, name);
        break;
    case TRecipeKind::CopyOf:
        CopyPrefix(TestMediaPath(recipe.Base), part, -1, name);
        break;
    case TRecipeKind::TruncatedOf:
        CopyPrefix(TestMediaPath(recipe.Base), part, recipe.Bytes, name);
        break;
    }
}

// Recursive: a derived fixture makes its base while holding it.
std::recursive_mutex& GenerationMutex()
{
    static std::recursive_mutex mutex;
    return mutex;
}

} // namespace

const std::vector<TTestMediaFacts>& AllTestMedia()
{
    return FactsTable();
}

const TTestMediaFacts& TestMediaFacts(TTestMedia id)
{
    return FactsTable().at(static_cast<size_t>(id));
}

QString TestMediaFolder()
{
    static const QString folder = QDir(CacheRoot()).filePath(RecipeHash());
    if (!QDir().mkpath(folder))
        throw std::runtime_error("test media: cannot create " + folder.toStdString());
    return folder;
}

QString TestMediaPath(TTestMedia id)
{
    std::lock_guard<std::recursive_mutex> guard(GenerationMutex());
    const TTestMediaFacts& facts = TestMediaFacts(id);
    const QDir folder(TestMediaFolder());
    const QString target = folder.filePath(facts.FileName);
    if (QFileInfo::exists(target))
        return target;

    const TRecipe& recipe = RecipeOf(id);
    if (recipe.Kind != TRecipeKind::Generate)
        TestMediaPath(recipe.Base); // before taking this fixture's lock: locks are taken one at a time

    // Another test process may be making the same file: wait for it, then look again.
    QLockFile lock(folder.filePath(facts.Name + QStringLiteral(".lock")));
    lock.setStaleLockTime(0); // only a dead holder makes the lock stale, never a slow encode
    if (!lock.lock())
        throw std::runtime_error("test media " + facts.Name.toStdString() + ": cannot lock the cache");
    if (QFileInfo::exists(target))
        return target;

    const QString part = folder.filePath(QStringLiteral(".") + facts.Name + QStringLiteral(".part"));
    QFile::remove(part);
    try {
        MakeFixture(recipe, part, facts.Name);
    } catch (...) {
        QFile::remove(part);
        throw;
    }
    // rename() replaces atomically: readers see no file or the whole file.
    if (std::rename(QFile::encodeName(part).constData(), QFile::encodeName(target).constData()) != 0) {
        QFile::remove(part);
        throw std::runtime_error("test media " + facts.Name.toStdString() + ": cannot rename into place");
    }
    return target;
}

QString CopyTestMedia(TTestMedia id, const QString& targetPath)
{
    const QString source = TestMediaPath(id);
    QFile::remove(targetPath);
    if (!QFile::copy(source, targetPath))
        throw std::runtime_error("cannot copy test media to " + targetPath.toStdString());
    return targetPath;
}
