#include "design/acoustics/wav_file.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr size_t kChunkHeaderSize = 8;
constexpr size_t kRiffHeaderSize = 12;
constexpr uint16_t kBitsPerSample = 16;
// Samples read or written at a time.
constexpr size_t kSampleBatch = 4096;

bool IsId(const uint8_t* p, const char* id) { return std::memcmp(p, id, 4) == 0; }

// Moves the reader past the chunk header of the first chunk called `id`
// before `end`, skipping the others with their pad bytes; `size` is its
// size. False when no such chunk starts before `end`.
bool FindChunk(ByteReader& reader, uint64_t end, const char* id, uint32_t& size) {
  uint8_t header[kChunkHeaderSize];
  while (reader.Position() + kChunkHeaderSize <= end && reader.Bytes(header, kChunkHeaderSize)) {
    size = LoadU32(header + 4);
    if (IsId(header, id)) return true;
    const uint64_t advance = uint64_t(size) + (size & 1);
    if (advance > end - reader.Position() || !reader.Skip(advance)) return false;
  }
  return false;
}

}  // namespace

const char* WavCheckMessage(WavCheck check) {
  switch (check) {
    case WavCheck::kOk: return nullptr;
    case WavCheck::kCannotRead: return kCannotReadWavMessage;
    case WavCheck::kWrongFormat: return kWrongWavFormatMessage;
  }
  return nullptr;
}

WavCheck ReadWavHeader(ByteReader& reader, WavInfo& info, bool findData) {
  uint8_t riff[kRiffHeaderSize];
  const uint64_t fileEnd = reader.Position() + reader.Remaining();
  if (!reader.Bytes(riff, kRiffHeaderSize)) return WavCheck::kCannotRead;
  if (!IsId(riff, "RIFF") || !IsId(riff + 8, "WAVE")) return WavCheck::kWrongFormat;
  const uint64_t end = std::min<uint64_t>(fileEnd, reader.Position() - 4 + LoadU32(riff + 4));

  uint32_t size = 0;
  if (!FindChunk(reader, end, "fmt ", size) || size < kWavFormatRecordSize) return WavCheck::kWrongFormat;
  WavInfo read;
  if (!reader.Bytes(read.formatRecord.data(), kWavFormatRecordSize)) return WavCheck::kCannotRead;
  const uint8_t* record = read.formatRecord.data();
  read.formatTag = LoadU16(record);
  read.channels = LoadU16(record + 2);
  read.sampleRate = LoadU32(record + 4);
  read.bitsPerSample = LoadU16(record + 14);
  // Leaving the chunk: its rest must lie in the file; a missing pad byte at
  // the file's end only ends the chunks.
  const uint64_t rest = size - kWavFormatRecordSize;
  if (rest > reader.Remaining() || !reader.Skip(rest)) return WavCheck::kCannotRead;
  if ((size & 1) && reader.Remaining() > 0) reader.Skip(1);

  if (read.formatTag != kWavFormatPcm || read.channels != 1 || read.bitsPerSample != kBitsPerSample ||
      read.sampleRate < kLeastWavSampleRate || read.sampleRate > kMostWavSampleRate)
    return WavCheck::kWrongFormat;
  if (findData && !FindChunk(reader, end, "data", read.dataSize)) return WavCheck::kWrongFormat;
  info = read;
  return WavCheck::kOk;
}

WavCheck WavInput::Open(const std::string& path, bool findData) {
  auto file = std::make_unique<FileReader>(path);
  if (!file->IsOpen()) return WavCheck::kCannotRead;
  reader_ = std::move(file);
  return Start(findData);
}

WavCheck WavInput::Open(std::span<const uint8_t> bytes, bool findData) {
  reader_ = std::make_unique<MemoryReader>(bytes);
  return Start(findData);
}

WavCheck WavInput::Start(bool findData) {
  info_ = WavInfo{};
  endedEarly_ = false;
  const WavCheck check = ReadWavHeader(*reader_, info_, findData);
  samplesLeft_ = check == WavCheck::kOk && findData ? info_.SampleCount() : 0;
  return check;
}

size_t WavInput::Read(std::span<int16_t> out) {
  if (!reader_) return 0;
  uint8_t bytes[2 * kSampleBatch];
  size_t done = 0;
  while (done < out.size() && samplesLeft_ > 0) {
    const size_t wanted = std::min({out.size() - done, size_t(samplesLeft_), kSampleBatch});
    const size_t take = std::min<uint64_t>(wanted, reader_->Remaining() / 2);
    if (take == 0 || !reader_->Bytes(bytes, 2 * take)) {
      endedEarly_ = true;
      samplesLeft_ = 0;
      break;
    }
    for (size_t i = 0; i < take; ++i) out[done + i] = LoadI16(bytes + 2 * i);
    done += take;
    samplesLeft_ -= uint32_t(take);
  }
  return done;
}

bool WriteWavHeader(ByteWriter& writer, std::span<const uint8_t, kWavFormatRecordSize> formatRecord,
                    uint32_t sampleCount) {
  const uint64_t dataSize = 2 * uint64_t(sampleCount);
  const uint64_t riffSize = kWavHeaderSize - kChunkHeaderSize + dataSize;
  if (riffSize > UINT32_MAX) return false;
  writer.Bytes("RIFF", 4);
  writer.U32(uint32_t(riffSize));
  writer.Bytes("WAVEfmt ", 8);
  writer.U32(kWavFormatRecordSize);
  writer.Bytes(formatRecord.data(), kWavFormatRecordSize);
  writer.Bytes("data", 4);
  writer.U32(uint32_t(dataSize));
  return writer.ok();
}

bool WriteWavSamples(ByteWriter& writer, std::span<const int16_t> samples) {
  uint8_t bytes[2 * kSampleBatch];
  for (size_t start = 0; start < samples.size(); start += kSampleBatch) {
    const size_t count = std::min(kSampleBatch, samples.size() - start);
    for (size_t i = 0; i < count; ++i) StoreI16(bytes + 2 * i, samples[start + i]);
    if (!writer.Bytes(bytes, 2 * count)) return false;
  }
  return writer.ok();
}

std::array<uint8_t, kWavFormatRecordSize> MonoPcmFormatRecord(uint32_t sampleRate) {
  std::array<uint8_t, kWavFormatRecordSize> record{};
  StoreU16(&record[0], kWavFormatPcm);
  StoreU16(&record[2], 1);
  StoreU32(&record[4], sampleRate);
  StoreU32(&record[8], 2 * sampleRate);
  StoreU16(&record[12], 2);
  StoreU16(&record[14], kBitsPerSample);
  return record;
}
