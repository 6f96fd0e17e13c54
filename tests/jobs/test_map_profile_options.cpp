// The option records of one task, compared whole: every field of both records
// is checked, so a value set where none belongs fails as well as a missing one.
#include "jobs/MapProfileOptions.h"

#include "app/GlobalObject.h"
#include "app/IniFile.h"
#include "engine/CodecLookup.h"
#include "engine/OptionRecords.h"
#include "jobs/MapProfileOptionsCodecs.h"
#include "jobs/TlvFilesRecord.h"
#include "platform/DialogService.h"
#include "platform/NumberText.h"
#include "probe/AVProbe.h"
#include "support/TemporaryFolder.h"
#include "support/TestMedia.h"

#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <map>
#include <sstream>

namespace {

using TFields = std::vector<std::pair<std::string, std::string>>;

std::string Text(const QString& v)
{
    return '"' + v.toStdString() + '"';
}
std::string Text(bool v)
{
    return v ? "true" : "false";
}
std::string Text(qint64 v)
{
    return v == NoTimestamp ? std::string("NoTimestamp") : std::to_string(v);
}
std::string Text(int v)
{
    return std::to_string(v);
}
std::string Text(double v)
{
    std::ostringstream s;
    s << v;
    return s.str();
}

#define FIELD(record, name) fields.emplace_back(#name, Text(record.name))

TFields FieldsOf(const TInputOptions& r)
{
    TFields fields;
    FIELD(r, FileName);
    FIELD(r, FileFormat);
    FIELD(r, StartTime);
    FIELD(r, ProgramID);
    FIELD(r, ExtOptions);
    return fields;
}

TFields FieldsOf(const TOutputOptions& r)
{
    TFields fields;
    FIELD(r, FileName);
    FIELD(r, FileFormat);
    FIELD(r, PacketSize);
    FIELD(r, MuxRate);
    fields.emplace_back("MuxDelay", Text(double(r.MuxDelay)));
    fields.emplace_back("MuxPreload", Text(double(r.MuxPreload)));
    FIELD(r, AudioCodec);
    FIELD(r, AudioPreset);
    FIELD(r, DisableAudio);
    FIELD(r, AudioVolume);
    FIELD(r, AudioChannels);
    FIELD(r, AudioSampleRate);
    FIELD(r, AudioBitrate);
    FIELD(r, AudioBitrateTolerance);
    FIELD(r, AudioLanguage);
    FIELD(r, AudioSync);
    FIELD(r, AudioTag);
    FIELD(r, VideoCodec);
    FIELD(r, VideoPreset);
    FIELD(r, DisableVideo);
    FIELD(r, FrameRate);
    FIELD(r, FrameSize);
    FIELD(r, AspectRatio);
    FIELD(r, CropTop);
    FIELD(r, CropBottom);
    FIELD(r, CropLeft);
    FIELD(r, CropRight);
    FIELD(r, GopSize);
    FIELD(r, VideoBitrate);
    FIELD(r, VideoMaxRate);
    FIELD(r, VideoMinRate);
    FIELD(r, VideoBitrateTolerance);
    FIELD(r, VideoBufSize);
    FIELD(r, VideoSync);
    FIELD(r, VideoTag);
    FIELD(r, VideoFilters);
    FIELD(r, VideoLanguage);
    FIELD(r, SubtitleCodec);
    FIELD(r, SubtitlePreset);
    FIELD(r, DisableSubtitle);
    FIELD(r, SubtitleLanguage);
    FIELD(r, InputSync);
    FIELD(r, CopyTimestamps);
    FIELD(r, StartTime);
    FIELD(r, RecordingTime);
    FIELD(r, Info.Timestamp);
    FIELD(r, Info.Year);
    FIELD(r, Info.Track);
    FIELD(r, Info.Title);
    FIELD(r, Info.Author);
    FIELD(r, Info.Copyright);
    FIELD(r, Info.Comment);
    FIELD(r, Info.Album);
    FIELD(r, Info.Genre);
    FIELD(r, TargetType);
    FIELD(r, TargetNorm);
    FIELD(r, TargetDefaultNorm);
    FIELD(r, CustomHook);
    FIELD(r, JoinInputs);
    FIELD(r, ExtOptions);
    return fields;
}

#undef FIELD

// Lists every field that differs, by name.
template <typename Record> std::string Differences(const Record& actual, const Record& expected)
{
    const TFields a = FieldsOf(actual);
    const TFields e = FieldsOf(expected);
    std::string text;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].second != e[i].second)
            text += "\n  " + a[i].first + ": " + a[i].second + ", expected " + e[i].second;
    return text;
}

