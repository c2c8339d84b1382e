"""Sound between controls in separate Wine processes over loopback UDP, on
real wave devices: each process gets a HOME of its own whose ALSA
configuration captures from a prepared file and plays into a file.

- Two controls: side A captures a 1 kHz tone, side B near-silence; after
  both start voice, B's playback file holds a tone of about 1 kHz.
- One control without a peer, on working devices and on devices that fail
  to open: the voice events of start, restart and stops, VoiceOn, the
  playback and microphone volumes (printed: what the platform's mixer
  offers varies), and the control marked modified by a volume put.
- A control and a hand-driven peer: a near-silent capture sends no voice
  datagram at all, a tone does; voice datagrams of 0 bytes, of 20000 bytes,
  of garbage and from a stranger, and "!noop!" (answered "!P!"), leave the
  control running; the tone's datagrams sent from a stranger are played.

Usage: voice_sound_test.py --peer voice_peer.exe
"""

import argparse
import os
import random
import re
import socket
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.abspath(os.path.join(HERE, "..", ".."))
WINE_RUN = os.path.join(ROOT, "scripts", "wine-run")
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
from e2e_support import check, failures, wine_for, wine_setting  # noqa: E402
from sound_files import PLAYBACK_RATE, dominant_frequency, make_home, write_quiet, write_tone  # noqa: E402


def start_peer(peer, home, template, *args):
    env = dict(os.environ, HOME=home, TOVAN_CACHE=template, TOVAN_OWN_DISPLAY="1")
    return subprocess.Popen([WINE_RUN, peer] + [str(a) for a in args], env=env,
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, errors="replace")


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def wait_file(path, seconds):
    end = time.time() + seconds
    while time.time() < end:
        if os.path.exists(path) and os.path.getsize(path) > 0:
            return True
        time.sleep(0.2)
    return False


def two_controls(peer, base, template):
    tone, quiet = os.path.join(base, "tone.raw"), os.path.join(base, "quiet.raw")
    out_a, out_b = os.path.join(base, "a_out.raw"), os.path.join(base, "b_out.raw")
    home_a = make_home(base, "a", tone, out_a)
    home_b = make_home(base, "b", quiet, out_b)
    port_file = os.path.join(base, "b.port")
    b = start_peer(peer, home_b, template, "listen", windows_path(port_file), 90)
    if not check(wait_file(port_file, 60), "side B is listening"):
        b.kill()
        print(b.communicate()[0])
        return
    port = int(open(port_file).read().strip())
    a = start_peer(peer, home_a, template, "call", port, 10)
    out_a_text, _ = a.communicate(timeout=120)
    out_b_text, _ = b.communicate(timeout=120)
    print("side A:\n" + out_a_text + "side B:\n" + out_b_text)
    check(a.returncode == 0 and "VoiceStart" in out_a_text, "side A started and stopped voice")
    check(b.returncode == 0 and "VoiceStart" in out_b_text, "side B started and stopped voice")
    played = open(out_b, "rb").read() if os.path.exists(out_b) else b""
    hz, level = dominant_frequency(played, PLAYBACK_RATE)
    print("side B played %d bytes; strongest %s Hz at level %.0f" % (len(played), hz, level))
    check(hz is not None and abs(hz - 1000) <= 100 and level > 500,
          "side B's playback holds the 1 kHz tone side A captured")


class RawPeer:
    """The listening side of the handshake, by hand: a text and a voice socket."""

    def __init__(self):
        self.id = "0f0e0d0c-0b0a-0908-0706-050403020100"
        self.text = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.text.bind(("127.0.0.1", 0))
        self.voice = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.voice.bind(("127.0.0.1", 0))
        self.port = self.text.getsockname()[1]
        self.control_voice = None

    def handshake(self, seconds):
        self.text.settimeout(1)
        end = time.time() + seconds
        while time.time() < end:
            try:
                data, source = self.text.recvfrom(4096)
            except socket.timeout:
                continue
            fields = [f for f in data.decode("latin-1").split("|") if f]
            if fields[0] == "!ADDME!":
                control_text = source
                self.text.sendto(("!ADDACCEPT!|%s|%s|%s" % (fields[1], fields[2], self.id)).encode(), source)
            elif fields[0] == "!ADDVOICE!":
                # From the control's voice-receive socket; the answer goes to
                # its text socket and tells it where our voice socket is.
                self.control_voice = source
                self.voice.sendto(("!BDDVOICE!|%s" % self.id).encode(), control_text)
                return True
        return False

    def voice_datagrams(self, seconds):
        """Datagrams on the voice socket in the time, keep-alives left out."""
        got = []
        self.voice.settimeout(0.5)
        end = time.time() + seconds
        while time.time() < end:
            try:
                data, _ = self.voice.recvfrom(65536)
            except socket.timeout:
                continue
            if not data.upper().startswith(b"!NOOP!"):
                got.append(data)
        return got


