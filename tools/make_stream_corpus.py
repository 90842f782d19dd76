#!/usr/bin/python3
"""Makes running streams for measuring hands-free listening from a development corpus.

    tools/make_stream_corpus.py CORPUS OUTDIR [--enroll K] [--speakers REGEX] [--sounds-share S]

CORPUS is a folder made by tools/make_dev_corpus.py (its manifest.csv names the takes). Per speaker and
vocabulary, takes 1..K of every word are the examples a user would save; every later take is a test take. The
test takes are joined into one stream with 0.5-3 s of room noise between them: the noise is of the colour and
level of the neighbouring takes' own noise, its level gliding from the one take's to the next's, so that the
stream has no step where a take begins. The takes were made at noise levels up to 30 dB apart, and no room
jumps by that much between two words: they are ordered so that the room's noise drifts, rising through the
first half of the stream and falling through the second (which word comes when is left to chance). About S of the gaps (default 0.5) hold a non-speech
sound: a bell, a chime, a camera shutter or another sound of the freedesktop sound theme, or a synthetic
knock, door slam, clap, hum, whoosh, beep, typing or cough, its peak 15 dB below to 3 dB above the
neighbouring speech's.

Output per speaker and vocabulary, in OUTDIR/<speaker>__<vocab>/:
  stream.wav   22050 Hz, 16-bit, mono
  truth.csv    kind (word | sound), label, start and end in seconds of the stream, source file
  enrol.csv    the takes to save as examples (manifest columns)
  takes.csv    the test takes in stream order (manifest columns)
Random draws are seeded by the speaker and vocabulary: every stream is reproducible byte for byte.
Needs sox, python3-numpy and the sound-theme-freedesktop package (installed with apt-get when run as root).
"""
import argparse
import csv
import glob
import hashlib
import os
import re
import subprocess
import sys
import wave
from collections import defaultdict

import numpy as np

import make_dev_corpus as corpus

corpus.np = np

SR = 22050
GAP_S = (0.5, 3.0)
THEME = '/usr/share/sounds/freedesktop/stereo'
# The theme's spoken entries ("front left", ...) are speech, not sounds.
SPOKEN = re.compile(r'audio-channel-')
LONGEST_SOUND_S = 2.5


def seed_of(*parts):
    return int.from_bytes(hashlib.sha256('|'.join(parts).encode('utf-8')).digest()[:8], 'little')


def install_missing(packages):
    missing = [p for p in packages
               if subprocess.run(['dpkg-query', '-W', '-f=${Status}', p], capture_output=True,
                                 text=True).stdout.find('install ok installed') < 0]
    if missing and os.geteuid() == 0:
        subprocess.run(['apt-get', 'install', '-y', '--no-install-recommends'] + missing, check=True,
                       stdout=subprocess.DEVNULL)


def read_wav(path):
    with wave.open(path, 'rb') as w:
        return np.frombuffer(w.readframes(w.getnframes()), dtype='<i2').astype(np.float64) / 32768


def write_wav(path, x):
    y = np.clip(np.round(x * 32768), -32768, 32767).astype('<i2')
    with wave.open(path, 'wb') as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(SR)
        w.writeframes(y.tobytes())


def white(rng, n):
    return rng.standard_normal(n)


def rms(x):
    return float(np.sqrt(np.mean(x ** 2))) if len(x) else 0.0


# ----------------------------------------------------------------- non-speech sounds
def theme_sounds():
    sounds = []
    for path in sorted(glob.glob(os.path.join(THEME, '*.oga'))):
        if SPOKEN.search(os.path.basename(path)):
            continue
        raw = subprocess.run(['sox', '-R', '-D', path, '-t', 'f32', '-c', '1', '-r', str(SR), '-'],
                             capture_output=True, check=True).stdout
        x = np.frombuffer(raw, dtype='<f4').astype(np.float64)[:int(LONGEST_SOUND_S * SR)]
        sounds.append(('theme:' + os.path.basename(path)[:-4], x))
    return sounds


def decaying(rng, seconds, decay_s, colour=white):
    n = int(seconds * SR)
    return colour(rng, n) * np.exp(-np.arange(n) / (decay_s * SR))