template <typename Record>
void ExpectSameRecord(const Record& actual, const Record& expected, const std::string& what)
{
    const std::string differences = Differences(actual, expected);
    EXPECT_TRUE(differences.empty()) << what << differences;
}

using TKeys = std::vector<std::pair<QString, QString>>;

const int Code = 101;
const QString Section = "formatInfo101";
const QString SourceName = "/clips/holiday.avi";
const QString Destination = "/out/holiday_(new).mp4";

// A profile whose every value is given, so each case changes only what it is about.
TKeys IpodH264(TKeys changes = {})
{
    std::map<QString, QString> keys = {
        {"paraVideoEncoder", "libx264"}, {"paraVideoSize", "320x240"},    {"paraVideoBitRate", "768"},
        {"paraFrameRate", "29.97"},      {"paraAudioEncoder", "libfaac"}, {"paraChannel", "2"},
        {"paraSampleRate", "44100"},     {"paraAudioBitRate", "128"},     {"paraVolume", "256"},
    };
    for (const auto& [key, value] : changes)
        keys[key] = value;
    return TKeys(keys.begin(), keys.end());
}

// What every case of IpodH264 maps to for a 640x480 source in letterbox.
void IpodH264Output(TOutputOptions& o)
{
    o.FileFormat = "ipod";
    o.VideoCodec = "libx264";
    o.VideoPreset = "libx264-ipod";
    o.VideoBitrate = 768000;
    o.FrameRate = "29.97";
    o.FrameSize = "320x240";
    o.AspectRatio = "320:240";
    o.CropTop = o.CropBottom = o.CropLeft = o.CropRight = 0;
    o.VideoFilters = "pad=320:240:0:0";
    o.AudioCodec = "libfaac";
    o.AudioChannels = 2;
    o.AudioSampleRate = 44100;
    o.AudioBitrate = 128000;
}

struct TMappingCase
{
    const char* Name;
    QString Format; // catalogue "Format"; empty: no key
    TKeys Settings;
    TSourceVideo Source;
    std::function<void(TlvFilesRecord&)> Row;
    std::function<void(TOutputOptions&, TInputOptions&)> Expect; // changes from the records as handed in
    std::vector<TMsgResult> Answers = {};                        // one per question expected
};

const TSourceVideo Vga{1, 640, 480, 1000000};
const TSourceVideo Ntsc{1, 720, 480, 2000000};
const TSourceVideo Hd720{1, 1280, 720, 3000000};
const TSourceVideo Qcif{1, 176, 144, 100000};
const TSourceVideo NoVideo{0, -1, -1, -1};

auto Zoom(const char* mode)
{
    return [mode](TlvFilesRecord& row) { row.Zoom = mode; };
}

auto ZoomAndCrop(const char* mode, int top, int left, int bottom, int right)
{
    return [=](TlvFilesRecord& row) {
        row.Zoom = mode;
        row.CropTop = top;
        row.CropLeft = left;
        row.CropBottom = bottom;
        row.CropRight = right;
    };
}

const auto Lbox = Zoom("lbox");

