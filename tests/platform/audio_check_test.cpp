// The header checks every sound back end makes before its decoder sees a file, and the SDL
// back end refusing the files that crash its decoders.
#include "platform/audio_check.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/headless/recording_audio.h"
#include "platform/sdl/sdl_audio.h"
#include "support/audio_files.h"

namespace qv::platform {
namespace {

namespace fs = std::filesystem;
using testing_support::TestOgg;
using testing_support::TestWave;
using testing_support::TestXm;

class AudioCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("qv_audio_check_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Put(const std::string& name, const std::string& bytes) {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  // Writes and checks.
  std::string Problem(const std::string& name, const std::string& bytes) {
    return AudioFileProblem(Put(name, bytes));
  }
  fs::path dir_;
};

// Byte `at` of `s` replaced by a 16-bit little-endian value.
std::string With16(std::string s, std::size_t at, std::uint16_t v) {
  s[at] = static_cast<char>(v & 0xFF);
  s[at + 1] = static_cast<char>(v >> 8);
  return s;
}

TEST_F(AudioCheck, SoundFilesPass) {
  EXPECT_EQ(Problem("a.wav", TestWave()), "");
  EXPECT_EQ(Problem("b.WAV", TestWave(2, 8, 44100)), "");
  EXPECT_EQ(Problem("c.xm", TestXm()), "");
  EXPECT_EQ(Problem("d.ogg", TestOgg()), "");
  EXPECT_EQ(Problem("e.mp3", "ID3\x03 rest"), "");
  EXPECT_EQ(Problem("f.unknown", "anything"), "");
  // Chunks before the format, and an odd-sized one that is padded.
  std::string w = TestWave();
  w.insert(12, std::string("LIST\x03\0\0\0abc\0", 12));
  EXPECT_EQ(Problem("g.wav", w), "");
}

TEST_F(AudioCheck, DamagedWavesAreRefusedWithAReason) {
  const std::string good = TestWave(1, 16, 22050, 64);
  EXPECT_EQ(Problem("0ch.wav", With16(good, 22, 0)), "wave with 0 channels");
  EXPECT_EQ(Problem("99ch.wav", With16(good, 22, 99)), "wave with 99 channels");
  EXPECT_EQ(Problem("rate.wav", With16(With16(good, 24, 0), 26, 0)), "wave at 0 Hz");
  EXPECT_EQ(Problem("bits.wav", With16(good, 34, 12)), "wave with 12-bit samples");
  EXPECT_EQ(Problem("block.wav", With16(good, 32, 0)), "wave block size does not match its samples");
  EXPECT_EQ(Problem("codec.wav", With16(good, 20, 0x55)), "wave encoding 85 not supported");
  EXPECT_EQ(Problem("cut.wav", good.substr(0, good.size() - 1)), "wave data cut short");
  EXPECT_EQ(Problem("nodata.wav", good.substr(0, 36)), "wave without sound data");
  EXPECT_EQ(Problem("nofmt.wav", good.substr(0, 12)), "wave without a format chunk");
  EXPECT_EQ(Problem("riff.wav", "RIFX" + good.substr(4)), "not a wave file");
  // A chunk length that points far beyond the file ends the walk instead of seeking forever.
  std::string huge = good;
  huge.insert(12, std::string("junk\xff\xff\xff\x7f", 8));
  EXPECT_EQ(Problem("huge.wav", huge), "wave without a format chunk");
}

TEST_F(AudioCheck, DamagedFilesOfEveryKindAreRefused) {
  EXPECT_EQ(AudioFileProblem((dir_ / "none.wav").string()), "file not found");
  fs::create_directories(dir_ / "folder.xm");
  EXPECT_EQ(AudioFileProblem((dir_ / "folder.xm").string()), "not a regular file");
  EXPECT_EQ(Problem("empty.ogg", ""), "empty file");
  EXPECT_EQ(Problem("text.xm", "Extended Module: but then nothing"), "not an XM module");
  std::string xm = TestXm();
  EXPECT_EQ(Problem("ch.xm", With16(xm, 68, 0)), "XM header values out of range");
  EXPECT_EQ(Problem("inst.xm", With16(xm, 72, 5000)), "XM header values out of range");
  EXPECT_EQ(Problem("head.xm", With16(With16(xm, 60, 0xFFFF), 62, 0x7FFF)),
            "XM header size out of range");
  // One pattern of ten packed bytes, then one instrument with a sample of 100 bytes.
  std::string full = With16(With16(xm, 70, 1), 72, 1);
  full += std::string("\x09\0\0\0\0\x40\0\x0a\0", 9) + std::string(10, '\x80');
  std::string instrument(33, '\0');
  instrument[0] = 33;
  instrument[27] = 1;   // samples
  instrument[29] = 40;  // sample header size
  std::string sample(40, '\0');
  sample[0] = 100;
  full += instrument + sample + std::string(100, '\0');
  EXPECT_EQ(Problem("full.xm", full), "");
  EXPECT_EQ(Problem("cut.xm", full.substr(0, full.size() - 1)), "XM module cut short");
  EXPECT_EQ(Problem("cut2.xm", full.substr(0, 350)), "XM instruments cut short");
  EXPECT_EQ(Problem("q.ogg", TestOgg(0)), "Ogg stream with no channels");
  EXPECT_EQ(Problem("r.ogg", "OggS"), "not an Ogg file");
  EXPECT_EQ(Problem("s.mp3", "garbage"), "not an MP3 file");
  EXPECT_EQ(Problem("t.s3m", std::string(64, 'x')), "not an S3M module");
}

TEST_F(AudioCheck, BothBackEndsRefuseWhatWouldCrashTheDecoder) {
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  const std::string zero = Put("puzzle.wav", With16(TestWave(2, 16, 44100, 4096), 22, 0));
  const std::string fine = Put("fine.wav", TestWave(2, 16, 44100, 4096));
  fs::create_directories(dir_ / "menu.xm");
  const std::string folder = (dir_ / "menu.xm").string();
  auto sdl = CreateSdlAudioDevice();
  RecordingAudioDevice headless;
  ASSERT_TRUE(sdl->Init(44100));
  ASSERT_TRUE(headless.Init(44100));
  for (AudioDevice* device : {static_cast<AudioDevice*>(sdl.get()),
                              static_cast<AudioDevice*>(&headless)}) {
    EXPECT_EQ(device->LoadStream(zero, true), 0u);
    EXPECT_EQ(device->LoadSample(zero, false), 0u);
    EXPECT_EQ(device->LoadModule(folder, true), 0u);
    EXPECT_EQ(device->LoadSample(folder, false), 0u);
    EXPECT_NE(device->LoadStream(fine, true), 0u);
  }
}

}  // namespace
}  // namespace qv::platform
