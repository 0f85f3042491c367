#pragma once
// A small content pack for start-up tests: the loading screen, the logo set, the cursor, three
// music entries, a few sprites and sounds. Every picture is made of 16 x 16 white squares.
#include <string>

#include "common/menu_texts.h"
#include "support/audio_files.h"
#include "support/game_dir.h"

namespace qv::testing_support {

inline std::string XmHeader() {
  return TestXm();
}
inline std::string WaveHeader() {
  return TestWave();
}

struct SmallPackOptions {
  bool logo_animates = true;  // false: the logo parts have one frame and no speed
  int main_entries = 4;       // sprite entries of main.msl
};

// Pictures are plain coloured rectangles at the places the content manifest suggests, so a
// screenshot shows where each object stands.
inline void WriteSmallPack(const GameDir& dir, SmallPackOptions opt = {}) {
  dir.Write("options.txt",
            "move_cnt=16\r\nfps_max=100\r\nmusic_volume=9\r\nsound_volume=11\r\n"
            "log_enabled=1\r\n");
  dir.Write("text\\combo.txt", "2,COMBO X2\r\n3,COMBO X3\r\n");
  for (const char* text : test::kMenuStartTexts) dir.Write(std::string("text\\") + text, "");
  dir.WriteImage("graphics\\menu\\menu_background.png", 800, 600, 0x102040);
  dir.WriteSpr("graphics\\menu\\menu_background.spr", "x=0,y=0,z=-100",
               {"menu_background.png,texture_size=256"});
  dir.WriteImage("graphics\\elements_gamezone\\loading_element.png", 502, 24, 0x808080);
  dir.WriteSpr("graphics\\elements_gamezone\\loading_element.spr", "x=140,y=326,z=10",
               {"loading_element.png,texture_size=256"});
  dir.Write("loading.msl",
            "; backdrop\r\ngraphics\\menu\\menu_background.spr\r\n"
            "graphics\\elements_gamezone\\loading_element.spr ; the trough\r\n");
  dir.WriteImage("graphics\\logo set\\bubble_top.png", 220, 54, 0xE04040);
  dir.WriteSpr("graphics\\logo set\\bubble_top.spr", "x=290,y=57,z=31,alpha=0",
               {"bubble_top.png,texture_size=256"});
  dir.WriteImage("graphics\\logo set\\bubble_bottom.png", 220, 54, 0xE0A040);
  dir.WriteSpr("graphics\\logo set\\bubble_bottom.spr", "x=290,y=259,z=31,alpha=0",
               {"bubble_bottom.png,texture_size=256"});
  if (opt.logo_animates) {
    // 32 and 16 frames, looped, at speed 30.
    dir.WriteImage("graphics\\logo set\\orbit.png", 320, 80, 0x40C0E0);
    dir.WriteSpr("graphics\\logo set\\earth_traectory.spr", "x=240,y=110,z=32",
                 {"orbit.png,frame_width=40,frame_height=20,texture_size=64,anim_speed=30"});
    dir.WriteImage("graphics\\logo set\\flash.png", 128, 128, 0xFFFFFF);
    dir.WriteSpr("graphics\\logo set\\earth_flash.spr", "x=290,y=131,z=33",
                 {"flash.png,frame_width=32,frame_height=32,texture_size=32,anim_speed=30"});
  } else {
    dir.WriteSpr("graphics\\logo set\\earth_traectory.spr", "x=240,y=110,z=32",
                 {"orbit.png,texture_size=16"});
    dir.WriteSpr("graphics\\logo set\\earth_flash.spr", "x=290,y=131,z=33",
                 {"flash.png,texture_size=16,anim_speed=30"});
  }
  dir.WriteImage("graphics\\logo set\\flash_text.png", 360, 120, 0x40E040);
  dir.WriteSpr("graphics\\logo set\\flash_text.spr", "x=220,y=400,z=34",
               {"flash_text.png,frame_width=360,frame_height=60,texture_size=128,anim_speed=20"});
  dir.WriteImage("graphics\\elements_gamezone\\polosa.png", 12, 12, 0xFFE020);
  dir.WriteSpr("graphics\\elements_gamezone\\loading_element_polosa.spr", "z=20",
               {"polosa.png,texture_size=16"});
  dir.WriteSpr("graphics\\cursors\\mouse_cursor.spr", "z=100000",
               {"arrow.png,texture_size=16", "hand.png,texture_size=16"});
  dir.Write("music\\menu.xm", XmHeader());
  dir.Write("music\\arcade.xm", XmHeader());
  dir.Write("music\\puzzle.xm", XmHeader());
  dir.Write("music.ini",
            "music_menu, music\\menu.xm, loop\r\nmusic_arcade, music\\arcade.xm, loop\r\n"
            "music_puzzle, music\\puzzle.xm, loop\r\n");
  std::string main_list;
  for (int i = 0; i < opt.main_entries; ++i) {
    const std::string path = "graphics\\misc\\thing" + std::to_string(i) + ".spr";
    dir.WriteSpr(path, "z=" + std::to_string(i),
                 {"thing" + std::to_string(i) + ".png,texture_size=16"});
    main_list += path + "\r\n";
  }
  dir.Write("main.msl", main_list);
  dir.Write("sounds\\hit.wav", WaveHeader());
  dir.Write("sounds\\mouse_over_button.wav", WaveHeader());
  dir.Write("sound.ini",
            "sample_hit, sounds\\hit.wav\r\n"
            "sample_mouse_over_button, sounds\\mouse_over_button.wav\r\n");
}

}  // namespace qv::testing_support