def band(x, low, high):
    spectrum = np.fft.rfft(x)
    f = np.fft.rfftfreq(len(x), 1 / SR)
    spectrum[(f < low) | (f > high)] = 0
    return np.fft.irfft(spectrum, len(x))


def placed(parts, seconds):
    out = np.zeros(int(seconds * SR))
    for at, x in parts:
        i = int(at * SR)
        out[i:i + len(x)] += x[:len(out) - i]
    return out


def synthetic_sound(kind, rng):
    if kind == 'knock':
        hits = int(rng.integers(2, 5))
        gap = rng.uniform(0.15, 0.25)
        return placed([(k * gap, band(decaying(rng, 0.08, 0.015), 150, 2500)) for k in range(hits)], hits * gap + 0.1)
    if kind == 'slam':
        return band(decaying(rng, 0.6, rng.uniform(0.08, 0.2)), 40, rng.uniform(1500, 5000))
    if kind == 'clap':
        claps = int(rng.integers(1, 6))
        gap = rng.uniform(0.2, 0.45)
        return placed([(k * gap, decaying(rng, 0.05, 0.008)) for k in range(claps)], claps * gap + 0.06)
    if kind == 'hum':
        n = int(rng.uniform(0.5, 1.5) * SR)
        t = np.arange(n) / SR
        base = rng.choice([50.0, 60.0])
        x = sum(np.sin(2 * np.pi * base * h * t + rng.uniform(0, 6.3)) / h for h in range(1, 8))
        return x * np.minimum(1, np.minimum(t, t[::-1]) / 0.1)
    if kind == 'whoosh':
        n = int(rng.uniform(0.6, 1.2) * SR)
        x = white(rng, n)
        out = np.zeros(n)
        step = 512
        for i in range(0, n, step):
            centre = 300 * 2 ** (4 * i / n)
            seg = x[i:i + step]
            out[i:i + len(seg)] = band(seg, centre / 1.5, centre * 1.5) if len(seg) > 8 else 0
        return out * np.sin(np.pi * np.arange(n) / n)
    if kind == 'beep':
        n = int(rng.uniform(0.1, 0.5) * SR)
        t = np.arange(n) / SR
        f = rng.uniform(400, 2000)
        return np.sin(2 * np.pi * f * t) * np.minimum(1, np.minimum(t, t[::-1]) / 0.005)
    if kind == 'typing':
        seconds = rng.uniform(1.0, 2.0)
        times = np.sort(rng.uniform(0, seconds - 0.03, int(rng.integers(5, 13))))
        return placed([(at, band(decaying(rng, 0.02, 0.004), 1000, 8000)) for at in times], seconds)
    if kind == 'cough':
        return placed([(0.0, band(decaying(rng, 0.25, 0.08), 300, 3000)),
                       (rng.uniform(0.3, 0.5), band(decaying(rng, 0.2, 0.06), 300, 3000))], 0.8)
    raise ValueError(kind)


SYNTHETIC = ['knock', 'slam', 'clap', 'hum', 'whoosh', 'beep', 'typing', 'cough']


# ----------------------------------------------------------------- streams
def noise_of(path, row):
    """(colour, rms) of the noise of a take, from its noise-only lead."""
    x = read_wav(path)
    lead = int(int(row['lead_ms']) * SR / 1000)
    colour = corpus.pink if row['noise'] == 'pink' else white
    return colour, rms(x[:max(lead - int(0.02 * SR), int(0.05 * SR))]), x


def gap_noise(rng, n, before, after):
    """n samples of noise gliding from the colour and level before to those after."""
    (c1, r1), (c2, r2) = before, after
    w = np.linspace(0, 1, n)
    level = np.exp(np.log(max(r1, 1e-6)) * (1 - w) + np.log(max(r2, 1e-6)) * w)
    return (c1(rng, n) * np.sqrt(1 - w) + c2(rng, n) * np.sqrt(w)) * level


