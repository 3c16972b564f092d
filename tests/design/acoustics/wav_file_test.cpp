#include "design/acoustics/wav_file.h"

#include <gtest/gtest.h>

#include "tests/design/acoustics/audio_fixtures.h"

namespace {

using namespace audio_fixtures;

struct HeaderCase {
  const char* name;
  std::vector<uint8_t> file;
  WavCheck expected;
};

std::vector<uint8_t> WithChunks(std::initializer_list<std::pair<const char*, std::vector<uint8_t>>> chunks) {
  Bytes all;
  for (const auto& [id, body] : chunks) Chunk(all, id, body);
  return RiffFile(all);
}

TEST(WavFile, HeaderChecksRefuseWhatIsNotSixteenBitMonoPcm) {
  const std::vector<uint8_t> data = SampleBytes({1, 2, 3});
  std::vector<uint8_t> notWave = MonoWav(22050, {1});
  notWave[8] = 'X';
  std::vector<uint8_t> notRiff = MonoWav(22050, {1});
  notRiff[0] = 'X';
  // A format chunk that says 16 bytes in a file that ends after 10 of them.
  Bytes cut;
  cut.text("RIFF", 4).u32(100).text("WAVE", 4).text("fmt ", 4).u32(16);
  const std::vector<uint8_t> record = FormatRecord(22050).b;
  cut.b.insert(cut.b.end(), record.begin(), record.begin() + 10);
  const HeaderCase cases[] = {
      {"plain", WithChunks({{"fmt ", FormatRecord(22050).b}, {"data", data}}), WavCheck::kOk},
      {"LIST before fmt",
       WithChunks({{"LIST", {'I', 'N', 'F', 'O', 1}}, {"fmt ", FormatRecord(16000).b}, {"data", data}}), WavCheck::kOk},
      {"odd chunk with its pad before data",
       WithChunks({{"fmt ", FormatRecord(44100).b}, {"PAD ", {0, 0, 0}}, {"data", data}}), WavCheck::kOk},
      {"longer fmt", WithChunks({{"fmt ", FormatRecord(22050).u16(0).b}, {"data", data}}), WavCheck::kOk},
      {"stereo", WithChunks({{"fmt ", FormatRecord(22050, 2).b}, {"data", data}}), WavCheck::kWrongFormat},
      {"8 bit", WithChunks({{"fmt ", FormatRecord(22050, 1, 8).b}, {"data", data}}), WavCheck::kWrongFormat},
      {"24 bit", WithChunks({{"fmt ", FormatRecord(44100, 1, 24).b}, {"data", data}}), WavCheck::kWrongFormat},
      {"extensible", WithChunks({{"fmt ", FormatRecord(22050, 1, 16, 0xFFFE).b}, {"data", data}}),
       WavCheck::kWrongFormat},
      {"rate 0", WithChunks({{"fmt ", FormatRecord(0).b}, {"data", data}}), WavCheck::kWrongFormat},
      {"rate 7999", WithChunks({{"fmt ", FormatRecord(7999).b}, {"data", data}}), WavCheck::kWrongFormat},
      {"rate 8000", WithChunks({{"fmt ", FormatRecord(8000).b}, {"data", data}}), WavCheck::kOk},
      {"rate 400000", WithChunks({{"fmt ", FormatRecord(400000).b}, {"data", data}}), WavCheck::kWrongFormat},
      {"short fmt", WithChunks({{"fmt ", std::vector<uint8_t>(14, 0)}, {"data", data}}), WavCheck::kWrongFormat},
      {"no fmt", WithChunks({{"data", data}}), WavCheck::kWrongFormat},
      {"data before fmt", WithChunks({{"data", data}, {"fmt ", FormatRecord(22050).b}}), WavCheck::kWrongFormat},
      {"no data", WithChunks({{"fmt ", FormatRecord(22050).b}}), WavCheck::kWrongFormat},
      {"not WAVE", notWave, WavCheck::kWrongFormat},
      {"not RIFF", notRiff, WavCheck::kWrongFormat},
      {"shorter than its RIFF header", {'R', 'I', 'F', 'F', 4, 0, 0, 0}, WavCheck::kCannotRead},
      {"format record cut off", cut.b, WavCheck::kCannotRead},
  };
  for (const HeaderCase& c : cases) {
    WavInput input;
    EXPECT_EQ(input.Open(c.file), c.expected) << c.name;
  }
  EXPECT_STREQ(WavCheckMessage(WavCheck::kWrongFormat), "Input file must be a 16-bit mono PCM WAVE file");
  EXPECT_STREQ(WavCheckMessage(WavCheck::kCannotRead), "Cannot read input WAVE file");
}

TEST(WavFile, ChunksAreSoughtOnlyInsideTheRiffChunk) {
  // A data chunk behind the end the RIFF header gives is not the file's.
  Bytes chunks;
  Chunk(chunks, "fmt ", FormatRecord(22050).b);
  Bytes file;
  file.b = RiffFile(chunks);
  Chunk(file, "data", SampleBytes({5}));
  WavInput input;
  EXPECT_EQ(input.Open(file.b), WavCheck::kWrongFormat);
  // The format alone is enough for choosing an input.
  EXPECT_EQ(input.Open(file.b, false), WavCheck::kOk);
  EXPECT_EQ(input.info().sampleRate, 22050u);
}

TEST(WavFile, SamplesStopAtTheEndOfTheDataChunk) {
  // An odd-sized data chunk: its last byte is no sample, and the chunk behind
  // it is never read as sound.
  Bytes chunks;
  Chunk(chunks, "fmt ", FormatRecord(22050).b);
  Chunk(chunks, "data", {0x01, 0x00, 0xFF, 0xFF, 0x7F});
  Chunk(chunks, "LIST", SampleBytes({1000, 1000}));
  const std::vector<uint8_t> file = RiffFile(chunks);
  WavInput input;
  ASSERT_EQ(input.Open(file), WavCheck::kOk);
  EXPECT_EQ(input.info().SampleCount(), 2u);
  std::vector<int16_t> out(10);
  EXPECT_EQ(input.Read(out), 2u);
  EXPECT_EQ(out[0], 1);
  EXPECT_EQ(out[1], -1);
  EXPECT_FALSE(input.EndedEarly());
  EXPECT_EQ(input.Read(out), 0u);
}

TEST(WavFile, AFileEndingInsideItsDataChunkEndsEarly) {
  Bytes chunks;
  Chunk(chunks, "fmt ", FormatRecord(22050).b);
  chunks.text("data", 4).u32(100).u16(7).u16(8).u8(9);
  const std::vector<uint8_t> file = RiffFile(chunks);
  WavInput input;
  ASSERT_EQ(input.Open(file), WavCheck::kOk);
  std::vector<int16_t> out(50);
  EXPECT_EQ(input.Read(out), 2u);
  EXPECT_TRUE(input.EndedEarly());
  EXPECT_EQ(input.SamplesLeft(), 0u);
}

TEST(WavFile, WriterWritesTheLayout) {
  MemoryWriter writer;
  const auto record = MonoPcmFormatRecord(16000);
  ASSERT_TRUE(WriteWavHeader(writer, record, 3));
  ASSERT_TRUE(WriteWavSamples(writer, std::vector<int16_t>{1, -2, 32767}));
  Bytes golden;
  golden.text("RIFF", 4).u32(36 + 6).text("WAVE", 4).text("fmt ", 4).u32(16);
  golden.u16(1).u16(1).u32(16000).u32(32000).u16(2).u16(16);
  golden.text("data", 4).u32(6).u16(1).u16(uint16_t(-2)).u16(32767);
  EXPECT_EQ(writer.bytes(), golden.b);
}

TEST(WavFile, TheStudioSpeechReadsAndTheCastanetsAreRefused) {
  WavInput speech;
  ASSERT_EQ(speech.Open(kSpeechFile), WavCheck::kOk);
  EXPECT_EQ(speech.info().sampleRate, 16000u);
  EXPECT_EQ(speech.info().SampleCount(), kSpeechSamples);
  std::vector<int16_t> all(kSpeechSamples + 10);
  EXPECT_EQ(speech.Read(all), kSpeechSamples);
  EXPECT_FALSE(speech.EndedEarly());

  WavInput castanets;
  EXPECT_EQ(castanets.Open(kCastanetsFile), WavCheck::kWrongFormat);
  WavInput missing;
  EXPECT_EQ(missing.Open(kDataFolder.string() + "/no_such.wav"), WavCheck::kCannotRead);
}

}  // namespace
