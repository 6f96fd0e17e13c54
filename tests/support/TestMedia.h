#pragma once

#include <QString>
#include <vector>

// Media files for tests, generated on first use with the `ffmpeg` program from
// its test generators (testsrc2, sine). The repository holds no binary media.
//
// Files are cached in <build>/test-media/<recipe hash>/ (or in the folder named
// by CLARVIX_TEST_MEDIA_DIR), shared by every test process of the build: each
// file is made under a lock and renamed into place, so parallel test processes
// never see a half-written fixture. Changing a recipe changes the hash, so a
// stale cache is never used.

enum class TTestMedia {
    VideoAudioMp4,  // H.264 + AAC in MP4, 320x240, 25 fps, 48 kHz stereo
    Clip25Fps,      // MPEG-4 part 2 + MP3 in AVI, 176x144, 25 fps, 44.1 kHz mono
    Clip2997Fps,    // H.264 + AAC in MP4, 320x180, 30000/1001 fps, 44.1 kHz stereo
    AudioMp3,       // MP3 only, 44.1 kHz stereo
    AudioWav,       // PCM s16le in WAV, 22.05 kHz mono
    VideoOnly,      // MPEG-4 part 2 in Matroska, 160x120, 25 fps, no audio
    OddSize,        // MPEG-4 part 2 in AVI, 175x97 (odd width and height), no audio (from testsrc)
    Tagged,         // MP3 with title, artist, author, album, genre, comment, copyright, date, track
    MultiProgramTs, // MPEG-TS, two programs sharing the video stream, one audio stream each
    Truncated,      // the first 4096 bytes of VideoAudioMp4: its index (moov) is missing
    NonAsciiName,   // a copy of VideoAudioMp4 whose name holds non-ASCII characters
    ColonName,      // a copy of Clip25Fps whose name holds ":" and a blank
};

// What a fixture is known to contain, for comparing against a probe.
struct TTestMediaFacts
{
    TTestMedia Id;
    QString Name;       // identifier for messages and lookups, e.g. "video_audio_mp4"
    QString FileName;   // name of the file in the cache folder
    QString FormatName; // short name of the demuxer that reads it
    bool Readable;      // false for the damaged fixture
    int StreamCount;
    int VideoStreamCount;
    int AudioStreamCount;
    int ProgramCount;
    int VideoStreamIndex; // first video stream, -1 when none
    int AudioStreamIndex; // first audio stream, -1 when none
    int Width, Height;    // first video stream, -1 when none
    int FrameRateNum, FrameRateDen;
    int SampleRate, Channels;       // first audio stream, -1 when none
    QString AudioCodec, VideoCodec; // decoder short names, empty when none
    double DurationSeconds;         // nominal length of the generated content
};

// Every fixture, in the order of TTestMedia.
const std::vector<TTestMediaFacts>& AllTestMedia();
const TTestMediaFacts& TestMediaFacts(TTestMedia id);

// Full path of the fixture, generating it (and what it derives from) when missing.
// Throws std::runtime_error with ffmpeg's message when it cannot be made.
QString TestMediaPath(TTestMedia id);

// The cache folder of this build's fixtures (created when missing).
QString TestMediaFolder();

// Copies a fixture to targetPath (any name, e.g. one with odd characters) and
// returns targetPath. Throws std::runtime_error when the copy fails.
QString CopyTestMedia(TTestMedia id, const QString& targetPath);
