#include "fw/sounds.h"

#include <windows.h>
#include <mmsystem.h>

#include "fw/window.h"

namespace fw {
namespace {

// Whose sound was played last; it may have ended by itself since.
const void* g_lastSoundOwner = nullptr;

}  // namespace

void PlayResourceSound(const void* owner, int resourceId, bool loop) {
    g_lastSoundOwner = owner;
    ::PlaySoundA(MAKEINTRESOURCEA(resourceId), Instance(),
                 SND_RESOURCE | SND_ASYNC | SND_NODEFAULT | (loop ? SND_LOOP : 0));
}

void StopSoundOf(const void* owner) {
    if (!owner || owner != g_lastSoundOwner) return;
    g_lastSoundOwner = nullptr;
    ::PlaySoundA(nullptr, nullptr, 0);
}

bool HasSoundDevices() { return waveInGetNumDevs() > 0 && waveOutGetNumDevs() > 0; }

}  // namespace fw