def make_stream(key, rows, corpus, outdir, sounds, sounds_share):
    speaker, vocab = key
    rng = np.random.default_rng(seed_of(speaker, vocab, 'stream'))
    shuffled = [rows[i] for i in rng.permutation(len(rows))]
    loaded = [noise_of(os.path.join(corpus, r['path']), r) for r in shuffled]
    by_level = sorted(range(len(shuffled)), key=lambda i: loaded[i][1])
    order = by_level[0::2] + by_level[1::2][::-1]
    takes = [shuffled[i] for i in order]
    loaded = [loaded[i] for i in order]
    pieces, truth = [], []
    at = 0
    previous = (loaded[0][0], loaded[0][1])
    for row, (colour, level, x) in zip(takes, loaded):
        n = int(rng.uniform(*GAP_S) * SR)
        gap = gap_noise(rng, n, previous, (colour, level))
        speech_peak = np.max(np.abs(x))
        if rng.random() < sounds_share:
            if rng.random() < 0.5:
                name, sound = sounds[int(rng.integers(len(sounds)))]
            else:
                kind = SYNTHETIC[int(rng.integers(len(SYNTHETIC)))]
                name, sound = 'synthetic:' + kind, synthetic_sound(kind, rng)
            sound = sound[:max(0, n - int(0.3 * SR))]
            if len(sound) > int(0.05 * SR):
                sound = sound / max(np.max(np.abs(sound)), 1e-9) * speech_peak * 10 ** (rng.uniform(-15, 3) / 20)
                i = int(rng.integers(int(0.15 * SR), n - len(sound) - int(0.15 * SR) + 1))
                gap[i:i + len(sound)] += sound
                truth.append(('sound', name, (at + i) / SR, (at + i + len(sound)) / SR, ''))
        pieces.append(gap)
        at += n
        pieces.append(x)
        lead = int(int(row['lead_ms']) * SR / 1000)
        trail = int(int(row['trail_ms']) * SR / 1000)
        truth.append(('word', row['word'], (at + lead) / SR, (at + len(x) - trail) / SR, row['path']))
        at += len(x)
        previous = (colour, level)
    pieces.append(gap_noise(rng, int(1.0 * SR), previous, previous))
    folder = os.path.join(outdir, '%s__%s' % (speaker, vocab))
    os.makedirs(folder, exist_ok=True)
    write_wav(os.path.join(folder, 'stream.wav'), np.concatenate(pieces))
    with open(os.path.join(folder, 'truth.csv'), 'w', newline='') as f:
        w = csv.writer(f)
        w.writerow(['kind', 'label', 'start', 'end', 'path'])
        for kind, label, start, end, path in truth:
            w.writerow([kind, label, '%.4f' % start, '%.4f' % end, path])
    return folder, takes


def write_rows(path, fields, rows):
    with open(path, 'w', newline='') as f:
        w = csv.DictWriter(f, fieldnames=fields)
        w.writeheader()
        w.writerows(rows)


def main(argv):
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument('corpus')
    ap.add_argument('outdir')
    ap.add_argument('--enroll', type=int, default=3)
    ap.add_argument('--speakers', default='')
    ap.add_argument('--sounds-share', type=float, default=0.5)
    args = ap.parse_args(argv)
    install_missing(['sox', 'libsox-fmt-base', 'python3-numpy', 'sound-theme-freedesktop'])

    with open(os.path.join(args.corpus, 'manifest.csv'), newline='') as f:
        reader = csv.DictReader(f)
        fields = reader.fieldnames
        rows = [r for r in reader if re.search(args.speakers, r['speaker'])]
    groups = defaultdict(list)
    for r in rows:
        groups[(r['speaker'], r['vocab'])].append(r)
    sounds = theme_sounds()
    for key in sorted(groups):
        enrol = [r for r in groups[key] if 1 <= int(r['rep']) <= args.enroll]
        tests = [r for r in groups[key] if int(r['rep']) > args.enroll]
        folder, takes = make_stream(key, tests, args.corpus, args.outdir, sounds, args.sounds_share)
        write_rows(os.path.join(folder, 'enrol.csv'), fields, enrol)
        write_rows(os.path.join(folder, 'takes.csv'), fields, takes)
        print(folder, len(takes), 'takes', flush=True)


if __name__ == '__main__':
    main(sys.argv[1:])