std::vector<TMappingCase> MappingCases()
{
    const auto audioOnlyBase = [](TOutputOptions& o, TInputOptions& i) {
        o.DisableVideo = true;
        o.DisableSubtitle = true;
        i.ExtOptions = "vn=1";
    };
    const TMsgResult Yes = TMsgResult::Yes, No = TMsgResult::No;
    return {
        // Audio-only path.
        {"audio-only profile with no settings at all: the defaults, volume unchanged",
         "ipod",
         {},
         Vga,
         Lbox,
         [&](TOutputOptions& o, TInputOptions& i) {
             audioOnlyBase(o, i);
             o.AudioCodec = "libfaac";
             o.AudioChannels = 2;
             o.AudioSampleRate = 44100;
             o.AudioBitrate = 128000;
         }},
        {"audio-only with its own values; fractional kbit/s",
         "mp3",
         {{"paraAudioEncoder", "libmp3lame"},
          {"paraChannel", "1"},
          {"paraSampleRate", "22050"},
          {"paraAudioBitRate", "96.5"},
          {"paraVolume", "512"}},
         Vga,
         Lbox,
         [&](TOutputOptions& o, TInputOptions& i) {
             audioOnlyBase(o, i);
             o.AudioCodec = "libmp3lame";
             o.AudioChannels = 1;
             o.AudioSampleRate = 22050;
             o.AudioBitrate = 96500;
             o.AudioVolume = 512;
         }},
        {"audio-only: as source, zero and junk leave the engine's defaults",
         "mp3",
         {{"paraVideoEncoder", "   "},
          {"paraAudioEncoder", "ac3"},
          {"paraChannel", "as source"},
          {"paraSampleRate", "0"},
          {"paraAudioBitRate", "as source"}},
         Vga,
         Lbox,
         [&](TOutputOptions& o, TInputOptions& i) {
             audioOnlyBase(o, i);
             o.AudioCodec = "ac3";
         }},
        {"audio-only: negative channels, junk rate, zero bit rate",
         "mp3",
         {{"paraChannel", "-2"}, {"paraSampleRate", "fast"}, {"paraAudioBitRate", "0"}},
         Vga,
         Lbox,
         [&](TOutputOptions& o, TInputOptions& i) {
             audioOnlyBase(o, i);
             o.AudioCodec = "libfaac";
         }},

        // Video path: codecs, presets, containers, rates.
        {"iPod H.264 profile, 640x480 source in letterbox", "ipod", IpodH264(), Vga, Lbox,
         [](TOutputOptions& o, TInputOptions&) { IpodH264Output(o); }},
        {"video bit rate as source copies the source's", "ipod",
         IpodH264({{"paraVideoBitRate", "as source"}}), Vga, Lbox,
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.VideoBitrate = 1000000;
         }},
        {"video bit rate 0 sets none", "ipod", IpodH264({{"paraVideoBitRate", "0"}}), Vga, Lbox,
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.VideoBitrate = -1;
         }},
        {"video bit rate that is not integer text copies the source's", "ipod",
         IpodH264({{"paraVideoBitRate", "768.5"}}), Vga, Lbox,
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.VideoBitrate = 1000000;
         }},
        {"absurd video bit rate is held at the largest value", "ipod",
         IpodH264({{"paraVideoBitRate", "2000000000"}}), Vga, Lbox,
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.VideoBitrate = std::numeric_limits<int>::max();
         }},
        {"frame rate as source sets none", "ipod", IpodH264({{"paraFrameRate", "as source"}}),
         Vga, Lbox,
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.FrameRate = "";
         }},
        {"frame rate 0 sets none", "ipod", IpodH264({{"paraFrameRate", "0"}}), Vga, Lbox,
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.FrameRate = "";
         }},
        {"integer frame rate is passed as written", "ipod", IpodH264({{"paraFrameRate", "25"}}), Vga, Lbox,
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.FrameRate = "25";
         }},
        {"H.264 preset follows the keyword; mp4 is no forced container", "mp4",
         IpodH264({{"paraVideoEncoder", "libx264"}}), Vga, Lbox,
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.FileFormat = "";
             o.VideoPreset = "libx264-mp4";
         }},
        {"PSP keyword: its preset and container as written", "PSP", IpodH264(), Vga, Lbox,
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.FileFormat = "PSP";
             o.VideoPreset = "libx264-psp";
         }},
        {"a container name stored as encoder leaves the container's encoder", "flv",
         IpodH264({{"paraVideoEncoder", "flv"}}), Vga, Lbox,
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.FileFormat = "flv";
             o.VideoCodec = "";
             o.VideoPreset = "";
         }},
        {"encoder names compare with their case", "avi", IpodH264({{"paraVideoEncoder", "MPEG4"}}), Vga, Lbox,
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.FileFormat = "avi";
             o.VideoCodec = "";
             o.VideoPreset = "";
         }},
        {"MPEG-2 brings the DVD target whatever the container", "avi",
         IpodH264({{"paraVideoEncoder", "mpeg2video"}}), Vga, Lbox,
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.FileFormat = "avi";
             o.VideoCodec = "mpeg2video";
             o.VideoPreset = "";
             o.TargetType = 3;
         }},

        // Target keywords: their aspect ratio survives only a zoom mode that sets none.
        {"NTSC DVD at its full size is 16:9", "ntsc-dvd",
         IpodH264({{"paraVideoEncoder", "mpeg2video"}, {"paraVideoSize", "720x480"}}), Ntsc, Zoom("none"),
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.FileFormat = "";
             o.VideoCodec = "mpeg2video";
             o.VideoPreset = "";
             o.TargetType = 3;
             o.TargetNorm = 2;
             o.AspectRatio = "16:9";
             o.FrameSize = "";
             o.VideoFilters = "";
         }},
        {"PAL DVD below its full size is 4:3", "PAL-DVD",
         IpodH264({{"paraVideoEncoder", "mpeg2video"}, {"paraVideoSize", "352x576"}}), Ntsc, Zoom("none"),
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.FileFormat = "";
             o.VideoCodec = "mpeg2video";
             o.VideoPreset = "";
             o.TargetType = 3;
             o.TargetNorm = 1;
             o.AspectRatio = "4:3";
             o.FrameSize = "";
             o.VideoFilters = "";
         }},
        {"PAL VCD: vcd target, PAL; the zoom mode replaces the aspect ratio", "pal-vcd",
         IpodH264({{"paraVideoEncoder", "mpeg1video"}, {"paraVideoSize", "352x288"}}), Ntsc, Zoom("full"),
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.FileFormat = "";
             o.VideoCodec = "mpeg1video";
             o.VideoPreset = "";
             o.TargetType = 1;
             o.TargetNorm = 1;
             o.FrameSize = "352x288";
             o.AspectRatio = "352:288";
             o.VideoFilters = "";
         }},
        {"NTSC SVCD", "ntsc-svcd",
         IpodH264({{"paraVideoEncoder", "mpeg2video"}, {"paraVideoSize", "480x480"}}), Ntsc, Zoom("none"),
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.FileFormat = "";
             o.VideoCodec = "mpeg2video";
             o.VideoPreset = "";
             o.TargetType = 3; // the encoder's DVD target comes after the keyword's
             o.TargetNorm = 2;
             o.AspectRatio = "4:3";
             o.FrameSize = "";
             o.VideoFilters = "";
         }},

        // Frame size and its question.
        {"size with x first: asked, Yes gives 320x240",
         "ipod",
         IpodH264({{"paraVideoSize", "x240"}}),
         Hd720,
         Zoom("full"),
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.VideoFilters = "";
         },
         {Yes}},
        {"size with x last: asked, No keeps the source size",
         "ipod",
         IpodH264({{"paraVideoSize", "640x"}}),
         Hd720,
         Zoom("full"),
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.FrameSize = "1280x720";
             o.AspectRatio = "1280:720";
             o.VideoFilters = "";
         },
         {No}},
        {"no size setting: asked",
         "ipod",
         [] {
             TKeys keys = IpodH264();
             std::erase_if(keys, [](const auto& k) { return k.first == "paraVideoSize"; });
             return keys;
         }(),
         Hd720,
         Zoom("full"),
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.VideoFilters = "";
         },
         {Yes}},
        {"capital X is no separator: asked",
         "ipod",
         IpodH264({{"paraVideoSize", "320X240"}}),
         Hd720,
         Zoom("full"),
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.VideoFilters = "";
         },
         {Yes}},
        {"size as source: not asked", "ipod", IpodH264({{"paraVideoSize", "as source"}}), Hd720, Zoom("full"),
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.FrameSize = "1280x720";
             o.AspectRatio = "1280:720";
             o.VideoFilters = "";
         }},
        {"letters before the x: source width, typed height, not asked", "ipod",
         IpodH264({{"paraVideoSize", "wide x240"}}), Hd720, Zoom("full"),
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.FrameSize = "1280x240";
             o.AspectRatio = "1280:240";
             o.VideoFilters = "";
         }},
        {"H.263 with 320x240 becomes 352x288", "3gp",
         IpodH264({{"paraVideoEncoder", "h263"}, {"paraVideoSize", "320x240"}}), Hd720, Zoom("full"),
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.FileFormat = "3gp";
             o.VideoCodec = "h263";
             o.VideoPreset = "";
             o.FrameSize = "352x288";
             o.AspectRatio = "352:288";
             o.VideoFilters = "";
         }},
        {"H.263 with 176x144 stays", "3gp",
         IpodH264({{"paraVideoEncoder", "h263"}, {"paraVideoSize", "176x144"}}), Hd720, Zoom("full"),
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.FileFormat = "3gp";
             o.VideoCodec = "h263";
             o.VideoPreset = "";
             o.FrameSize = "176x144";
             o.AspectRatio = "176:144";
             o.VideoFilters = "";
         }},
        {"H.263 wider than 352 becomes 704x576", "3gp",
         IpodH264({{"paraVideoEncoder", "h263"}, {"paraVideoSize", "400x300"}}), Hd720, Zoom("full"),
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.FileFormat = "3gp";
             o.VideoCodec = "h263";
             o.VideoPreset = "";
             o.FrameSize = "704x576";
             o.AspectRatio = "704:576";
             o.VideoFilters = "";
         }},
        {"H.263 and the 320x240 answer: no H.263 sizing",
         "3gp",
         IpodH264({{"paraVideoEncoder", "h263"}, {"paraVideoSize", "null"}}),
         Hd720,
         Zoom("full"),
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.FileFormat = "3gp";
             o.VideoCodec = "h263";
             o.VideoPreset = "";
             o.VideoFilters = "";
         },
         {Yes}},

        // Letterbox.
        {"letterbox 720x480 into 320x240", "ipod", IpodH264(), Ntsc, Lbox,
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.FrameSize = "320x212";
             o.AspectRatio = "320:212";
             o.VideoFilters = "pad=320:240:0:14";
         }},
        {"letterbox 1280x720 into 320x240", "ipod", IpodH264(), Hd720, Lbox,
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.FrameSize = "320x180";
             o.AspectRatio = "320:180";
             o.VideoFilters = "pad=320:240:0:30";
         }},
        {"letterbox of a narrower source pads left and right", "ipod", IpodH264(), Qcif, Lbox,
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.FrameSize = "292x240";
             o.AspectRatio = "292:240";
             o.VideoFilters = "pad=320:240:14:0";
         }},
        {"letterbox with a row crop: cropped, scaled and padded by the filter, fitted by the cropped picture",
         "ipod", IpodH264(), Hd720, ZoomAndCrop("lbox", 60, 0, 60, 0),
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.FrameSize = "";
             o.AspectRatio = "320:152";
             o.VideoFilters = "crop=1280:600:0:60,scale=320:152,pad=320:240:0:44";
         }},

        // Full screen.
        {"full screen with a row crop: the engine crops", "ipod", IpodH264(), Hd720,
         ZoomAndCrop("full", 8, 20, 10, 40),
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.CropTop = 8;
             o.CropLeft = 20;
             o.CropBottom = 10;
             o.CropRight = 40;
             o.VideoFilters = "";
         }},

        // Pan and scan.
        {"pan and scan of 1280x720 crops the sides to 4:3", "ipod", IpodH264(), Hd720, Zoom("pan"),
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.CropLeft = o.CropRight = 160;
             o.VideoFilters = "";
         }},
        {"pan and scan of 720x480 crops the sides", "ipod", IpodH264(), Ntsc, Zoom("pan"),
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.CropLeft = o.CropRight = 40;
             o.VideoFilters = "";
         }},
        {"pan and scan of a narrower source crops top and bottom", "ipod", IpodH264(), Qcif, Zoom("pan"),
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.CropTop = o.CropBottom = 6;
             o.VideoFilters = "";
         }},
        {"pan and scan adds the row's crop of the long axis and drops the other axis", "ipod", IpodH264(),
         Hd720, ZoomAndCrop("pan", 10, 20, 10, 20),
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             // Row-cropped 1240x700 keeps 933.33 of its width: 153 per side, + 20, made even.
             o.CropLeft = o.CropRight = 172;
             o.VideoFilters = "";
         }},
        {"pan and scan of an exactly 4:3 source crops nothing", "ipod", IpodH264(), Vga, Zoom("pan"),
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.VideoFilters = "";
         }},

        // Center.
        {"center: a smaller picture at its own size in the middle", "ipod", IpodH264(), Qcif, Zoom("center"),
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.FrameSize = "176x144";
             o.VideoFilters = "pad=320:240:72:48:black";
         }},
        {"center: a larger picture scaled down to fit, proportions kept", "ipod", IpodH264(), Hd720,
         Zoom("center"),
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.FrameSize = "320x180";
             o.VideoFilters = "pad=320:240:0:30:black";
         }},
        {"center with a row crop: the engine crops, the cropped picture is centred", "ipod", IpodH264(),
         Hd720, ZoomAndCrop("center", 0, 480, 0, 480),
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.CropLeft = o.CropRight = 480;
             o.FrameSize = "106x240"; // 320x720 scaled by 1/3
             o.VideoFilters = "pad=320:240:106:0:black";
         }},
        {"unknown zoom mode: no size, aspect, crop or filter", "ipod", IpodH264(), Hd720, Zoom("Full"),
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.FrameSize = "";
             o.AspectRatio = "";
             o.VideoFilters = "";
         }},

        // Source without video.
        {"source without video and a video profile: video off, codec and preset kept, no container", "ipod",
         IpodH264({{"paraVideoSize", "null"}}), NoVideo, Lbox,
         [](TOutputOptions& o, TInputOptions&) {
             o.VideoCodec = "libx264";
             o.VideoPreset = "libx264-ipod";
             o.DisableVideo = true;
             o.AudioCodec = "libfaac";
             o.AudioChannels = 2;
             o.AudioSampleRate = 44100;
             o.AudioBitrate = 128000;
         }},

        // Audio of the video path.
        {"video path: no audio encoder disables the audio; volume and channel rules", "ipod",
         IpodH264({{"paraAudioEncoder", ""},
                   {"paraChannel", "0"},
                   {"paraSampleRate", "as source"},
                   {"paraAudioBitRate", "as source"},
                   {"paraVolume", "128"}}),
         Vga, Lbox,
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.AudioCodec = "";
             o.DisableAudio = true;
             o.AudioChannels = 0;
             o.AudioSampleRate = -1;
             o.AudioBitrate = -1;
             o.AudioVolume = 128;
         }},
        {"video path: the old AMR name, channels as source, no volume key", "3gp",
         [] {
             TKeys keys = IpodH264({{"paraVideoEncoder", "h263"},
                                    {"paraVideoSize", "176x144"},
                                    {"paraAudioEncoder", "libamr_nb"},
                                    {"paraChannel", "as source"},
                                    {"paraSampleRate", "8000"},
                                    {"paraAudioBitRate", "12.2"}});
             std::erase_if(keys, [](const auto& k) { return k.first == "paraVolume"; });
             return keys;
         }(),
         Qcif, Lbox,
         [](TOutputOptions& o, TInputOptions&) {
             IpodH264Output(o);
             o.FileFormat = "3gp";
             o.VideoCodec = "h263";
             o.VideoPreset = "";
             o.FrameSize = "176x144";
             o.AspectRatio = "176:144";
             o.VideoFilters = "pad=176:144:0:0";
             o.AudioCodec = "libopencore_amrnb";
             o.AudioChannels = -1;
             o.AudioSampleRate = 8000;
             o.AudioBitrate = 12200;
         }},
    };
}

