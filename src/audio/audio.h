#pragma once
// Music and sound: the audio table, playback by handle, music changes with fades, volumes.
#include <cstdint>
#include <string_view>

namespace qv {

struct AudioWorld;

// Opens the output device (44 100 Hz); sets and returns whether audio is available.
bool InitAudio(AudioWorld& ctx);
// Adds the audio entry of one resource line ("name, path" or "name, path, loop").
void LoadAudioLine(AudioWorld& ctx, std::string_view line);
// True for the extensions that go to the audio table.
bool IsAudioExtension(std::string_view ext);

// Handle of the first entry called name, or -1.
std::int64_t FindAudio(const AudioWorld& ctx, std::string_view name);
// Plays an entry; returns the channel of a sample, otherwise 0.
int PlayAudio(AudioWorld& ctx, std::int64_t handle);
// A sample by its audio-table name; its channel, -1 when nothing plays.
int PlaySample(AudioWorld& ctx, std::string_view name);
void PlayAudioFrom(AudioWorld& ctx, std::uint64_t position, std::int64_t handle);
void StopChannel(AudioWorld& ctx, std::int64_t channel);

void ChangeMusic(AudioWorld& ctx, std::int64_t handle, int out_ms, int in_ms);
void MusicStep(AudioWorld& ctx);
void ApplyMusicVolume(AudioWorld& ctx);
void ApplySoundVolume(AudioWorld& ctx);
void MuteOnDeactivate(AudioWorld& ctx);
void ResumeOnRestore(AudioWorld& ctx);

// Shell hooks: the button sounds, the sound gain's return after the focus came back, and the
// music system switched on by every options read.
void PlayHoverSound(AudioWorld& ctx);
void PlayPressSound(AudioWorld& ctx);
void RestoreSoundGain(AudioWorld& ctx);
void MusicSystemOn(AudioWorld& ctx);

// The library volume for a music volume of 0..13 at the given fade levels.
int MusicLibraryVolume(int music_volume, double music_level, double app_level);
int SoundLibraryVolume(int sound_volume, double gain);

}  // namespace qv