def control_and_raw_peer(peer, base, template, capture, name, bad_input=False, replay=()):
    """The datagrams the control sent in 6 s. `replay`: voice datagrams sent
    to it afterwards from an address that is no peer, which it plays."""
    played = os.path.join(base, name + "_out.raw")
    home = make_home(base, name, capture, played)
    raw = RawPeer()
    proc = start_peer(peer, home, template, "call", raw.port, 25)
    if not check(raw.handshake(60), name + ": handshake with the hand-driven peer"):
        proc.kill()
        print(proc.communicate()[0])
        return None
    got = raw.voice_datagrams(6)
    if bad_input:
        stranger = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        for data in (b"", b"\x00" * 20000, bytes(random.Random(3).randrange(256) for _ in range(1625))):
            raw.voice.sendto(data, raw.control_voice)
            stranger.sendto(data, raw.control_voice)
        raw.voice.sendto(b"!noop!", raw.control_voice)
        raw.voice.settimeout(3)
        answer = b""
        try:
            while not answer.startswith(b"!P!"):
                answer = raw.voice.recvfrom(65536)[0]
        except socket.timeout:
            pass
        check(answer == b"!P!", name + ": \"!noop!\" on the voice socket is answered \"!P!\"")
    stranger = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    for data in replay:
        stranger.sendto(data, raw.control_voice)
        time.sleep(0.3)  # the playback ring holds five; a sixth too early is a gap
    out, _ = proc.communicate(timeout=120)
    print(out)
    check(proc.returncode == 0 and "VoiceStart" in out and "VoiceError" not in out.split("VoiceError 0")[0],
          name + ": the control started voice and stopped it cleanly")
    if replay:
        hz, level = dominant_frequency(open(played, "rb").read() if os.path.exists(played) else b"",
                                       PLAYBACK_RATE)
        check(hz is not None and abs(hz - 1000) <= 100 and level > 500,
              name + ": a stranger's voice datagrams are played (strongest %s Hz)" % hz)
    return got


def solo(peer, base, template, name, home):
    proc = start_peer(peer, home, template, "solo", "-", 2)
    out, _ = proc.communicate(timeout=120)
    lines = [l for l in out.splitlines() if not l.startswith("ALSA lib")]
    print("\n".join(lines))
    said = dict(l.split(": ", 1) for l in lines if ": " in l and not l.startswith("mixer"))
    check(proc.returncode == 0 and "solo done" in lines, name + ": the control ran through without a crash")
    check(said.get("stop before start") == "none", name + ": StopVoice before any start fires nothing")
    check(said.get("modified") == "before a put no, after yes", name + ": a volume put marks the control modified")
    # The microphone volume where mixer 0's recording destination (0x7) has a
    # microphone source (0x1003); 0 where it has none.
    mixer0 = [l for l in lines if l.startswith("mixer")]
    mixer0 = mixer0[:next((i for i, l in enumerate(mixer0[1:], 1) if l.startswith("mixer: ")), len(mixer0))]
    in_recording, microphone = False, False
    for l in mixer0:
        if "destination" in l:
            in_recording = "type 0x7," in l
        elif "source" in l and in_recording and "type 0x1003," in l:
            microphone = True
    expected = "0x4000" if microphone else "0x0"
    check(said.get("record volume") == "set 0x4000, read " + expected,
          name + ": RecordVolume reads back %s (mixer 0 %s a microphone line)" %
          (expected, "offers" if microphone else "does not offer"))
    return said


def solo_cases(peer, base, template):
    tone = os.path.join(base, "tone.raw")
    said = solo(peer, base, template, "working devices", make_home(base, "solo", tone, os.path.join(base, "solo.raw")))
    check(said.get("start") == "VoiceStart" and said.get("VoiceOn after start") == "true",
          "working devices: StartVoice fires VoiceStart and voice is on")
    check(said.get("start again") == "VoiceStop,VoiceStart", "working devices: a second StartVoice stops first")
    check(said.get("stop twice") == "VoiceStop" and said.get("VoiceOn after stop") == "false",
          "working devices: two StopVoice fire one VoiceStop and voice is off")
    # The device keeps a volume as a fraction and gives back the truncated
    # product: Wine's 32-bit winmm computes it in the x87's wider precision,
    # so 0x8000 comes back as 0x7FFF there (0x8000 in 64-bit code). The
    # control passes the device's word through either way.
    left = re.match(r"VolumeLeft 0x([0-9a-f]+)", said.get("volume while on", ""))
    check(left is not None and abs(int(left.group(1), 16) - 0x8000) <= 1,
          "working devices: SetVolume(0x8000, 0xFFFF) reads back 0x8000 on the left, give or take the device's last step")

    broken = os.path.join(base, "broken")
    os.makedirs(broken)
    with open(os.path.join(broken, ".asoundrc"), "w") as f:
        f.write("pcm.!default { type hw card 42 }\nctl.!default { type hw card 42 }\n")
    said = solo(peer, base, template, "no devices", broken)
    check(said.get("start") == "VoiceError" and said.get("VoiceOn after start") == "false",
          "no devices: StartVoice fires VoiceError and voice stays off")
    check(said.get("start again") == "VoiceError" and said.get("stop twice") == "none",
          "no devices: a second StartVoice fires VoiceError only; stops fire nothing")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--peer", required=True)
    args = ap.parse_args()
    os.environ.update(wine_for(args.peer))  # the Wine of the peer's architecture
    template = wine_setting("TOVAN_CACHE")  # Wine finds its cache through HOME, which each peer gets its own of
    with tempfile.TemporaryDirectory(prefix="tovan-voice-") as base:
        write_tone(os.path.join(base, "tone.raw"), 120)
        write_quiet(os.path.join(base, "quiet.raw"), 120)

        solo_cases(args.peer, base, template)
        two_controls(args.peer, base, template)

        tone = control_and_raw_peer(args.peer, base, template, os.path.join(base, "tone.raw"), "tone", True)
        if tone is not None:
            sizes = sorted(set(len(d) for d in tone))
            check(len(tone) > 0 and all(0 < n <= 11025 for n in sizes),
                  "a tone is sent as voice datagrams (%d, sizes %s)" % (len(tone), sizes))
        quiet = control_and_raw_peer(args.peer, base, template, os.path.join(base, "quiet.raw"), "quiet",
                                     replay=(tone or [])[:10])
        if quiet is not None:
            check(len(quiet) == 0, "near-silence sends no voice datagram (got %d)" % len(quiet))
    if failures:
        print("%d check(s) failed" % len(failures))
        return 1
    print("all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