// Writes a catalogue and a settings section for one profile.
class MappingFixture : public ::testing::Test
{
protected:
    MappingFixture()
        : Catalogue(Temp.FilePath("quenvoipodformat.ini")), Settings(Temp.FilePath("quenvoipodclarvix.ini")),
          Scope(Recorder)
    {
    }

    void WriteProfile(const QString& format, const TKeys& keys)
    {
        Catalogue.EraseSection(Section);
        Settings.EraseSection(Section);
        Catalogue.WriteString(Section, "FileExt", "mp4");
        if (!format.isEmpty())
            Catalogue.WriteString(Section, "Format", format);
        Settings.WriteString(Section, "parazoom", "lbox");
        for (const auto& [key, value] : keys)
            Settings.WriteString(Section, key, value);
    }

    static TInputOptions InputAsHandedIn()
    {
        TInputOptions input;
        input.FileName = SourceName;
        return input;
    }

    static TOutputOptions OutputAsHandedIn()
    {
        TOutputOptions output;
        output.FileName = Destination;
        return output;
    }

    TTemporaryFolder Temp;
    IniFile Catalogue;
    IniFile Settings;
    TRecordingDialogs Recorder;
    TScopedDialogs Scope;
};

const QString SizeQuestion = "Error output Video Size.Use the default size 320x240?";

} // namespace

