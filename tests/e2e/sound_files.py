"""Sound files for tests of the voice path under Wine: a HOME whose ALSA
default device captures from a prepared file and plays into a file, the
capture files (a tone, near-silence) and the strongest frequency of what
was played."""

import math
import os
import tempfile
import random
import struct

# The control records 8-bit unsigned mono at 11025 samples/s. The capture
# file holds the same samples as 16-bit signed: ALSA then converts (exactly,
# the high byte) and reads the file in pieces that fit its buffer, where an
# unconverted read asks the file for more than one buffer and fails.
CAPTURE_RATE = 11025
PLAYBACK_RATE = 8000   # what the playback file holds: 16-bit signed mono


def write_samples(path, samples8):
    with open(path, "wb") as f:
        f.write(b"".join(struct.pack("<h", (v - 128) << 8) for v in samples8))


def write_tone(path, seconds, hz=1000):
    write_samples(path, (int(128 + 80 * math.sin(2 * math.pi * hz * i / CAPTURE_RATE))
                         for i in range(CAPTURE_RATE * seconds)))


def write_quiet(path, seconds):
    """Noise within 120..126: near silence by the control's test (112..133)."""
    rnd = random.Random(7)
    write_samples(path, (rnd.randint(120, 126) for _ in range(CAPTURE_RATE * seconds)))


def make_home(base, name, capture, playback):
    """A HOME whose ALSA default device reads `capture` and writes `playback`."""
    home = os.path.join(base, name)
    os.makedirs(home)
    with open(os.path.join(home, ".asoundrc"), "w") as f:
        f.write(f"""pcm.!default {{ type asym; capture.pcm "voicecap"; playback.pcm "voiceplay" }}
pcm.voicecap {{ type plug; slave {{ pcm "voicecapfile"; format S16_LE; rate {CAPTURE_RATE}; channels 1 }} }}
pcm.voicecapfile {{ type file; slave.pcm "null"; file "/dev/null"; infile "{capture}"; format "raw" }}
pcm.voiceplay {{ type plug; slave {{ pcm "voiceplayfile"; format S16_LE; rate {PLAYBACK_RATE}; channels 1 }} }}
pcm.voiceplayfile {{ type file; slave.pcm "null"; file "{playback}"; format "raw" }}
""")
    return home


def two_chat_homes(seconds, hz, prefix="tovan-chat-sound-"):
    """The sound devices of two chat clients A and B, in a new folder: A's
    microphone hears a tone of `hz` for `seconds`, B's near-silence; each
    plays into a file. (folder, home A, home B, what B played); the caller
    removes the folder."""
    folder = tempfile.mkdtemp(prefix=prefix)
    tone, quiet = os.path.join(folder, "tone.raw"), os.path.join(folder, "quiet.raw")
    write_tone(tone, seconds, hz)
    write_quiet(quiet, seconds)
    played = os.path.join(folder, "b_played.raw")
    home_a = make_home(folder, "a", tone, os.path.join(folder, "a_played.raw"))
    home_b = make_home(folder, "b", quiet, played)
    return folder, home_a, home_b, played


def power_at(samples, rate, hz):
    """Goertzel power of one frequency."""
    k = 2 * math.cos(2 * math.pi * hz / rate)
    s1 = s2 = 0.0
    for x in samples:
        s1, s2 = x + k * s1 - s2, s1
    return s1 * s1 + s2 * s2 - k * s1 * s2


def dominant_frequency(pcm16, rate):
    """Frequency (50 Hz steps) of the strongest component of the loudest second."""
    count = len(pcm16) // 2
    samples = struct.unpack("<%dh" % count, pcm16[:count * 2])
    loudest, energy = None, 0
    for start in range(0, max(0, count - rate) + 1, rate):
        chunk = samples[start:start + rate]
        e = sum(x * x for x in chunk)
        if e > energy:
            loudest, energy = chunk, e
    if not loudest or energy == 0:
        return None, 0
    powers = {hz: power_at(loudest, rate, hz) for hz in range(100, rate // 2, 50)}
    best = max(powers, key=powers.get)
    return best, math.sqrt(energy / len(loudest))
