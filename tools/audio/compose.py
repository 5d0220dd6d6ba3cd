#!/usr/bin/env python3
"""Writes the note data of the game's four music tracks as Standard MIDI files.

    python3 compose.py OUTDIR            -> OUTDIR/menu.mid, theme1.mid, theme2.mid, theme3.mid
    python3 compose.py OUTDIR --test     -> OUTDIR/short.mid (a half-second chime)

Each tune is written as sections of chords (one per bar, as scale degrees of the key)
with a melody in scale degrees; bass, harmony and drum parts are generated from the
chords in the tune's own style. Humanising uses a fixed seed, so the output never
changes between runs. menu.mid holds the menu tune three times over, so that the
middle pass can be cut out as a seamless loop (see make_audio.sh).
"""

import random
import struct
import sys
from pathlib import Path

PPQ = 480  # ticks per beat

# General MIDI drum keys
KICK, SNARE, SIDESTICK, CLAP, HAT, PEDAL_HAT, OPEN_HAT = 36, 38, 37, 39, 42, 44, 46
CRASH, RIDE, RIDE_BELL, TAMB, SHAKER = 49, 51, 53, 54, 70
TOM_LO, TOM_MID, TOM_HI = 45, 47, 50

MAJOR = [0, 2, 4, 5, 7, 9, 11]
MINOR = [0, 2, 3, 5, 7, 8, 10]
DORIAN = [0, 2, 3, 5, 7, 9, 10]


# ---------------------------------------------------------------- MIDI file writing