TEST_F(MappingFixture, EveryCaseFillsBothRecordsCompletely)
{
    for (const TMappingCase& c : MappingCases()) {
        SCOPED_TRACE(c.Name);
        WriteProfile(c.Format, c.Settings);
        TlvFilesRecord row;
        row.FileName = SourceName;
        c.Row(row);
        Recorder = TRecordingDialogs();
        Recorder.Answers.assign(c.Answers.begin(), c.Answers.end());

        TInputOptions input = InputAsHandedIn();
        TOutputOptions output = OutputAsHandedIn();
        MapProfileOptions(Catalogue, Settings, row, Code, output, c.Source, input);

        TInputOptions expectedInput = InputAsHandedIn();
        TOutputOptions expectedOutput = OutputAsHandedIn();
        c.Expect(expectedOutput, expectedInput);
        ExpectSameRecord(input, expectedInput, "input record:");
        ExpectSameRecord(output, expectedOutput, "output record:");

        ASSERT_EQ(Recorder.Boxes.size(), c.Answers.size());
        for (const TRecordingDialogs::Shown& box : Recorder.Boxes) {
            EXPECT_EQ(box.Text, SizeQuestion);
            EXPECT_EQ(box.Caption, "Warning");
            EXPECT_EQ(box.Icon, TMsgIcon::Question);
            EXPECT_EQ(box.Buttons, TMsgButtons::YesNo);
        }
    }
}

