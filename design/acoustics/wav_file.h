// The WAV files of the auralisation: 16-bit mono PCM recordings in a
// RIFF/WAVE file, read as the input of the processing and the playback and
// written as its output.
//
// Layout, little-endian:
//   0   "RIFF", u32 size of what follows, "WAVE"
//   12  chunks, each a four-character id, a u32 size, that many bytes and a
//       pad byte when the size is odd
// The "fmt " chunk holds at least the 16-byte format record: +0 u16 format
// tag (1 PCM), +2 u16 channels, +4 u32 sample rate, +8 u32 byte rate, +12
// u16 block align, +14 u16 bits per sample. The "data" chunk holds the
// samples, i16 each.
//
// The reader looks for "fmt " among the chunks of the RIFF chunk, skipping
// any before it (a "LIST" chunk, say), then for "data" among those after it
// ("PAD ", "fact", ...), never past the RIFF chunk's end or the file's. It
// takes only format tag 1 (not the extensible tag, whatever it wraps), one
// channel, 16 bits and a rate of 8000 to 384000 Hz. An odd byte at the end
// of the data chunk is no sample; samples are read up to the end of the data
// chunk and never from the chunks behind it. The writer writes "RIFF",
// "WAVE", a 16-byte "fmt " chunk and the "data" chunk, nothing else.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "framework/core/byte_codec.h"

constexpr size_t kWavFormatRecordSize = 16;
constexpr size_t kWavHeaderSize = 44;  // what the writer puts before the samples
constexpr uint16_t kWavFormatPcm = 1;
// Rates outside these are refused: the band filters need 8 kHz at least,
// and no recorder writes more than the upper one.
constexpr uint32_t kLeastWavSampleRate = 8000;
constexpr uint32_t kMostWavSampleRate = 384000;

inline constexpr char kCannotReadWavMessage[] = "Cannot read input WAVE file";
inline constexpr char kWrongWavFormatMessage[] = "Input file must be a 16-bit mono PCM WAVE file";
inline constexpr char kCannotWriteWavMessage[] = "Cannot write output WAVE file";

enum class WavCheck {
  kOk,
  kCannotRead,   // cannot be opened, too short for its RIFF header or its format record
  kWrongFormat,  // not RIFF/WAVE, no or a short "fmt " chunk, not 16-bit mono PCM, a rate out of range, no "data"
};
// The message of a failed check; null for kOk.
const char* WavCheckMessage(WavCheck check);

struct WavInfo {
  std::array<uint8_t, kWavFormatRecordSize> formatRecord{};  // as stored
  uint16_t formatTag = 0;
  uint16_t channels = 0;
  uint32_t sampleRate = 0;
  uint16_t bitsPerSample = 0;
  uint32_t dataSize = 0;  // of the data chunk, as its header says
  uint32_t SampleCount() const { return dataSize / 2; }
};

// Reads the RIFF header and the format record from the reader's position (a
// file's start) and, with `findData`, goes on to the data chunk, leaving the
// reader at its first sample.
WavCheck ReadWavHeader(ByteReader& reader, WavInfo& info, bool findData);

// A WAV input being read: its header checked, then its samples in order.
class WavInput {
 public:
  // Opens the file and checks it; the samples follow when `findData`.
  WavCheck Open(const std::string& path, bool findData = true);
  // The same over bytes in memory, which must outlive the input.
  WavCheck Open(std::span<const uint8_t> bytes, bool findData = true);

  const WavInfo& info() const { return info_; }
  // Up to out.size() of the next samples, fewer only at the end of the data
  // chunk or when the file ends before it (EndedEarly()).
  size_t Read(std::span<int16_t> out);
  uint32_t SamplesLeft() const { return samplesLeft_; }
  bool EndedEarly() const { return endedEarly_; }

 private:
  WavCheck Start(bool findData);
  std::unique_ptr<ByteReader> reader_;
  WavInfo info_;
  uint32_t samplesLeft_ = 0;
  bool endedEarly_ = false;
};

// The header of a file of `sampleCount` samples whose "fmt " chunk is
// `formatRecord`; false when the writer fails or the file would pass 4 GB.
bool WriteWavHeader(ByteWriter& writer, std::span<const uint8_t, kWavFormatRecordSize> formatRecord,
                    uint32_t sampleCount);
bool WriteWavSamples(ByteWriter& writer, std::span<const int16_t> samples);
// The format record of 16-bit mono PCM at `sampleRate`.
std::array<uint8_t, kWavFormatRecordSize> MonoPcmFormatRecord(uint32_t sampleRate);
