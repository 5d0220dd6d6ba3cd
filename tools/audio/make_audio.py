#!/usr/bin/env python3
"""Builds the game's music and sounds (game/music/*.ogg, game/sounds/*.ogg).

Needs the Debian packages: fluidsynth fluid-soundfont-gm espeak-ng sox vorbis-tools g++
    apt-get install -y fluidsynth fluid-soundfont-gm espeak-ng sox vorbis-tools g++

Run from anywhere:
    python3 tools/audio/make_audio.py            # music, sounds and the test chime
    python3 tools/audio/make_audio.py --report   # only measures the committed files

Steps: compose.py writes the note data as MIDI; fluidsynth renders it with the General
MIDI sound font; sox trims, fades and sets the level; the spoken calls come from
espeak-ng shaped with sox (EQ, compression, a little reverb); the effects are
synthesised with sox. Every file is brought to its loudness target (measured by
loudness.cpp: K-weighted, gated LUFS) with its true peak kept under -1.5 dBFS, then
encoded with oggenc at a fixed serial number, so a rebuild gives the same files.
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

HERE = Path(__file__).resolve().parent
ROOT = HERE.parent.parent
MUSIC_DIR = ROOT / "game" / "music"
SOUNDS_DIR = ROOT / "game" / "sounds"
FIXTURE = ROOT / "tests" / "platform" / "data" / "short.ogg"
SOUND_FONT = "/usr/share/sounds/sf2/FluidR3_GM.sf2"
RATE = 44100

MUSIC_LUFS = -16.0
VOICE_LUFS = -16.0
PEAK_CEILING = -1.5  # dBFS, true peak before encoding (Vorbis adds a few tenths)

# Spoken calls: file, text, speed (words per minute), pitch (0..99).
VOICE = "en-us+klatt4"
CALLS = [
    ("excellent", "Excellent!", 118, 46),
    ("fantastic", "Fantastic!", 118, 48),
    ("great", "Great!", 112, 46),
    ("perfect", "Perfect!", 118, 46),
    ("smashing", "Smashing!", 118, 48),
    ("spectacular", "Spectacular!", 124, 48),
    ("youaregood", "You are good!", 124, 46),
    ("leveldone", "Level done!", 122, 44),
    ("welldone", "Well done!", 118, 46),
    ("goodjob", "Good job!", 118, 46),
    ("gameover", "Game over.", 100, 36),
    ("warning", "Warning!", 118, 42),
]


def run(*args, **kwargs):
    return subprocess.run([str(a) for a in args], check=True, **kwargs)


def sox(*args):
    run("sox", "-R", "-V1", *args)


def float_wav(path):
    return ["-e", "floating-point", "-b", "32", str(path)]


class Meter:
    def __init__(self, work):
        self.exe = work / "loudness"
        run("g++", "-O2", "-std=c++20", "-o", self.exe, HERE / "loudness.cpp")

    def measure(self, path):
        decoded = subprocess.run(["sox", "-V1", str(path), "-t", "f32", "-c", "2", "-r", str(RATE), "-"],
                                 check=True, capture_output=True).stdout
        line = subprocess.run([str(self.exe)], input=decoded, check=True, capture_output=True).stdout.decode()
        return {k: float(v) for k, v in re.findall(r"(\w+)=(-?[\d.]+)", line)}


def level(meter, source, target, lufs, ceiling=PEAK_CEILING):
    """Gain to the loudness target. When the peaks would pass the ceiling, a soft limiter
    (above -9 dBFS, fast attack) takes them down and the gain is tried again, a few times."""
    current = source
    for attempt in range(4):
        m = meter.measure(current)
        gain = lufs - m["lufs"]
        if m["truepeak"] + gain <= ceiling or attempt == 3:
            sox(current, *float_wav(target), "gain", f"{min(gain, ceiling - m['truepeak']):.3f}")
            return
        limited = target.with_suffix(f".lim{attempt}.wav")
        sox(current, *float_wav(limited), "gain", f"{gain:.3f}",
            "compand", "0.001,0.12", "3:-9,-9,-3,-5,0,-3.5", "0", "-90", "0.002")
        current = limited


def encode(wav, ogg, quality, serial):
    ogg.parent.mkdir(parents=True, exist_ok=True)
    run("oggenc", "-Q", "-q", str(quality), "--serial", str(serial), "-o", ogg, wav, stderr=subprocess.DEVNULL)


# ---------------------------------------------------------------- music

def build_music(work, meter):
    run(sys.executable, HERE / "compose.py", work)
    seconds_per_beat = {"menu": 60 / 72}
    for serial, name in enumerate(("menu", "theme1", "theme2", "theme3"), start=100):
        rendered = work / f"{name}.raw.wav"
        run("fluidsynth", "-ni", "-q", "-g", "0.5", "-r", str(RATE), "-F", rendered, SOUND_FONT, work / f"{name}.mid")
        shaped = work / f"{name}.shaped.wav"
        if name == "menu":
            # The tune was written three times: the middle pass, cut at the exact bar
            # line, carries the first pass's reverb tail at its start just as a loop does.
            loop = int(round(24 * 4 * seconds_per_beat["menu"] * RATE))
            sox(rendered, *float_wav(shaped), "trim", f"{loop}s", f"{loop}s")
        else:
            # Trim the silence after the last chord's tail, fade the last second out.
            trimmed = work / f"{name}.trimmed.wav"
            sox(rendered, *float_wav(trimmed), "reverse", "silence", "1", "0.02", "-70d", "reverse")
            sox(trimmed, *float_wav(shaped), "fade", "t", "0", "-0", "1.2")
        leveled = work / f"{name}.wav"
        level(meter, shaped, leveled, MUSIC_LUFS)
        encode(leveled, MUSIC_DIR / f"{name}.ogg", 3, serial)


# ---------------------------------------------------------------- spoken calls

def build_calls(work, meter):
    for serial, (name, text, speed, pitch) in enumerate(CALLS, start=200):
        raw = work / f"{name}.speech.wav"
        run("espeak-ng", "-v", VOICE, "-s", str(speed), "-p", str(pitch), "-a", "120", "-w", raw, text)
        shaped = work / f"{name}.shaped.wav"
        sox(raw, "-r", str(RATE), *float_wav(shaped),
            "highpass", "110", "lowpass", "9000",
            "equalizer", "220", "1.0q", "2",       # a little body
            "equalizer", "3000", "1.2q", "3",      # presence: the words cut through the music
            "equalizer", "7500", "1.5q", "-4",     # tame the synthetic hiss
            "compand", "0.005,0.15", "6:-30,-24,-10,-8,0,-6", "0", "-90", "0.005",
            "chorus", "0.8", "0.9", "25", "0.3", "0.25", "2", "-s",
            "pad", "0", "0.3", "reverb", "18", "50", "40", "100", "8",
            "silence", "1", "0.01", "-55d", "reverse", "silence", "1", "0.01", "-55d", "reverse")
        faded = work / f"{name}.faded.wav"
        sox(shaped, *float_wav(faded), "fade", "t", "0.005", "-0", "0.12", "pad", "0", "0.05")
        shaped = faded
        leveled = work / f"{name}.wav"
        level(meter, shaped, leveled, VOICE_LUFS, ceiling=-2.0)
        encode(leveled, SOUNDS_DIR / f"{name}.ogg", 4, serial)


# ---------------------------------------------------------------- effects

def synth(path, seconds, *sources, effects=()):
    sox("-n", "-r", str(RATE), "-c", "1", *float_wav(path), "synth", f"{seconds}", *sources, *effects)


def mix(path, *parts, effects=(), fade_out=None):
    """Mixes the parts at full level and applies the effects; then fades the last
    `fade_out` seconds (a separate pass: after reverb sox no longer knows the length)."""
    args = ["-m"] if len(parts) > 1 else []
    for part in parts:
        args += ["-v", "1", str(part)] if len(parts) > 1 else [str(part)]
    target = path.with_suffix(".premix.wav") if fade_out else path
    sox(*args, *float_wav(target), *effects)
    if fade_out:
        sox(target, *float_wav(path), "fade", "q", "0", "-0", str(fade_out))


def build_effects(work):
    w = lambda name: work / f"fx_{name}.wav"  # noqa: E731
    fx = {}

    # A menu cursor step: a soft, short wooden tick.
    synth(w("move_a"), 0.06, "sine", "1320-990", effects=("fade", "q", "0.002", "0.06", "0.05"))
    synth(w("move_b"), 0.06, "pinknoise", effects=("bandpass", "2500", "2q", "fade", "q", "0.001", "0.06", "0.055"))
    mix(w("menumove"), w("move_a"), w("move_b"), effects=("gain", "-3",))
    fx["menumove"] = (w("menumove"), -22)

    # A value changed: two quick rising blips.
    synth(w("change_a"), 0.07, "triangle", "880", effects=("fade", "q", "0.003", "0.07", "0.04"))
    synth(w("change_b"), 0.09, "triangle", "1175", effects=("fade", "q", "0.003", "0.09", "0.06", "pad", "0.06"))
    mix(w("menuchange"), w("change_a"), w("change_b"))
    fx["menuchange"] = (w("menuchange"), -21)

    # Chosen: a bright two-note chime with a short ring.
    synth(w("enter_a"), 0.5, "pluck", "E5", effects=("fade", "q", "0.002", "0.5", "0.3"))
    synth(w("enter_b"), 0.6, "pluck", "B5", effects=("fade", "q", "0.002", "0.6", "0.4", "pad", "0.07"))
    mix(w("menuenter"), w("enter_a"), w("enter_b"), effects=("pad", "0", "0.15", "reverb", "20", "50", "60", "100", "0"), fade_out=0.1)
    fx["menuenter"] = (w("menuenter"), -19)

    # A figure lands: a short low thump with a knock on top.
    synth(w("fall_a"), 0.18, "sine", "150-45", effects=("fade", "q", "0.002", "0.18", "0.14"))
    synth(w("fall_b"), 0.05, "brownnoise", effects=("lowpass", "1800", "fade", "q", "0.001", "0.05", "0.045"))
    mix(w("figurefall"), w("fall_a"), w("fall_b"))
    fx["figurefall"] = (w("figurefall"), -18)

    # A new game: a rising major arpeggio with a sparkle.
    notes = ["C5", "E5", "G5", "C6"]
    for i, note in enumerate(notes):
        synth(w(f"new_{i}"), 0.6 - i * 0.05, "square", note, "square", note.replace("5", "4").replace("6", "5"),
              effects=("lowpass", "3500", "fade", "q", "0.004", f"{0.6 - i * 0.05:.2f}", "0.35", "gain", "-8",
                       "pad", f"{i * 0.09:.2f}"))
    synth(w("new_s"), 0.7, "sine", "2093-4186", effects=("tremolo", "18", "60", "fade", "q", "0.2", "0.7", "0.4",
                                                          "gain", "-14", "pad", "0.25"))
    mix(w("newgame"), *[w(f"new_{i}") for i in range(4)], w("new_s"),
        effects=("pad", "0", "0.25", "reverb", "30", "50", "70", "100", "10"), fade_out=0.2)
    fx["newgame"] = (w("newgame"), -17)

    # Lines cleared: a bright swoosh up with a chime.
    synth(w("del_a"), 0.45, "pinknoise", effects=("sinc", "1500-6000", "fade", "q", "0.03", "0.45", "0.3"))
    synth(w("del_b"), 0.5, "sine", "600-1800", effects=("fade", "q", "0.01", "0.5", "0.35", "gain", "-6"))
    synth(w("del_c"), 0.6, "pluck", "G6", effects=("fade", "q", "0.002", "0.6", "0.45", "gain", "-4", "pad", "0.12"))
    mix(w("linedel"), w("del_a"), w("del_b"), w("del_c"),
        effects=("pad", "0", "0.2", "reverb", "25", "50", "60", "100", "5"), fade_out=0.15)
    fx["linedel"] = (w("linedel"), -16)

    # A row pushed in from below: a heavy grinding shove, low and rising.
    synth(w("add_a"), 0.55, "square", "55-90", effects=("lowpass", "600", "fade", "q", "0.02", "0.55", "0.2"))
    synth(w("add_b"), 0.55, "brownnoise", effects=("lowpass", "900", "tremolo", "22", "70",
                                                  "fade", "q", "0.02", "0.55", "0.25"))
    synth(w("add_c"), 0.12, "sine", "120-50", effects=("fade", "q", "0.002", "0.12", "0.1", "pad", "0.45"))
    mix(w("lineadd"), w("add_a"), w("add_b"), w("add_c"), effects=("pad", "0", "0.05"))
    fx["lineadd"] = (w("lineadd"), -17)

    # A bomb goes off: a crack and a long low rumble.
    synth(w("boom_a"), 1.6, "brownnoise", effects=("lowpass", "700", "fade", "q", "0.003", "1.6", "1.45"))
    synth(w("boom_b"), 0.8, "sine", "90-28", effects=("fade", "q", "0.002", "0.8", "0.7"))
    synth(w("boom_c"), 0.12, "whitenoise", effects=("highpass", "1500", "fade", "q", "0.001", "0.12", "0.11"))
    mix(w("explosion"), w("boom_a"), w("boom_b"), w("boom_c"),
        effects=("highpass", "25", "pad", "0", "0.4", "reverb", "40", "50", "80", "100", "0"), fade_out=0.5)
    fx["explosion"] = (w("explosion"), -14)

    # The bomb arrives: three urgent two-tone beeps.
    beeps = []
    for i in range(3):
        synth(w(f"beep_{i}"), 0.22, "square", "988", "square", "740",
              effects=("lowpass", "4000", "fade", "q", "0.005", "0.22", "0.03", "gain", "-6", "pad", f"{i * 0.3:.2f}"))
        beeps.append(w(f"beep_{i}"))
    mix(w("bombwarning"), *beeps, effects=("pad", "0", "0.05"))
    fx["bombwarning"] = (w("bombwarning"), -17)

    # A super figure: a shimmering rising sweep with a bell on top.
    synth(w("super_a"), 1.1, "sine", "330-1320", "sine", "495-1980",
          effects=("tremolo", "12", "50", "fade", "q", "0.05", "1.1", "0.5", "gain", "-6"))
    synth(w("super_b"), 0.9, "pluck", "E6", effects=("fade", "q", "0.002", "0.9", "0.7", "gain", "-4", "pad", "0.5"))
    mix(w("superfigure"), w("super_a"), w("super_b"),
        effects=("chorus", "0.7", "0.9", "40", "0.4", "0.3", "2", "-s",
                 "pad", "0", "0.4", "reverb", "40", "50", "80", "100", "10"), fade_out=0.35)
    fx["superfigure"] = (w("superfigure"), -16)
    return fx


def build_sounds(work, meter):
    build_calls(work, meter)
    for serial, (name, (source, lufs)) in enumerate(sorted(build_effects(work).items()), start=300):
        # No offset and no click: the very end always fades to silence.
        clean = work / f"{name}.clean.wav"
        sox(source, *float_wav(clean), "highpass", "20", "fade", "h", "0", "-0", "0.015")
        leveled = work / f"{name}.wav"
        level(meter, clean, leveled, lufs, ceiling=-2.0)
        encode(leveled, SOUNDS_DIR / f"{name}.ogg", 4, serial)


def build_fixture(work):
    run(sys.executable, HERE / "compose.py", work, "--test")
    rendered = work / "short.raw.wav"
    run("fluidsynth", "-ni", "-q", "-g", "0.6", "-r", str(RATE), "-F", rendered, SOUND_FONT, work / "short.mid")
    shaped = work / "short.wav"
    sox(rendered, *float_wav(shaped), "trim", "0", "0.5", "fade", "q", "0", "-0", "0.1")
    encode(shaped, FIXTURE, 2, 400)


def report(meter):
    total = 0
    for folder in (MUSIC_DIR, SOUNDS_DIR):
        for path in sorted(folder.glob("*.ogg")):
            m = meter.measure(path)
            size = path.stat().st_size
            total += size
            print(f"{path.relative_to(ROOT)}: {m['seconds']:.2f} s, {m['lufs']:.1f} LUFS, peak {m['peak']:.2f} dBFS, "
                  f"true peak {m['truepeak']:.2f} dBFS, RMS {m['rms']:.1f} dBFS, last 2 ms {m['tail']:.0f} dBFS, "
                  f"{size / 1024:.0f} KiB")
    print(f"total {total / 1024 / 1024:.2f} MiB")


def main():
    for tool in ("fluidsynth", "espeak-ng", "sox", "oggenc", "g++"):
        if shutil.which(tool) is None:
            sys.exit(f"{tool} is missing: apt-get install -y fluidsynth fluid-soundfont-gm espeak-ng sox vorbis-tools g++")
    with tempfile.TemporaryDirectory(prefix="zt-audio-") as temp:
        work = Path(temp)
        meter = Meter(work)
        if "--report" not in sys.argv:
            os.environ.setdefault("LC_ALL", "C")
            only = [a for a in sys.argv[1:] if not a.startswith("--")]
            if not only or "music" in only:
                build_music(work, meter)
            if not only or "sounds" in only:
                build_sounds(work, meter)
            if not only or "fixture" in only:
                build_fixture(work)
        report(meter)


if __name__ == "__main__":
    main()