TEST_F(MappingFixture, SizeQuestionIsAskedForEveryFileWhileTheSettingStaysInvalid)
{
    WriteProfile("ipod", IpodH264({{"paraVideoSize", "320"}}));
    TlvFilesRecord row;
    Recorder.Answers = {TMsgResult::Yes, TMsgResult::No};
    TInputOptions input;
    TOutputOptions first, second;
    MapProfileOptions(Catalogue, Settings, row, Code, first, Hd720, input);
    MapProfileOptions(Catalogue, Settings, row, Code, second, Hd720, input);
    EXPECT_EQ(Recorder.Boxes.size(), 2u);
    EXPECT_EQ(first.FrameSize, "320x180");
    EXPECT_EQ(second.FrameSize, "1280x720");
    EXPECT_EQ(Settings.ReadString(Section, "paraVideoSize", ""), "320") << "the answer is not stored";
}

TEST_F(MappingFixture, VolumeThatIsNotIntegerTextIsAConversionErrorOnBothPaths)
{
    const std::pair<TKeys, std::string> cases[] = {{{{"paraVolume", "100%"}}, "100%"},
                                                   {IpodH264({{"paraVolume", "loud"}}), "loud"}};
    for (const auto& [keys, volume] : cases) {
        WriteProfile("ipod", keys);
        TInputOptions input;
        TOutputOptions output;
        try {
            MapProfileOptions(Catalogue, Settings, TlvFilesRecord(), Code, output, Vga, input);
            ADD_FAILURE() << "no conversion error";
        } catch (const EConvertError& e) {
            EXPECT_EQ(std::string(e.what()), "'" + volume + "' is not a valid integer value");
        }
    }
}

