// Options file reading and writing, the log, and the combo table: the file rules and their
// failures.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "base/log.h"
#include "common/recording_boxes.h"
#include "common/temp_dir.h"
#include "context.h"
#include "game/combo_table.h"
#include "platform/clock.h"
#include "shell/main_form.h"
#include "shell/options_file.h"

namespace qv {
namespace {

using test::ReadText;
using test::WriteText;

class FilesTest : public ::testing::Test {
 protected:
  FilesTest() : ctx_(std::make_unique<Context>()) {
    ctx_->platform.clock = &clock_;
    ctx_->platform.messages = &boxes_;
  }
  Options& options() { return ctx_->options; }

  test::TempDir dir_;
  platform::VirtualClock clock_;
  test::RecordingBoxes boxes_;
  std::unique_ptr<Context> ctx_;
};

TEST_F(FilesTest, ReadOptionsAppliesTheLineRulesAndValueTypes) {
  WriteText("options.txt",
            "  Music_Volume = 20 ; far too loud\r\n"
            "=5\r\n"
            "fullscreen\r\n"
            "sound_volume=-4\r\n"
            "; fullscreen=0\r\n"
            "fps_show=7\r\n"
            "wait_vblank=-3\r\n"
            "fps_max=50\r\n"
            "move_cnt=$10\r\n"
            "ball_step=5\n"
            "ball_step=6\r"
            "unknown_key=abc\r\n"
            "log_enabled=\r\n"
            "textures16bit=no\r\n");
  ReadOptions(*ctx_);
  EXPECT_TRUE(boxes_.boxes.empty());
  EXPECT_EQ(options().music_volume, 13);
  EXPECT_EQ(options().sound_volume, 0);
  EXPECT_FALSE(options().fullscreen) << "a line without '=' is skipped";
  EXPECT_EQ(options().fps_show, 1);
  EXPECT_EQ(options().wait_vblank, 0);
  EXPECT_EQ(options().fps_max, 50);
  EXPECT_EQ(options().frame_period, 20);
  EXPECT_EQ(options().move_cnt, 16);
  EXPECT_EQ(options().ball_step, 6) << "the last value wins";
  EXPECT_TRUE(options().log_enabled) << "an empty flag value is true";
  EXPECT_TRUE(options().textures16bit) << "any flag value other than 0 is true";
  EXPECT_EQ(options().music_amplify, 75) << "absent keys keep their values";
  // Logging came on while reading: the closing line is written, the opening one was not.
  EXPECT_EQ(ReadText("log.txt"), "01.01.2000 00:00:00 :  textures mode=16bit\r\n");

  WriteText("options.txt", "fps_max=0\r\nlog_enabled=0\r\n");
  ReadOptions(*ctx_);
  EXPECT_EQ(options().frame_period, 0) << "no cap";
  EXPECT_EQ(ReadText("log.txt"),
            "01.01.2000 00:00:00 :  textures mode=16bit\r\n"
            "01.01.2000 00:00:00 : setup_refresh\r\n");
}

TEST_F(FilesTest, ReadOptionsTellsTheVolumeReadersAndSwitchesMusicOn) {
  static int music_reads, sound_reads, music_on;
  music_reads = sound_reads = music_on = 0;
  ctx_->shell.hooks.sound.volume_option_read = [](Context&, bool music) {
    ++(music ? music_reads : sound_reads);
  };
  ctx_->shell.hooks.sound.music_system_on = [](AudioWorld&) { ++music_on; };
  WriteText("options.txt", "music_volume=3\r\nsound_volume=4\r\nsound_volume=5\r\n");
  ReadOptions(*ctx_);
  EXPECT_EQ(music_reads, 1);
  EXPECT_EQ(sound_reads, 2);
  EXPECT_EQ(music_on, 1);
}

TEST_F(FilesTest, MissingOptionsFileShowsTheBoxAndKeepsTheValues) {
  options().move_cnt = 16;
  ReadOptions(*ctx_);
  ASSERT_EQ(boxes_.boxes.size(), 1u);
  EXPECT_EQ(boxes_.boxes[0].caption, "Error");
  EXPECT_EQ(boxes_.boxes[0].text, "Configuration file not found!");
  EXPECT_EQ(boxes_.boxes[0].kind, platform::MessageKind::Error);
  EXPECT_EQ(options().move_cnt, 16);
}

TEST_F(FilesTest, NonIntegerValueIsReportedAndEndsTheReadKeepingWhatWasRead) {
  WriteText("options.txt",
            "log_enabled=1\r\nmove_cnt=16\r\n\r\nball_step=1O\r\nbigbomb_radius=5\r\n");
  ReadOptions(*ctx_);
  EXPECT_EQ(options().move_cnt, 16);
  EXPECT_EQ(options().ball_step, 0);
  EXPECT_EQ(options().bigbomb_radius, 0) << "nothing after the bad line is read";
  const std::string report = "\"options.txt\", line 4: '1o' is not a valid integer value";
  ASSERT_EQ(boxes_.boxes.size(), 1u);
  EXPECT_EQ(boxes_.boxes[0].text, report);
  EXPECT_EQ(ReadText("log.txt"), "01.01.2000 00:00:00 : " + report +
                                     "\r\n01.01.2000 00:00:00 :  textures mode=32bit\r\n");
}

TEST_F(FilesTest, MoveCountBelowOneIsDamagedAndLoggedAndTheUsualRateStays) {
  WriteText("options.txt", "log_enabled=1\r\nmove_cnt=-16\r\nball_step=7\r\nmove_cnt=0\r\n");
  ReadOptions(*ctx_);
  EXPECT_EQ(options().move_cnt, 16);
  EXPECT_EQ(options().ball_step, 7) << "the rest of the file is still read";
  EXPECT_TRUE(boxes_.boxes.empty());
  const std::string log = ReadText("log.txt");
  EXPECT_NE(log.find(" : ERROR: option_out_of_range \"options.txt\", line 2: move_cnt=-16"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find(" : ERROR: option_out_of_range \"options.txt\", line 4: move_cnt=0"),
            std::string::npos)
      << log;

  WriteText("options.txt", "log_enabled=1\r\nmove_cnt=1\r\n");
  std::filesystem::remove("log.txt");
  ReadOptions(*ctx_);
  EXPECT_EQ(options().move_cnt, 1) << "the slowest rate is no damage";
  EXPECT_EQ(ReadText("log.txt").find("ERROR"), std::string::npos);
}

TEST_F(FilesTest, WriteOptionReplacesTheMatchingLineAndTrimsTheRest) {
  WriteText("options.txt",
            "  ; settings  \r\n"
            "\t music_volume = 3 ; loud \r\n"
            "sound_volume=5   \r\n"
            "\r\n"
            "music_volume_x=1\r\n");
  WriteOption("options.txt", "music_volume", "7");
  EXPECT_EQ(ReadText("options.txt"),
            "; settings\r\nmusic_volume=7\r\nsound_volume=5\r\n\r\nmusic_volume_x=1\r\n");
  EXPECT_FALSE(std::filesystem::exists("options.txt.tmp"));
}

TEST_F(FilesTest, WriteOptionAppendsWhenOnlyAnUpperCaseKeyExistsAndTheReaderKeepsTheLast) {
  WriteText("options.txt", "MUSIC_VOLUME=2");
  WriteOption("options.txt", "music_volume", "7");
  EXPECT_EQ(ReadText("options.txt"), "MUSIC_VOLUME=2\r\nmusic_volume=7\r\n");
  ReadOptions(*ctx_);
  EXPECT_EQ(options().music_volume, 7);

  WriteOption("new.txt", "player_index", "3");
  EXPECT_EQ(ReadText("new.txt"), "player_index=3\r\n");
}

TEST_F(FilesTest, WriteOptionThatCannotWriteFailsAndLeavesNoHalfFile) {
  std::filesystem::create_directory("options.txt");  // cannot be replaced by a file
  const Expected<void> written = WriteOption("options.txt", "fullscreen", "1");
  ASSERT_FALSE(written);
  EXPECT_EQ(written.error().message, "Cannot write \"options.txt\"");
  EXPECT_TRUE(std::filesystem::is_directory("options.txt"));
  EXPECT_FALSE(std::filesystem::exists("options.txt.tmp"));
}

TEST_F(FilesTest, LogWritesOnlyWhenEnabledAndCutsEntriesAt255Bytes) {
  WriteLog(*ctx_, "not written");
  EXPECT_FALSE(std::filesystem::exists("log.txt")) << "logging off touches nothing";

  options().log_enabled = true;
  clock_.Advance(3723000);  // 1 h 2 min 3 s
  const std::string long_message(250, 'x');
  WriteLog(*ctx_, long_message);
  WriteLog(*ctx_, "next");
  const std::string log = ReadText("log.txt");
  const std::string stamp = "01.01.2000 01:02:03 : ";
  ASSERT_EQ(log.size(), 255u + stamp.size() + 6);
  EXPECT_EQ(log.substr(0, 255), stamp + long_message.substr(0, 255 - stamp.size()));
  EXPECT_EQ(log.substr(255), stamp + "next\r\n") << "the cut entry lost its line break";
}

TEST_F(FilesTest, UnwritableLogFailsAndKeepsTheFirstFailureForTheEdge) {
  options().log_enabled = true;
  std::filesystem::create_directory("log.txt");
  const Expected<void> logged = WriteLog(*ctx_, "x");
  ASSERT_FALSE(logged);
  EXPECT_EQ(logged.error().message.rfind("Cannot write to the log file \"log.txt\": ", 0), 0u)
      << logged.error().message;
  EXPECT_FALSE(WriteLog(*ctx_, "y"));
  EXPECT_FALSE(TakeLogFailure(*ctx_)) << "the failure waits for the edge";
  EXPECT_TRUE(TakeLogFailure(*ctx_)) << "once taken, it is gone";
  EXPECT_TRUE(boxes_.boxes.empty()) << "only the edge shows a box";
}

TEST_F(FilesTest, ComboTableFieldsStandExactlyBetweenTheCommas) {
  WriteText("text/combo.txt", "3,Nice\r\n 5,Great job,ignored\r\n$10,\r\n7\r\n");
  ASSERT_TRUE(ReadComboTable(*ctx_).has_value());
  const auto& combo = ctx_->game.run.combo_table;
  ASSERT_EQ(combo.size(), 4u);
  EXPECT_EQ(combo[0].threshold, 3);
  EXPECT_EQ(combo[0].text, "Nice");
  EXPECT_EQ(combo[1].threshold, 5);
  EXPECT_EQ(combo[1].text, "Great job");
  EXPECT_EQ(combo[2].threshold, 16);
  EXPECT_EQ(combo[2].text, "");
  EXPECT_EQ(combo[3].text, "");
}

TEST_F(FilesTest, ComboTableRejectsBadFirstFieldsAndMissingFile) {
  EXPECT_FALSE(ReadComboTable(*ctx_).has_value());
  for (const char* bad : {"3,a\r\n\r\n4,b\r\n", "3 ,a\r\n", "x,a\r\n"}) {
    WriteText("text/combo.txt", bad);
    const Expected<void> read = ReadComboTable(*ctx_);
    ASSERT_FALSE(read.has_value()) << "accepted " << bad;
    const std::string text = Describe(read.error());
    EXPECT_NE(text.find("text\\combo.txt"), std::string::npos) << text;
    EXPECT_NE(text.find("is not a valid integer value"), std::string::npos);
  }
}

}  // namespace
}  // namespace qv
