#pragma once

#include "engine/LoopContext.h"

// The stages of the packet loop, one file each. All run on the task's worker
// thread and throw FFmpegException for failures that end the task.

// DecodePacket.cpp: one packet (or, with none, the flush at an input's end)
// of an input stream through decoding, pre-processing and every output
// stream it feeds. 0, or -1 for a decoding error.
int OutputPacket(TLoopContext& loop, TInputStream& ist, const AVPacket* packet);

// VideoPreprocess.cpp: counts the picture, deinterlaces it and runs the
// custom hook or the video-hook libraries. Returns the picture to use from
// here on (the task's work picture, or the decoded one untouched).
AVFrame* PreprocessPicture(TLoopContext& loop, TInputStream& ist, AVFrame* decoded);

// VideoOutput.cpp: frame-rate synchronisation, cropping, scaling and
// encoding of one picture; the size of the last packet written (0 for none).
int OutputVideoFrame(TLoopContext& loop, TOutputStream& ost, TInputStream& ist, AVFrame* picture);
// Hands one picture to the encoder and writes what comes out (also used to
// drain it with no picture); the size of the last packet written.
int EncodeVideo(TLoopContext& loop, TOutputStream& ost, AVFrame* picture);

// AudioOutput.cpp: synchronisation, resampling, the FIFO and encoding of one
// block of 16-bit interleaved samples of the source stream.
void OutputAudioBlock(TLoopContext& loop, TOutputStream& ost, TInputStream& ist, const uint8_t* data,
                      int64_t size);
// Encodes samples (16-bit interleaved at the output's rate and channels)
// as one frame and writes the packets; with no samples it drains the encoder.
void EncodeAudio(TLoopContext& loop, TOutputStream& ost, const uint8_t* samples, int sampleCount);

// SubtitleOutput.cpp
void OutputSubtitle(TLoopContext& loop, TOutputStream& ost, TInputStream& ist, AVSubtitle& subtitle,
                    int64_t packetPts);

// StreamCopy.cpp: one input packet copied to an output stream.
void CopyPacket(TLoopContext& loop, TOutputStream& ost, TInputStream& ist, const AVPacket& packet);

// EncoderFlush.cpp: drains every encoder fed by the input stream.
void FlushEncoders(TLoopContext& loop, TInputStream& ist);

// WriteFrame.cpp: the stream's bit-stream filters, then the container.
void WriteFrame(TLoopContext& loop, TOutputStream& ost, AVPacket* packet);

// Reports.cpp: a periodic (fileIndex = the input just read) or final
// (isLast, fileIndex -1) report; the summary after the final one.
void PrintReport(TLoopContext& loop, bool isLast, int fileIndex);
// After each packet of an encoded video stream, with "vstats".
void WriteVideoStats(TLoopContext& loop, TOutputStream& ost, int packetSize);
