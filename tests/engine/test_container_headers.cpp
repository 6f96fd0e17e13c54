// Every container the profile catalogue writes: the set-up of a bare task
// taken to the written header and closed, then a short conversion with the
// same options, each checked with ffprobe for the container and the codecs
// asked for (the old encoder names of the profiles included).

#include "OptionTesting.h"

#include "support/FfprobeFacts.h"
#include "support/TemporaryFolder.h"
#include "support/TestMedia.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <gtest/gtest.h>

#include <vector>

namespace {

struct TOptionPair
{
    const char* Name;
    const char* Value;
};

// What a file holding only the header shows.
enum class THeaderShows {
    Streams,   // the streams with their codecs
    Signature, // a signature (a file-type box, a tag, a first page) but not the streams, which
               // are described at the end or need the first packets
    Nothing,   // nothing: every packet describes itself, so the empty file is removed
};

struct TSignature
{
    int Offset = 0;
    const char* Bytes = "";
};

struct TContainerCase
{
    const char* Name;
    TTestMedia Source;
    std::vector<TOptionPair> Options; // before the output opens
    const char* FileName;
    const char* Muxer; // the output format the task chose
    THeaderShows Header;
    TSignature Signature;   // THeaderShows::Signature
    const char* Brand;      // the file-type box's major brand, for those that have one
    const char* Demuxer;    // ffprobe's format name of the result
    const char* VideoCodec; // "" = no video stream
    const char* AudioCodec;
};

// The codec of each stream type in ffprobe's view, "" for a missing type.
QString CodecOf(const QJsonObject& facts, const QString& type)
{
    for (const QJsonValue& stream : facts.value("streams").toArray())
        if (stream.toObject().value("codec_type").toString() == type)
            return stream.toObject().value("codec_name").toString();
    return QString();
}

QByteArray FileStart(const QString& path, int bytes)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(bytes) : QByteArray();
}

class ContainerHeader : public ::testing::TestWithParam<TContainerCase>
{
protected:
    // A task with the case's source and output opened, plus extra options before the output.
    std::unique_ptr<TFFmpeg> PreparedTask(const QString& output, const std::vector<TOptionPair>& extra = {})
    {
        const TContainerCase& c = GetParam();
        std::unique_ptr<TFFmpeg> task = NewTask();
        task->SetVerbose(-1);
        EXPECT_TRUE(task->OpenInputFile(TestMediaPath(c.Source))) << task->LastErrMsg().toStdString();
        for (const std::vector<TOptionPair>* options : {&c.Options, &extra})
            for (const TOptionPair& option : *options)
                task->SetOption(QString::fromUtf8(option.Name), QString::fromUtf8(option.Value));
        EXPECT_EQ(task->OpenOutputFile(output, false), 1) << task->LastErrMsg().toStdString();
        return task;
    }

    static void CloseAll(TFFmpeg& task)
    {
        task.CloseOpenedEncoders();
        task.CloseOpenedDecoders();
        task.CloseFiles();
    }

    void ExpectCodecs(const QJsonObject& facts) const
    {
        EXPECT_EQ(CodecOf(facts, "video"), QString::fromUtf8(GetParam().VideoCodec));
        EXPECT_EQ(CodecOf(facts, "audio"), QString::fromUtf8(GetParam().AudioCodec));
    }

    TTemporaryFolder Folder;
};

TEST_P(ContainerHeader, IsReadableAndCarriesTheRequestedCodecs)
{
    const TContainerCase& c = GetParam();

    // The set-up to the written header, then closed as after a failure.
    const QString headerOnly = Folder.FilePath(QStringLiteral("header-") + QString::fromUtf8(c.FileName));
    {
        std::unique_ptr<TFFmpeg> task = PreparedTask(headerOnly);
        if (HasFailure())
            return;
        EXPECT_STREQ(task->Files.Output(0)->oformat->name, c.Muxer);
        ASSERT_EQ(ThrownMessage([&] { task->SetUpTranscode(); }), "");
        EXPECT_TRUE(task->Files.OutputFiles[0]->HeaderWritten);
        CloseAll(*task);
    }
    switch (c.Header) {
    case THeaderShows::Streams:
        ExpectCodecs(FfprobeFacts(headerOnly));
        break;
    case THeaderShows::Signature: {
        const QByteArray signature(c.Signature.Bytes);
        EXPECT_EQ(FileStart(headerOnly, c.Signature.Offset + static_cast<int>(signature.size()))
                      .mid(c.Signature.Offset),
                  signature);
        break;
    }
    case THeaderShows::Nothing:
        EXPECT_FALSE(QFileInfo::exists(headerOnly));
        break;
    }

    // The same set-up followed by a short conversion: the streams as written.
    const QString converted = Folder.FilePath(QString::fromUtf8(c.FileName));
    {
        std::unique_ptr<TFFmpeg> task = PreparedTask(converted, {{"t", "0.4"}});
        if (HasFailure())
            return;
        EXPECT_EQ(ThrownMessage([&] { task->Transcode(); }), "");
        CloseAll(*task);
    }
    const QJsonObject facts = FfprobeFacts(converted);
    EXPECT_EQ(facts.value("format").toObject().value("format_name").toString(), QString::fromUtf8(c.Demuxer));
    ExpectCodecs(facts);
    if (*c.Brand) {
        EXPECT_EQ(facts.value("format").toObject().value("tags").toObject().value("major_brand").toString(),
                  QString::fromUtf8(c.Brand));
    }
}

