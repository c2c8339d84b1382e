// The program's WAVE resources, played asynchronously with PlaySound. The
// system plays one such sound at a time for the whole process: a new one ends
// the one before, and a stop ends whatever plays. So each sound is played for
// an owner (a window), and an owner stops only a sound it started itself,
// never one that another window started since.
#pragma once

namespace fw {

// Without the default sound when the resource is missing; a looped sound
// plays until it is stopped or another sound replaces it.
void PlayResourceSound(const void* owner, int resourceId, bool loop = false);
// Ends the sound when owner started the last one played; nothing otherwise.
void StopSoundOf(const void* owner);

// A capture and a playback device are present: voice can be heard both ways.
bool HasSoundDevices();

}  // namespace fw