def varlen(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.append(0x80 | (value & 0x7F))
        value >>= 7
    return bytes(reversed(out))


def track_chunk(events):
    """events: (tick, order, bytes); order keeps note-offs before note-ons at a tick."""
    data = bytearray()
    last = 0
    for tick, _, message in sorted(events, key=lambda e: (e[0], e[1])):
        data += varlen(tick - last) + message
        last = tick
    data += varlen(0) + b"\xff\x2f\x00"
    return b"MTrk" + struct.pack(">I", len(data)) + bytes(data)


class Part:
    def __init__(self, name, channel, program, volume=100, pan=64, reverb=40, chorus=0):
        self.name, self.channel = name, channel
        self.events = [(0, 0, b"\xff\x03" + varlen(len(name)) + name.encode())]
        if channel != 9:
            self.events.append((0, 1, bytes([0xC0 | channel, program])))
        for controller, value in ((7, volume), (10, pan), (91, reverb), (93, chorus)):
            self.events.append((0, 1, bytes([0xB0 | channel, controller, value])))

    def note(self, beat, length, pitch, velocity):
        if pitch is None:
            return
        start = int(round(beat * PPQ))
        end = max(start + 1, int(round((beat + length) * PPQ)) - 2)
        velocity = max(1, min(127, int(velocity)))
        self.events.append((start, 3, bytes([0x90 | self.channel, pitch, velocity])))
        self.events.append((end, 2, bytes([0x80 | self.channel, pitch, 0])))


class Song:
    def __init__(self, tempo, root, scale, beats_per_bar=4, seed=1):
        self.tempo, self.root, self.scale = tempo, root, scale
        self.beats_per_bar = beats_per_bar
        self.parts = {}
        self.rng = random.Random(seed)

    def part(self, name, *args, **kwargs):
        channel = len([p for p in self.parts.values() if p.channel != 9])
        if channel >= 9:
            channel += 1
        self.parts[name] = Part(name, 9 if name == "drums" else channel, *args, **kwargs)
        return self.parts[name]

    def pitch(self, degree, octave_base, accidental=0):
        """Scale degree (1 = the tonic) above the key's root in the given octave."""
        index = degree - 1
        octave, step = divmod(index, 7)
        return self.root + 12 * (octave_base + octave) + self.scale[step] + accidental

    def human(self, velocity, spread=6):
        return velocity + self.rng.randint(-spread, spread)

    def write(self, path):
        tempo_us = int(round(60_000_000 / self.tempo))
        meta = [(0, 0, b"\xff\x51\x03" + tempo_us.to_bytes(3, "big")),
                (0, 0, b"\xff\x58\x04" + bytes([self.beats_per_bar, 2, 24, 8]))]
        chunks = [track_chunk(meta)] + [track_chunk(p.events) for p in self.parts.values()]
        header = b"MThd" + struct.pack(">IHHH", 6, 1, len(chunks), PPQ)
        Path(path).write_bytes(header + b"".join(chunks))


# ---------------------------------------------------------------- note data helpers

def parse_line(text):
    """'3:1 5:.5 r:.5 #4:2' -> [(degree, accidental, beats)], degree None for a rest."""
    notes = []
    for token in text.split():
        degree, beats = token.split(":")
        accidental = 0
        while degree and degree[0] in "#b":
            accidental += 1 if degree[0] == "#" else -1
            degree = degree[1:]
        notes.append((None if degree == "r" else int(degree), accidental, float(beats)))
    return notes


def play_line(song, part, start_beat, text, octave, velocity, transpose_degrees=0,
              staccato=1.0, accent_downbeats=True):
    beat = start_beat
    for degree, accidental, beats in parse_line(text):
        if degree is not None:
            v = velocity + (8 if accent_downbeats and abs(beat % 1) < 1e-6 and beat % 2 == 0 else 0)
            part.note(beat, beats * staccato, song.pitch(degree + transpose_degrees, octave, accidental),
                      song.human(v, 4))
        beat += beats
    return beat


def chord_root(chord):
    return int(chord[0])


def chord_tones(song, chord, octave):
    """'1', '6', '5M' (major third forced), '2^7' (with the seventh): a triad or four-note
    chord built on a scale degree of the key."""
    root = chord_root(chord)
    seventh = chord.endswith("^7")
    degrees = [root, root + 2, root + 4] + ([root + 6] if seventh else [])
    pitches = [song.pitch(d, octave) for d in degrees]
    if "M" in chord and (pitches[1] - pitches[0]) % 12 == 3:
        pitches[1] += 1
    return pitches


def voice(pitches, low, high):
    """Moves each chord tone into [low, high) and sorts them: a close voicing."""
    out = []
    for p in pitches:
        while p < low:
            p += 12
        while p >= high:
            p -= 12
        out.append(p)
    return sorted(out)


# ---------------------------------------------------------------- styles of accompaniment

def pad(song, part, bar_beat, chord, velocity, low=55, high=72, beats=None):
    beats = beats or song.beats_per_bar
    for p in voice(chord_tones(song, chord, 0), low, high):
        part.note(bar_beat, beats, p, song.human(velocity, 3))


def stabs(song, part, bar_beat, chord, velocity, rhythm, low=57, high=74, length=0.35):
    tones = voice(chord_tones(song, chord, 0), low, high)
    for offset in rhythm:
        for p in tones:
            part.note(bar_beat + offset, length, p, song.human(velocity + (6 if offset == 0 else 0), 5))


def arpeggio(song, part, bar_beat, chord, velocity, step=0.5, low=64, pattern=(0, 1, 2, 3, 2, 1, 0, 1)):
    tones = voice(chord_tones(song, chord, 0), low, low + 12)
    tones = tones + [tones[0] + 12]
    count = int(song.beats_per_bar / step)
    for i in range(count):
        part.note(bar_beat + i * step, step * 0.9, tones[pattern[i % len(pattern)] % len(tones)],
                  song.human(velocity - (0 if i % 2 == 0 else 8), 4))


def bass_line(song, part, bar_beat, chord, next_chord, velocity, style):
    root = voice(chord_tones(song, chord, 0)[:1], 33, 45)[0]
    fifth = root + 7
    octave = root + 12
    target = voice(chord_tones(song, next_chord, 0)[:1], 33, 45)[0]
    approach = target - 1 if target > root else target + 1
    if style == "rock":
        for i in range(8):
            pitch = octave if i == 5 else (fifth if i == 6 else root)
            if i == 7:
                pitch = approach if target != root else root
            part.note(bar_beat + i * 0.5, 0.45, pitch, song.human(velocity - (0 if i % 2 == 0 else 10)))
    elif style == "funk":
        hits = [(0, 0.4, root, 0), (0.75, 0.2, root, -12), (1.5, 0.25, octave, -6), (2.0, 0.4, fifth, -4),
                (2.75, 0.2, root, -10), (3.0, 0.3, octave - 2 if octave - 2 > fifth else fifth, -6),
                (3.5, 0.4, approach, -2)]
        for offset, length, pitch, accent in hits:
            part.note(bar_beat + offset, length, pitch, song.human(velocity + accent))
    elif style == "drive":
        for i in range(8):
            pitch = root if i < 6 else (fifth if i == 6 else octave)
            part.note(bar_beat + i * 0.5, 0.4, pitch, song.human(velocity - (0 if i % 2 == 0 else 8)))
    elif style == "calm":
        part.note(bar_beat, 1.9, root, song.human(velocity))
        part.note(bar_beat + 2, 1.0, fifth, song.human(velocity - 8))
        part.note(bar_beat + 3, 0.9, approach if target != root else octave, song.human(velocity - 12))
    elif style == "whole":
        part.note(bar_beat, song.beats_per_bar - 0.1, root, song.human(velocity))


def drums(song, part, bar_beat, style, velocity, crash=False, fill=False, sparse=False):
    def hit(offset, key, v):
        part.note(bar_beat + offset, 0.2, key, song.human(v, 5))

    if crash:
        hit(0, CRASH, velocity + 5)
    if style == "rock":
        for i in range(8):
            if not (crash and i == 0):
                hit(i * 0.5, HAT, velocity - (12 if i % 2 else 0))
        for offset in ((0, 2) if sparse else (0, 2, 2.5)):
            hit(offset, KICK, velocity + 5)
        hit(1, SNARE, velocity + 2)
        if not fill:
            hit(3, SNARE, velocity + 2)
    elif style == "funk":
        for i in range(16):
            key = OPEN_HAT if i == 14 else HAT
            hit(i * 0.25, key, velocity - (0 if i % 4 == 0 else 14 if i % 2 else 22))
        for offset in (0, 0.75, 2.5):
            hit(offset, KICK, velocity + 6)
        hit(1, SNARE, velocity + 4)
        if not fill:
            hit(3, SNARE, velocity + 4)
            for ghost in (1.75, 2.25, 3.75):
                hit(ghost, SNARE, velocity - 40)
    elif style == "drive":
        for i in range(8):
            hit(i * 0.5, RIDE if not sparse else PEDAL_HAT, velocity - (10 if i % 2 else 0))
        for offset in ((0, 2) if sparse else (0, 1, 2, 2.5, 3)):
            hit(offset, KICK, velocity + 4)
        if sparse:
            hit(2, SNARE, velocity)
        else:
            hit(1, SNARE, velocity + 4)
            if not fill:
                hit(3, SNARE, velocity + 4)
    elif style == "calm":
        for i in range(8):
            hit(i * 0.5, SHAKER, velocity - 30 - (8 if i % 2 else 0))
        hit(0, KICK, velocity - 10)
        hit(2.5, KICK, velocity - 18)
        hit(1, SIDESTICK, velocity - 16)
        hit(3, SIDESTICK, velocity - 16)
    if fill:
        if style == "calm":
            return
        for i, key in enumerate((SNARE, SNARE, TOM_HI, TOM_HI, TOM_MID, TOM_MID, TOM_LO, TOM_LO)):
            hit(2 + i * 0.25, key, velocity - 6 + i * 2)


# ---------------------------------------------------------------- the tunes

def sections_to_bars(sections):
    """[(name, chords, extras)] -> list of bars (name, chord, index in section, extras)."""
    bars = []
    for name, chords, extras in sections:
        for i, chord in enumerate(chords.split()):
            bars.append((name, chord, i, extras))
    return bars


def song_bars(sections):
    """Each bar of a tune played once through: its first beat, name, chord, index in its
    section and extras, the chord that follows (its own at the end) and whether it ends
    its section."""
    bars = sections_to_bars(sections)
    for n, (name, chord, i, extras) in enumerate(bars):
        next_chord = bars[n + 1][1] if n + 1 < len(bars) else chord
        last_of_section = n + 1 == len(bars) or bars[n + 1][2] == 0
        yield n * 4, name, chord, i, extras, next_chord, last_of_section


def theme1():
    """Bright pop-rock in C major, 140 beats per minute."""
    song = Song(140, 60, MAJOR, seed=11)
    lead = song.part("lead", 80, volume=44, pan=64, reverb=45, chorus=20)   # square lead
    echo = song.part("counter", 11, volume=112, pan=88, reverb=60)           # vibraphone
    keys = song.part("keys", 4, volume=63, pan=44, reverb=45, chorus=30)    # electric piano
    strings = song.part("strings", 50, volume=36, pan=80, reverb=70)        # synth strings
    bass = song.part("bass", 33, volume=87, pan=64, reverb=10)             # finger bass
    kit = song.part("drums", 0, volume=120, pan=64, reverb=30)

    a1 = ["3:1 5:1 8:1.5 7:.5", "7:1 5:1 2:2", "3:.5 4:.5 5:1 6:1 8:1", "6:3 r:1",
          "3:1 5:1 8:1.5 9:.5", "9:1 8:.5 7:.5 5:2", "6:1 8:1 6:.5 5:.5 4:1", "5:1 2:1 5:1 7:1"]
    a_end = a1[:7] + ["8:3 r:1"]
    b1 = ["8:1.5 6:.5 8:1 10:1", "9:2 7:1 5:1", "7:1.5 5:.5 7:1 10:1", "8:3 r:1",
          "6:1 8:1 9:1 11:1", "11:1 10:.5 9:.5 7:2", "8:.5 7:.5 8:1 10:1 12:1", "12:2 r:.5 9:.5 7:.5 5:.5"]
    c1 = ["r:2 5:.5 6:.5 8:1", "r:4", "r:2 8:.5 9:.5 10:1", "9:2 r:2",
          "r:2 5:.5 6:.5 8:1", "r:4", "r:2 10:.5 9:.5 8:1", "7:2 5:2"]
    sections = [
        ("intro", "1 6 4 5", {}),
        ("A", "1 5 6 4 1 5 4 5", {"melody": a1}),
        ("A2", "1 5 6 4 1 5 4 5", {"melody": a1, "double": True}),
        ("B", "4 5 3 6 2 5 1 5", {"melody": b1}),
        ("A", "1 5 6 4 1 5 4 5", {"melody": a1}),
        ("C", "6 4 1 5 6 4 1 5", {"melody": c1, "breakdown": True}),
        ("B", "4 5 3 6 2 5 1 5", {"melody": b1, "double": True}),
        ("A2", "1 5 6 4 1 5 4 5", {"melody": a_end, "double": True}),
        ("outro", "4 5 1 1", {}),
    ]
    for beat, name, chord, i, extras, next_chord, last_of_section in song_bars(sections):
        breakdown = extras.get("breakdown", False)
        if name == "outro" and i == 3:
            pad(song, keys, beat, "1", 90, 60, 76, beats=3.5)
            pad(song, strings, beat, "1", 80, 55, 80, beats=3.8)
            bass.note(beat, 3.5, 36, 110)
            lead.note(beat, 3.5, 72, 100)
            kit.note(beat, 1, CRASH, 110)
            kit.note(beat, 1, KICK, 110)
            continue
        if name == "outro" and i == 2:
            lead.note(beat, 2, 76, 96)
            lead.note(beat + 2, 1, 74, 90)
            lead.note(beat + 3, 1, 71, 90)
        if name == "intro":
            arpeggio(song, keys, beat, chord, 78, 0.5, 60)
            if i >= 2:
                bass_line(song, bass, beat, chord, next_chord, 90, "whole")
            drums(song, kit, beat, "rock", 70 + i * 8, sparse=i < 2, fill=i == 3)
            continue
        melody = extras.get("melody")
        if melody:
            play_line(song, lead, beat, melody[i], 1, 96)
            if extras.get("double"):
                play_line(song, echo, beat, melody[i], 1, 70, transpose_degrees=-2)
        if breakdown:
            pad(song, strings, beat, chord, 70, 52, 72)
            arpeggio(song, echo, beat, chord, 72, 0.5, 67, pattern=(0, 2, 1, 3, 0, 2, 1, 3))
            bass_line(song, bass, beat, chord, next_chord, 88, "whole")
            drums(song, kit, beat, "rock", 78, crash=i == 0, sparse=True, fill=last_of_section)
        else:
            stabs(song, keys, beat, chord, 70, (0, 1.5, 2.5, 3.5) if name != "B" else (0, 2))
            if name in ("B", "A2"):
                pad(song, strings, beat, chord, 64)
            bass_line(song, bass, beat, chord, next_chord, 98, "rock")
            drums(song, kit, beat, "rock", 92, crash=i == 0, fill=last_of_section)
    return song


def theme2():
    """A funky groove in A dorian, 120 beats per minute."""
    song = Song(120, 57, DORIAN, seed=22)
    sax = song.part("sax", 65, volume=80, pan=70, reverb=50)            # alto sax
    clav = song.part("clav", 7, volume=88, pan=40, reverb=20)           # clavinet
    organ = song.part("organ", 17, volume=62, pan=88, reverb=50)        # percussive organ
    brass = song.part("brass", 61, volume=69, pan=56, reverb=45)        # brass section
    bass = song.part("bass", 36, volume=109, pan=64, reverb=8)          # slap bass
    kit = song.part("drums", 0, volume=120, pan=64, reverb=25)

    a1 = ["r:.5 1:.5 3:.5 4:.5 5:1.5 3:.5", "4:.5 6:.5 5:1 4:.5 3:.5 1:1", "r:.5 1:.5 3:.5 4:.5 5:.5 7:.5 8:1",
          "6:1 4:1 r:2", "3:.5 5:.5 7:.5 8:.5 7:1 5:1", "7:1 6:.5 5:.5 4:1 2:1", "3:.5 1:.5 3:1 5:1 4:.5 3:.5",
          "2:3 r:1"]
    a_end = a1[:6] + ["3:.5 1:.5 3:1 5:1 4:.5 2:.5", "1:3 r:1"]
    b1 = ["8:1 7:1 5:2", "6:1 5:1 4:2", "5:.5 7:.5 9:1 8:.5 7:.5 5:1", "8:3 r:1",
          "10:1 9:1 8:1.5 7:.5", "6:1 8:1 9:2", "7:1 9:1 11:1 9:1", "11:2 r:2"]
    # the vamp: short brass answers around a clavinet riff
    c1 = ["r:2 8:.5 8:.5 r:.5 7:.5", "r:2 6:.5 6:.5 r:.5 5:.5", "r:2 8:.5 8:.5 r:.5 10:.5", "9:1 r:3",
          "r:2 8:.5 8:.5 r:.5 7:.5", "r:2 6:.5 6:.5 r:.5 5:.5", "r:2 3:.5 4:.5 5:.5 7:.5", "8:2 r:2"]
    riff = "1:.25 r:.25 5:.25 1:.25 r:.5 3:.25 4:.25 r:.5 5:.25 r:.25 4:.25 3:.25 1:.5"
    sections = [
        ("intro", "1 4 1 4", {}),
        ("A", "1 4 1 4 3 7 1 5", {"melody": a1}),
        ("A2", "1 4 1 4 3 7 1 5", {"melody": a1, "brass": True}),
        ("B", "3 4 5 1 3 4 7 7", {"melody": b1}),
        ("C", "1 4 1 4 1 4 3 5", {"brass_line": c1}),
        ("A", "1 4 1 4 3 7 1 5", {"melody": a1, "brass": True}),
        ("B", "3 4 5 1 3 4 7 7", {"melody": b1, "brass": True}),
        ("A2", "1 4 1 4 3 7 1 1", {"melody": a_end, "brass": True}),
        ("outro", "4 4 1 1", {}),
    ]
    for beat, name, chord, i, extras, next_chord, last_of_section in song_bars(sections):
        if name == "outro":
            if i < 2:
                play_line(song, clav, beat, riff, 0, 80, transpose_degrees=3)
                bass_line(song, bass, beat, chord, "1", 96, "funk")
                drums(song, kit, beat, "funk", 86, crash=i == 0, fill=i == 1)
                if i == 1:
                    play_line(song, brass, beat, "r:2 4:.5 5:.5 6:.5 7:.5", 1, 96)
                    play_line(song, sax, beat, "r:2 6:.5 7:.5 8:.5 9:.5", 1, 90)
            elif i == 2:
                stabs(song, brass, beat, "1^7", 104, (0,), 60, 77, length=3.5)
                play_line(song, sax, beat, "10:3.5", 1, 96)
                pad(song, organ, beat, "1^7", 70, 57, 76, beats=3.8)
                bass.note(beat, 3.5, 33, 110)
                kit.note(beat, 1, CRASH, 112)
                kit.note(beat, 1, KICK, 112)
            continue
        if name == "intro":
            play_line(song, clav, beat, riff, 0, 84, transpose_degrees=3 if chord == "4" else 0)
            if i >= 1:
                bass_line(song, bass, beat, chord, next_chord, 94, "funk")
            drums(song, kit, beat, "funk", 78 + i * 5, sparse=i == 0, fill=i == 3)
            continue
        melody = extras.get("melody")
        if melody:
            play_line(song, sax, beat, melody[i], 1, 94, staccato=0.92)
        if extras.get("brass") and melody:
            stabs(song, brass, beat, chord, 80, (1.5, 3.5) if i % 2 == 0 else (0.5,), 60, 76, length=0.3)
        if extras.get("brass_line"):
            play_line(song, brass, beat, extras["brass_line"][i], 1, 98, staccato=0.8)
            play_line(song, sax, beat, extras["brass_line"][i], 1, 72, transpose_degrees=-2, staccato=0.8)
        shift = chord_root(chord) - 1
        play_line(song, clav, beat, riff, 0, 70, transpose_degrees=shift)
        if name in ("B", "C") or extras.get("brass"):
            pad(song, organ, beat, chord + "^7", 58, 55, 74)
        bass_line(song, bass, beat, chord, next_chord, 100, "funk")
        drums(song, kit, beat, "funk", 90, crash=i == 0, fill=last_of_section)
    return song


def theme3():
    """A driving chase in E minor, 150 beats per minute."""
    song = Song(150, 52, MINOR, seed=33)
    trumpet = song.part("trumpet", 56, volume=97, pan=60, reverb=50)    # trumpet
    horns = song.part("horns", 60, volume=77, pan=80, reverb=55)        # french horn
    guitar = song.part("guitar", 29, volume=68, pan=36, reverb=25)      # overdriven guitar
    synth = song.part("synth", 81, volume=42, pan=92, reverb=40)        # saw lead, arpeggios
    strings = song.part("strings", 48, volume=87, pan=70, reverb=70)    # string ensemble
    bass = song.part("bass", 38, volume=74, pan=64, reverb=8)           # synth bass
    kit = song.part("drums", 0, volume=120, pan=64, reverb=30)

    a1 = ["1:.5 1:.5 5:1 3:.5 4:.5 5:1", "6:1 5:.5 4:.5 3:1 r:1", "3:.5 3:.5 7:1 5:.5 6:.5 7:1",
          "8:1 7:.5 6:.5 7:2", "1:.5 1:.5 5:1 8:1 7:.5 6:.5", "5:1 6:1 8:2", "6:.5 5:.5 4:.5 3:.5 4:1 6:1",
          "#7:1 2:1 4:1 #7:1"]
    a_end = a1[:7] + ["#7:2 9:2"]
    b1 = ["10:2 8:1 7:1", "9:1.5 8:.5 7:2", "8:1 6:1 4:1 6:1", "5:3 r:1",
          "10:1 11:1 12:1 10:1", "9:1 11:1 9:1 7:1", "8:.5 10:.5 12:1 10:.5 8:.5 6:1", "9:2 #7:2"]
    c1 = ["5:4", "6:4", "7:4", "#7:4", "8:4", "6:4", "7:2 9:2", "#7:4"]
    sections = [
        ("intro", "1 6 7 5M", {}),
        ("A", "1 6 3 7 1 6 4 5M", {"melody": a1}),
        ("A2", "1 6 3 7 1 6 4 5M", {"melody": a1, "horns": True}),
        ("B", "3 7 4 1 3 7 6 5M", {"melody": b1}),
        ("C", "1 6 3 5M 1 6 7 5M", {"melody": c1, "breakdown": True}),
        ("A", "1 6 3 7 1 6 4 5M", {"melody": a1, "horns": True}),
        ("B", "3 7 4 1 3 7 6 5M", {"melody": b1, "horns": True}),
        ("A2", "1 6 3 7 1 6 4 5M", {"melody": a_end, "horns": True}),
        ("outro", "6 7 1 1", {}),
    ]
    for beat, name, chord, i, extras, next_chord, last_of_section in song_bars(sections):
        if name == "outro":
            if i < 2:
                stabs(song, guitar, beat, chord, 92, (0, 0.5, 1.5, 2, 3, 3.5), 40, 57, length=0.3)
                bass_line(song, bass, beat, chord, next_chord, 98, "drive")
                pad(song, strings, beat, chord, 84, 55, 76)
                play_line(song, trumpet, beat, "8:2 7:2" if i == 0 else "9:2 #7:2", 1, 100)
                drums(song, kit, beat, "drive", 94, crash=i == 0, fill=i == 1)
            elif i == 2:
                for p in (40, 47, 52, 55, 59, 64):
                    guitar.note(beat, 3.6, p, 100)
                pad(song, strings, beat, "1", 92, 52, 79, beats=3.8)
                pad(song, horns, beat, "1", 90, 55, 72, beats=3.6)
                trumpet.note(beat, 3.6, 76, 108)
                bass.note(beat, 3.6, 28, 112)
                kit.note(beat, 1, CRASH, 115)
                kit.note(beat, 1, KICK, 112)
                kit.note(beat, 1, TOM_LO, 100)
            continue
        if name == "intro":
            for k in range(8):
                kit.note(beat + k * 0.5, 0.2, TOM_LO if k % 2 == 0 else TOM_MID, song.human(62 + i * 8 + k))
            stabs(song, guitar, beat, chord, 76 + i * 5, (0, 1.5, 3), 40, 57, length=0.45)
            arpeggio(song, synth, beat, chord, 74, 0.25, 64, pattern=(0, 1, 2, 3))
            if i == 3:
                drums(song, kit, beat, "drive", 90, fill=True, sparse=True)
            continue
        melody = extras.get("melody")
        breakdown = extras.get("breakdown", False)
        if breakdown:
            play_line(song, strings, beat, melody[i], 1, 86)
            arpeggio(song, synth, beat, chord, 78, 0.25, 64, pattern=(0, 1, 2, 3, 2, 1))
            bass_line(song, bass, beat, chord, next_chord, 90, "whole")
            drums(song, kit, beat, "drive", 80, crash=i == 0, sparse=i < 6, fill=last_of_section)
            if i >= 4:
                play_line(song, horns, beat, melody[i], 0, 74, transpose_degrees=2)
            continue
        if melody:
            play_line(song, trumpet, beat, melody[i], 1, 100, staccato=0.9)
            if extras.get("horns"):
                play_line(song, horns, beat, melody[i], 1, 76, transpose_degrees=-2, staccato=0.9)
        stabs(song, guitar, beat, chord, 80, (0, 0.5, 1.5, 2, 3, 3.5), 40, 57, length=0.3)
        if name in ("B",) or extras.get("horns"):
            pad(song, strings, beat, chord, 62, 55, 76)
        if name == "B":
            arpeggio(song, synth, beat, chord, 60, 0.25, 72, pattern=(0, 1, 2, 3))
        bass_line(song, bass, beat, chord, next_chord, 100, "drive")
        drums(song, kit, beat, "drive", 92, crash=i == 0, fill=last_of_section)
    return song


def menu():
    """The calm menu tune in F major, 72 beats per minute, written three times over."""
    song = Song(72, 53, MAJOR, seed=44)
    bell = song.part("bell", 11, volume=120, pan=74, reverb=80)           # vibraphone
    keys = song.part("keys", 4, volume=68, pan=50, reverb=70, chorus=40)  # electric piano
    pad_part = song.part("pad", 89, volume=62, pan=64, reverb=90)        # warm pad
    bass = song.part("bass", 32, volume=80, pan=64, reverb=20)           # acoustic bass
    kit = song.part("drums", 0, volume=87, pan=64, reverb=50)

    a1 = ["5:1.5 3:.5 5:1 6:1", "8:2 r:1 6:1", "5:1 4:1 2:1 4:1", "3:3 r:1",
          "5:1.5 3:.5 5:1 8:1", "9:2 r:1 8:1", "7:1 6:1 5:1 2:1", "5:3 r:1"]
    b1 = ["r:1 8:1 6:1 4:1", "5:2 3:2", "r:1 6:1 4:1 2:1", "5:3 r:1",
          "r:1 8:1 9:1 10:1", "9:2 7:2", "8:1 5:1 3:1 2:1", "1:3 r:1"]
    a2 = ["5:1 6:.5 5:.5 3:1 5:1", "8:3 6:1", "5:1 4:.5 3:.5 2:1 4:1", "3:3 r:1",
          "5:1 6:.5 5:.5 3:1 8:1", "9:1.5 10:.5 9:1 8:1", "7:1 6:1 5:1 2:1", "5:4"]
    sections = [
        ("A", "1 6 2 5 1 6 2 5", a1),
        ("B", "4 3 6 2 4 3 2 5", b1),
        ("A2", "1 6 2 5 1 6 2 5", a2),
    ]
    bars = sections_to_bars([(name, chords, {"melody": line}) for name, chords, line in sections])
    for rep in range(3):
        for n, (name, chord, i, extras) in enumerate(bars):
            beat = (rep * len(bars) + n) * 4
            next_chord = bars[(n + 1) % len(bars)][1]
            play_line(song, bell, beat, extras["melody"][i], 1, 76 if name != "B" else 70)
            seventh = chord + "^7"
            pad(song, pad_part, beat, seventh, 58, 53, 72)
            arpeggio(song, keys, beat, seventh, 60, 0.5, 60, pattern=(0, 2, 1, 3, 2, 1, 3, 2))
            bass_line(song, bass, beat, chord, next_chord, 84, "calm")
            drums(song, kit, beat, "calm", 80, crash=False)
    return song


def test_chime():
    """A half-second two-note chime for the mixer's tests."""
    song = Song(120, 72, MAJOR, seed=5)
    bell = song.part("bell", 9, volume=100, reverb=0)  # glockenspiel
    bell.note(0, 0.25, 72, 100)
    bell.note(0.25, 0.25, 79, 100)
    return song


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    if "--test" in sys.argv:
        test_chime().write(out / "short.mid")
        return
    for name, build in (("menu", menu), ("theme1", theme1), ("theme2", theme2), ("theme3", theme3)):
        build().write(out / f"{name}.mid")


if __name__ == "__main__":
    main()