TEST_F(MappingFixture, MissingSectionsGiveTheDefaults)
{
    TInputOptions input = InputAsHandedIn();
    TOutputOptions output = OutputAsHandedIn();
    MapProfileOptions(Catalogue, Settings, TlvFilesRecord(), 4242, output, Vga, input);
    TInputOptions expectedInput = InputAsHandedIn();
    TOutputOptions expectedOutput = OutputAsHandedIn();
    expectedInput.ExtOptions = "vn=1";
    expectedOutput.AudioCodec = "libfaac";
    expectedOutput.AudioChannels = 2;
    expectedOutput.AudioSampleRate = 44100;
    expectedOutput.AudioBitrate = 128000;
    expectedOutput.DisableVideo = true;
    expectedOutput.DisableSubtitle = true;
    ExpectSameRecord(input, expectedInput, "input record:");
    ExpectSameRecord(output, expectedOutput, "output record:");
}

TEST(MapProfileOptionsEncoders, EveryVideoEncoderTheMappingNamesExistsInTheLibrary)
{
    // The library of this build has no encoder for these; the engine reports
    // "Unknown encoder" when a profile asks for one.
    const QStringList knownMissing = {"msmpeg4v1", "libopencore_amrnb"};
    QStringList names = PlainVideoEncoders();
    names << "mpeg2video"
          << "libx264"
          << "libfaac"
          << "libopencore_amrnb";
    QStringList missing;
    for (const QString& name : names)
        if (!avcodec_find_encoder_by_name(MappedEncoderName(name).toUtf8().constData()))
            missing << name;
    for (const QString& name : missing)
        EXPECT_TRUE(knownMissing.contains(name)) << "no encoder for " << name.toStdString();
}

// The five-argument mapping reads the context's INI files and a real probe.
class MappingWithProbe : public MappingFixture
{
protected:
    static void SetUpTestSuite()
    {
        TAVProbe loader;
        ASSERT_TRUE(loader.LoadLibraries(QString())) << loader.LastErrMsg().toStdString();
    }

    MappingWithProbe() : Previous(GlobalObject)
    {
        Context.SetFormatFile(Catalogue.FileName());
        Context.SetSettingsFile(Settings.FileName());
        GlobalObject = &Context;
    }
    ~MappingWithProbe() override { GlobalObject = Previous; }

    TGlobalObject Context;
    TGlobalObject* Previous;
    TAVProbe Probe;
};

TEST_F(MappingWithProbe, SourceFactsComeFromTheFirstVideoStream)
{
    for (TTestMedia id : {TTestMedia::VideoAudioMp4, TTestMedia::Clip2997Fps, TTestMedia::VideoOnly,
                          TTestMedia::OddSize, TTestMedia::AudioMp3, TTestMedia::AudioWav}) {
        const TTestMediaFacts& facts = TestMediaFacts(id);
        SCOPED_TRACE(facts.Name.toStdString());
        ASSERT_TRUE(Probe.Open(TestMediaPath(id)));
        const TSourceVideo source = ReadSourceVideo(Probe);
        EXPECT_EQ(source.VideoStreamCount, facts.VideoStreamCount);
        EXPECT_EQ(source.Width, facts.Width);
        EXPECT_EQ(source.Height, facts.Height);
        if (facts.VideoStreamCount > 0)
            EXPECT_GE(source.BitRate, 0); // some containers do not know it
        else
            EXPECT_EQ(source.BitRate, -1);
    }
    Probe.Close();
    const TSourceVideo nothing = ReadSourceVideo(Probe);
    EXPECT_EQ(nothing.VideoStreamCount, -1) << "an unopened probe reports no video";
    EXPECT_EQ(nothing.Width, -1);
}