constexpr const char* Mp4Family = "mov,mp4,m4a,3gp,3g2,mj2";
constexpr TTestMedia Movie = TTestMedia::VideoAudioMp4;
constexpr TTestMedia Mp3 = TTestMedia::AudioMp3;
constexpr TTestMedia Wav = TTestMedia::AudioWav;
constexpr THeaderShows Streams = THeaderShows::Streams;
constexpr THeaderShows Signature = THeaderShows::Signature;
constexpr THeaderShows Nothing = THeaderShows::Nothing;

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Catalogue, ContainerHeader,
    ::testing::Values(
        TContainerCase{"ipod_h264_aac", Movie, {{"f", "ipod"}, {"vcodec", "libx264"}, {"acodec", "libfaac"}},
                       "ipod.mp4", "ipod", Signature, {4, "ftypM4V "}, "M4V ", Mp4Family, "h264", "aac"},
        TContainerCase{"mp4_mpeg4_aac", Movie, {{"f", "mp4"}, {"vcodec", "mpeg4"}, {"acodec", "libfaac"}},
                       "mp4.mp4", "mp4", Signature, {4, "ftypisom"}, "isom", Mp4Family, "mpeg4", "aac"},
        TContainerCase{"mov_h264_mp3", Movie, {{"f", "mov"}, {"vcodec", "libx264"}, {"acodec", "libmp3lame"}},
                       "mov.mov", "mov", Signature, {4, "ftypqt  "}, "qt  ", Mp4Family, "h264", "mp3"},
        TContainerCase{"avi_xvid_mp3", Movie, {{"f", "avi"}, {"vcodec", "libxvid"}, {"acodec", "libmp3lame"}},
                       "avi.avi", "avi", Streams, {}, "", "avi", "mpeg4", "mp3"},
        TContainerCase{"avi_msmpeg4_ac3", Movie, {{"f", "avi"}, {"vcodec", "msmpeg4"}, {"acodec", "ac3"}},
                       "avi2.avi", "avi", Streams, {}, "", "avi", "msmpeg4v3", "ac3"},
        TContainerCase{"mpeg_mpeg1_mp2", Movie, {{"f", "mpeg"}, {"vcodec", "mpeg1video"}, {"acodec", "mp2"}},
                       "mpeg.mpg", "mpeg", Nothing, {}, "", "mpeg", "mpeg1video", "mp2"},
        TContainerCase{"vob_mpeg2_ac3", Movie, {{"f", "vob"}, {"vcodec", "mpeg2video"}, {"acodec", "ac3"}},
                       "vob.mpg", "vob", Nothing, {}, "", "mpeg", "mpeg2video", "ac3"},
        TContainerCase{"dv_dvvideo_pcm", Movie, {{"f", "dv"}, {"vcodec", "dvvideo"}, {"s", "720x576"},
                                                  {"acodec", "pcm_s16le"}, {"ar", "48000"}, {"ac", "2"}},
                       "dv.dv", "dv", Nothing, {}, "", "dv", "dvvideo", "pcm_s16le"},
        TContainerCase{"asf_wmv2_wmav2", Movie, {{"f", "asf"}, {"vcodec", "wmv2"}, {"acodec", "wmav2"}},
                       "asf.wmv", "asf", Streams, {}, "", "asf", "wmv2", "wmav2"},
        TContainerCase{"asf_audio_wmav2", Mp3, {{"f", "asf"}, {"acodec", "wmav2"}},
                       "asf.wma", "asf", Streams, {}, "", "asf", "", "wmav2"},
        TContainerCase{"mp3", Wav, {{"f", "mp3"}, {"acodec", "libmp3lame"}},
                       "mp3.mp3", "mp3", Signature, {0, "ID3"}, "", "mp3", "", "mp3"},
        TContainerCase{"adts_aac", Mp3, {{"f", "adts"}, {"acodec", "libfaac"}},
                       "adts.aac", "adts", Nothing, {}, "", "aac", "", "aac"},
        TContainerCase{"m4a_from_audio", Mp3, {{"f", "ipod"}, {"acodec", "libfaac"}},
                       "m4a.m4a", "ipod", Signature, {4, "ftypM4A "}, "M4A ", Mp4Family, "", "aac"},
        TContainerCase{"wav_pcm", Mp3, {{"f", "wav"}, {"acodec", "pcm_s16le"}},
                       "wav.wav", "wav", Streams, {}, "", "wav", "", "pcm_s16le"},
        TContainerCase{"ogg_vorbis", Wav, {{"f", "ogg"}, {"acodec", "vorbis"}},
                       "ogg.ogg", "ogg", Signature, {28, "\x01vorbis"}, "", "ogg", "", "vorbis"},
        TContainerCase{"ac3", Wav, {{"f", "ac3"}, {"acodec", "ac3"}},
                       "ac3.ac3", "ac3", Nothing, {}, "", "ac3", "", "ac3"}),
    [](const auto& info) { return std::string(info.param.Name); });
// clang-format on

} // namespace
