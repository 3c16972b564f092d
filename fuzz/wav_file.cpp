// The WAV reader of the auralisation (WavInput): the header walked chunk by
// chunk, then every sample of the data chunk. What it reads is written as a
// file of those samples with the same format record, which reads back the
// same.
#include <algorithm>

#include "design/acoustics/wav_file.h"
#include "fuzz/fuzz_check.h"

namespace {

struct Recording {
  std::array<uint8_t, kWavFormatRecordSize> format{};
  std::vector<int16_t> samples;
};
Recording gRecording;

bool ReadRecording(FuzzInput bytes) {
  WavInput input;
  if (input.Open(bytes) != WavCheck::kOk) return false;
  // The header's count is bounded by the bytes there are before it is allocated.
  std::vector<int16_t> samples(std::min<size_t>(input.info().SampleCount(), bytes.size() / 2));
  samples.resize(input.Read(samples));
  FuzzRequire(input.EndedEarly() || samples.size() == input.info().SampleCount(),
              "every sample of the data chunk is read unless the file ends first");
  FuzzRequire(input.SamplesLeft() == 0, "nothing is left after the data chunk");
  gRecording = {input.info().formatRecord, std::move(samples)};
  return true;
}

FuzzBytes WriteRecording() {
  MemoryWriter writer;
  FuzzRequire(WriteWavHeader(writer, gRecording.format, uint32_t(gRecording.samples.size())) &&
                  WriteWavSamples(writer, gRecording.samples),
              "the recording is written");
  return writer.Take();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SetUpFuzzRun();
  // A recording held before, for a failed read to keep.
  gRecording = {MonoPcmFormatRecord(22050), {1, 2, 3}};
  CheckReadWriteRead(FuzzInput(data, size), ReadRecording, WriteRecording);
  return 0;
}