TEST_F(MappingWithProbe, TrimmedRowOfAGeneratedClipGivesTheWholeTaskRecords)
{
    WriteProfile("ipod", IpodH264({{"paraVideoBitRate", "as source"}}));
    const QString source = TestMediaPath(TTestMedia::Clip2997Fps); // 320x180
    ASSERT_TRUE(Probe.Open(source));
    TVideoStreamInfo video;
    Probe.GetVideoStreamInfo(-1, video);

    TlvFilesRecord row;
    row.FileName = source;
    row.StartTime = 10000000;
    row.TrimDuration = 20000000;
    TInputOptions input;
    TOutputOptions output;
    input.ExtOptions = "left over";
    MapTaskOptions(row, Code, Destination, Probe, input, output);

    TInputOptions expectedInput;
    expectedInput.FileName = source;
    expectedInput.StartTime = 10000000;
    TOutputOptions expectedOutput = OutputAsHandedIn();
    IpodH264Output(expectedOutput);
    expectedOutput.VideoBitrate = video.BitRate;
    expectedOutput.FrameSize = "320x180";
    expectedOutput.AspectRatio = "320:180";
    expectedOutput.VideoFilters = "pad=320:240:0:30";
    expectedOutput.RecordingTime = 20000000;
    expectedOutput.CustomHook = true;
    ExpectSameRecord(input, expectedInput, "input record:");
    ExpectSameRecord(output, expectedOutput, "output record:");
}

TEST_F(MappingWithProbe, UntrimmedRowKeepsTheUnsetTimes)
{
    WriteProfile("ipod", IpodH264());
    ASSERT_TRUE(Probe.Open(TestMediaPath(TTestMedia::VideoAudioMp4))); // 320x240
    TlvFilesRecord row;
    row.FileName = TestMediaPath(TTestMedia::VideoAudioMp4);
    row.StartTime = -1;
    row.TrimDuration = 0;
    TInputOptions input;
    TOutputOptions output;
    MapTaskOptions(row, Code, Destination, Probe, input, output);

    TInputOptions expectedInput;
    expectedInput.FileName = row.FileName;
    TOutputOptions expectedOutput = OutputAsHandedIn();
    IpodH264Output(expectedOutput); // the source has the frame's size: no bands
    expectedOutput.CustomHook = true;
    ExpectSameRecord(input, expectedInput, "input record:");
    ExpectSameRecord(output, expectedOutput, "output record:");
}

TEST_F(MappingWithProbe, AudioFileWithAVideoProfileAndAnUnopenedProbe)
{
    WriteProfile("ipod", IpodH264({{"paraVideoSize", "x"}}));
    for (bool open : {true, false}) {
        SCOPED_TRACE(open ? "audio-only file" : "probe without a file");
        if (open)
            ASSERT_TRUE(Probe.Open(TestMediaPath(TTestMedia::AudioMp3)));
        else
            Probe.Close();
        TInputOptions input = InputAsHandedIn();
        TOutputOptions output = OutputAsHandedIn();
        MapProfileOptions(TlvFilesRecord(), Code, output, Probe, input);

        TOutputOptions expected = OutputAsHandedIn();
        expected.VideoCodec = "libx264";
        expected.VideoPreset = "libx264-ipod";
        expected.DisableVideo = true;
        expected.AudioCodec = "libfaac";
        expected.AudioChannels = 2;
        expected.AudioSampleRate = 44100;
        expected.AudioBitrate = 128000;
        ExpectSameRecord(input, InputAsHandedIn(), "input record:");
        ExpectSameRecord(output, expected, "output record:");
        EXPECT_TRUE(Recorder.Boxes.empty()) << "no frame size is needed without video";
    }
}

TEST_F(MappingWithProbe, FiveArgumentMappingNeedsTheApplicationContext)
{
    GlobalObject = nullptr;
    TInputOptions input;
    TOutputOptions output;
    EXPECT_THROW(MapProfileOptions(TlvFilesRecord(), Code, output, Probe, input), std::logic_error);
}
