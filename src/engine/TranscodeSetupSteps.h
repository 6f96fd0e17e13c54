#pragma once

// The steps of SetUpTranscode that live in files of their own. Internal to
// the set-up; the loop and the run control use the task's operations.

#include "engine/TCustomFFmpeg.h"

// Stream-copy set-up of an output stream from its source (StreamCopySetup.cpp).
void PrepareStreamCopy(TCustomFFmpeg& task, TOutputStream& ost, const TInputStream& ist);
// Encoding set-up of an output stream from its source; streamNumber is the
// stream's position among all output streams of the task, for the name of
// its statistics file (EncodingSetup.cpp).
void PrepareEncoding(TCustomFFmpeg& task, TOutputStream& ost, TInputStream& ist, int streamNumber);
// A subtitle encoder, before it is opened, takes the styles and canvas size
// of its source's opened decoder; the source's input gives the canvas when
// the decoder has none (EncodingSetup.cpp).
void TakeSubtitleStyles(TOutputStream& ost, const TInputStream& ist, const AVFormatContext* input);

// The library's description of every output (in join mode the first), then,
// when Verbose >= 0, the "Stream mapping:" lines (StreamMappingDump.cpp).
void DumpStreamMapping(TCustomFFmpeg& task);
// Dumps the mapping, logs the message at llError and raises it.
[[noreturn]] void FailWithStreamMapping(TCustomFFmpeg& task, const QString& message);

// "map_meta_data" and the chapters of the inputs (OutputMetadata.cpp).
void ApplyMetadataMaps(TCustomFFmpeg& task);
void CopyChapters(TCustomFFmpeg& task);

// The options of a private option list as a dictionary for the library's
// open calls, which take out what they use (CodecOpening.cpp).
DictionaryPtr PrivateOptions(const std::vector<TPrivateCodecOption>& options);

// Gives target its own copy of source's subtitle header (the styles text
// encoders start from); true also when source has none, false when out of
// memory (CodecOpening.cpp).
bool CopySubtitleHeader(AVCodecContext* target, const AVCodecContext* source);

// Join mode: keeps an unopened copy of the encoder's settings, so that it
// can be opened afresh for every input (CodecOpening.cpp).
void SaveEncoderForReopening(TOutputStream& ost);
// Gives the stream's bit-stream filters their input parameters and
// initialises them; the muxer then sees what the last one puts out (CodecOpening.cpp).
void InitBitStreamFilters(TOutputStream& ost);

// "Video", "Audio", ... of an output stream's codec type.
QString OutputStreamTypeName(const TOutputStream& ost);
