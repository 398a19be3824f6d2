#include "audio_capture/wav_file.h"

#include <gtest/gtest.h>

#include <limits>

#include "audio_capture/test_wav.h"
#include "helpers/temporary_folder.h"

namespace brontal::audio_capture {
namespace {

using test::WavEncoding;

struct DecodeCase {
  const char* name;
  WavEncoding encoding;
  unsigned channels;
  unsigned rate;
  std::vector<float> interleaved;
  std::vector<float> mono;
};

class WavDecodeTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(WavDecodeTest, ReadsTheSamplesMixedToOneChannel) {
  const DecodeCase& c = GetParam();
  std::string error;
  const auto sound = DecodeWav(test::EncodeWav(c.interleaved, c.channels, c.rate, c.encoding), error);
  ASSERT_TRUE(sound) << error;
  EXPECT_EQ(sound->sample_rate, c.rate);
  ASSERT_EQ(sound->samples.size(), c.mono.size());
  const float tolerance = c.encoding == WavEncoding::kPcm16 ? 1.0f / 16384 : 0.0f;
  for (std::size_t i = 0; i < c.mono.size(); ++i) EXPECT_NEAR(sound->samples[i], c.mono[i], tolerance) << i;
}

INSTANTIATE_TEST_SUITE_P(
    Formats, WavDecodeTest,
    ::testing::Values(
        DecodeCase{
            "Pcm16Mono", WavEncoding::kPcm16, 1, 44100, {0.5f, -0.25f, 1.0f, -1.0f}, {0.5f, -0.25f, 1.0f, -1.0f}},
        DecodeCase{"Pcm16Stereo", WavEncoding::kPcm16, 2, 48000, {0.5f, -0.25f, 0.2f, 0.2f}, {0.125f, 0.2f}},
        DecodeCase{"FloatMono", WavEncoding::kFloat32, 1, 22050, {0.75f, -0.5f}, {0.75f, -0.5f}},
        DecodeCase{"FloatStereo", WavEncoding::kFloat32, 2, 96000, {1.0f, 0.0f, -0.5f, -0.5f}, {0.5f, -0.5f}},
        DecodeCase{"FloatExtensibleStereo", WavEncoding::kFloat32Extensible, 2, 48000, {0.25f, 0.75f}, {0.5f}},
        // A NaN would poison every spectrum after it.
        DecodeCase{"NonFiniteFloatsAreSilence",
                   WavEncoding::kFloat32,
                   1,
                   48000,
                   {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), 0.5f},
                   {0.0f, 0.0f, 0.5f}}),
    [](const auto& test) { return std::string(test.param.name); });

// What a RIFF file may hold besides the two chunks that count.
TEST(WavDecodeTest, SkipsOtherChunksWithTheirPaddingAndAPartialLastFrame) {
  std::vector<std::uint8_t> bytes = test::EncodeWav({0.5f, -0.5f}, 1, 48000, WavEncoding::kFloat32);
  // An odd-sized chunk before the sound, padded to an even size.
  const std::vector<std::uint8_t> list = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
  bytes.insert(bytes.begin() + 36, list.begin(), list.end());
  // Two bytes of a third sample: not a whole frame.
  bytes[bytes.size() - 8 - 4] += 2;  // the data chunk's size
  bytes.insert(bytes.end(), {0x12, 0x34});
  std::string error;
  const auto sound = DecodeWav(bytes, error);
  ASSERT_TRUE(sound) << error;
  EXPECT_EQ(sound->samples, (std::vector<float>{0.5f, -0.5f}));
}

// Offsets in the files EncodeWav makes.
constexpr std::size_t kFormatCode = 20, kChannels = 22, kRate = 24, kBlock = 32, kBits = 34, kFormatSize = 16,
                      kDataSize = 40;

void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint16_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  Put16(b, at, static_cast<std::uint16_t>(v));
  Put16(b, at + 2, static_cast<std::uint16_t>(v >> 16));
}

struct MalformedCase {
  const char* name;
  void (*spoil)(std::vector<std::uint8_t>&);
};

class WavRefusalTest : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(WavRefusalTest, RefusesTheFileWhole) {
  std::vector<std::uint8_t> bytes = test::EncodeWav({0.1f, 0.2f, 0.3f, 0.4f}, 2, 48000, WavEncoding::kPcm16);
  GetParam().spoil(bytes);
  std::string error;
  EXPECT_FALSE(DecodeWav(bytes, error));
  EXPECT_FALSE(error.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Headers, WavRefusalTest,
    ::testing::Values(MalformedCase{"Empty", [](auto& b) { b.clear(); }},
                      MalformedCase{"NotRiff", [](auto& b) { b[3] = 'X'; }},
                      MalformedCase{"NotWave", [](auto& b) { b[8] = 'A'; }},
                      MalformedCase{"NoFormatChunk", [](auto& b) { b[12] = 'j'; }},
                      MalformedCase{"FormatChunkTooShort", [](auto& b) { Put32(b, kFormatSize, 14); }},
                      MalformedCase{"CompressedFormat", [](auto& b) { Put16(b, kFormatCode, 2); }},
                      MalformedCase{"ExtensibleWithoutItsExtension", [](auto& b) { Put16(b, kFormatCode, 0xFFFE); }},
                      MalformedCase{"TwentyFourBitPcm",
                                    [](auto& b) {
                                      Put16(b, kBits, 24);
                                      Put16(b, kBlock, 6);
                                    }},
                      MalformedCase{"ThreeChannels",
                                    [](auto& b) {
                                      Put16(b, kChannels, 3);
                                      Put16(b, kBlock, 6);
                                    }},
                      MalformedCase{"BlockSizeDisagrees", [](auto& b) { Put16(b, kBlock, 3); }},
                      MalformedCase{"NoSampleRate", [](auto& b) { Put32(b, kRate, 0); }},
                      MalformedCase{"DataRunsPastTheEnd", [](auto& b) { Put32(b, kDataSize, 1000); }},
                      MalformedCase{"CutInTheFormat", [](auto& b) { b.resize(30); }},
                      MalformedCase{"NoDataChunk", [](auto& b) { b.resize(36); }}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(WavFileTest, ReadsAFileAndNamesAMissingOne) {
  test::TemporaryFolder folder("brontal_wav");
  const auto path = folder.path() / "tone.wav";
  test::WriteBytes(path, test::EncodeWav({0.5f, 0.25f}, 1, 8000, WavEncoding::kFloat32));
  std::string error;
  const auto sound = ReadWavFile(path, error);
  ASSERT_TRUE(sound) << error;
  EXPECT_EQ(sound->samples, (std::vector<float>{0.5f, 0.25f}));

  EXPECT_FALSE(ReadWavFile(folder.path() / "missing.wav", error));
  EXPECT_NE(error.find("missing.wav"), std::string::npos) << error;
}

}  // namespace
}  // namespace brontal::audio_capture
