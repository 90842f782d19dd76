#!/usr/bin/python3
"""Makes clips of sounds that are not speech, for measuring how often they are taken for a command.

    tools/make_non_speech.py OUTDIR

Two halves that share no source, so that a rejection rule can be chosen on one and measured on the other:
  OUTDIR/A  sound effects of heroes-sound-effects, oxygen-sounds and yaru-theme-sound, and synthetic sounds
  OUTDIR/B  sound effects of deepin-sound-theme, lbreakout2-data, eiskaltdcpp-sounds and
            sound-theme-freedesktop, and synthetic sounds of other random draws
Effects in which a voice speaks are left out. Synthetic sounds: noise bursts, bangs (a noise impulse dying
away), hums of mains frequency and its harmonics, beeps, sweeps, click trains and whooshes (noise whose band
moves). Each sound is cut to its first 2.5 s of sound, peak-normalised to -3 dBFS, then written as the
development corpus writes its noisy takes: gain -12..0 dB, 100-500 ms of white or pink room noise before and
after, and the same noise under the sound at 15-35 dB below it. 22050 Hz, 16-bit, mono; every draw is seeded
by the clip's name, so every file is reproducible byte for byte. Missing packages (sox, the sound effects,
python3-numpy) are installed with apt-get when run as root.
"""
import os
import subprocess
import sys
from collections import namedtuple

import make_dev_corpus as corpus

np = None  # imported in main(), after the packages are installed

SR = corpus.SR
MAX_S = 2.5
SOURCES = {
    'A': ['heroes-sound-effects', 'oxygen-sounds', 'yaru-theme-sound'],
    'B': ['deepin-sound-theme', 'lbreakout2-data', 'eiskaltdcpp-sounds', 'sound-theme-freedesktop'],
}
# Effects in which a voice speaks or shouts words.
SPOKEN = {'go', 'ho_yeh', 'no', 'oh', 'stop', 'dammit', 'damn', 'excellent', 'verygood', 'wontgiveup'}
SPOKEN_PREFIXES = ('audio-channel-',)
SYNTHETIC_PER_KIND = 5
EXTENSIONS = ('.wav', '.ogg', '.oga', '.flac')
# What the corpus's random draws are keyed by.
CLIP_ITEM = namedtuple('ClipItem', 'speaker vocab label')


def package_files(package):
    listing = subprocess.run(['dpkg', '-L', package], capture_output=True, text=True, check=True).stdout
    names = {}
    for path in sorted(listing.split()):
        stem, ext = os.path.splitext(os.path.basename(path))
        # Some packages ship one effect in two places; the first stands for both.
        if ext in EXTENSIONS and os.path.isfile(path) and stem not in SPOKEN \
                and not stem.startswith(SPOKEN_PREFIXES) and stem not in names:
            names[stem] = path
    return names


def effect(path):
    x = corpus.sox_to_f32([path], ['highpass', '40'])
    loud = np.nonzero(np.abs(x) > 0.01 * max(np.max(np.abs(x)), 1e-9))[0]
    if len(loud) == 0:
        return None
    return x[loud[0]:loud[0] + int(MAX_S * SR)]


def envelope(rng, n):
    """Attack of 2..30 ms, then a hold and an exponential or linear decay."""
    attack = max(1, int(rng.uniform(0.002, 0.03) * SR))
    env = np.ones(n)
    env[:attack] = np.linspace(0, 1, attack)
    if rng.random() < 0.5:
        env[attack:] = np.exp(-np.arange(n - attack) / (rng.uniform(0.1, 0.6) * (n - attack)))
    else:
        env[attack:] = np.linspace(1, 0, n - attack)
    return env


def band_noise(rng, n, low, high):
    spectrum = np.fft.rfft(rng.standard_normal(n))
    f = np.fft.rfftfreq(n, 1 / SR)
    spectrum[(f < low) | (f > high)] = 0
    return np.fft.irfft(spectrum, n)


def synthetic(kind, rng):
    n = int(rng.uniform(0.15, 1.5) * SR)
    t = np.arange(n) / SR
    if kind == 'burst':
        x = (corpus.pink(rng, n) if rng.random() < 0.5 else rng.standard_normal(n)) * envelope(rng, n)
    elif kind == 'bang':
        n = int(rng.uniform(0.08, 0.6) * SR)
        x = band_noise(rng, n, 30, rng.uniform(800, 8000)) * np.exp(-np.arange(n) / (rng.uniform(0.01, 0.1) * SR))
    elif kind == 'hum':
        base = 50.0 if rng.random() < 0.5 else 60.0
        x = sum(rng.uniform(0.2, 1.0) / k * np.sin(2 * np.pi * base * k * t + rng.uniform(0, 6.3)) for k in range(1, 9))
    elif kind == 'beep':
        x = np.sin(2 * np.pi * rng.uniform(400, 3000) * t) * envelope(rng, n)
    elif kind == 'sweep':
        f = np.linspace(rng.uniform(200, 3000), rng.uniform(200, 3000), n)
        x = np.sin(2 * np.pi * np.cumsum(f) / SR) * envelope(rng, n)
    elif kind == 'clicks':
        x = np.zeros(n)
        period = int(SR / rng.uniform(3, 40))
        x[::period] = 1.0
        x = np.convolve(x, np.exp(-np.arange(200) / 20.0) * rng.standard_normal(200))[:n]
    else:  # whoosh: a band of noise moving up or down, swelling and fading
        x = np.zeros(n)
        frames = 20
        edges = np.linspace(rng.uniform(300, 4000), rng.uniform(300, 4000), frames)
        step = n // frames
        for i in range(frames):
            part = band_noise(rng, step, edges[i] * 0.7, edges[i] * 1.4)
            x[i * step:(i + 1) * step] = part * np.sin(np.pi * (i + 0.5) / frames)
    return x


def write_clip(path, name, x):
    x = x * (10 ** (-3 / 20) / max(np.max(np.abs(x)), 1e-9))
    p, rng = corpus.draw_params(CLIP_ITEM('noise', 'clips', name), 1, False)
    corpus.write_wav(path, corpus.perturbed(x, dict(p, tempo=1.0, pitch_cents=0.0), rng))


def main(argv):
    global np
    if len(argv) != 2:
        sys.exit(__doc__)
    packages = [p for half in SOURCES.values() for p in half]
    corpus.install_missing(['sox', 'libsox-fmt-base', 'python3-numpy'] + packages)
    import numpy
    np = corpus.np = numpy
    outdir = argv[1]
    count = 0
    for half, sources in SOURCES.items():
        for package in sources:
            for stem, path in package_files(package).items():
                x = effect(path)
                if x is not None:
                    name = '%s_%s' % (package, stem)
                    write_clip(os.path.join(outdir, half, name + '.wav'), name, x)
                    count += 1
        for kind in ('burst', 'bang', 'hum', 'beep', 'sweep', 'clicks', 'whoosh'):
            for i in range(SYNTHETIC_PER_KIND):
                name = 'synthetic-%s_%s%d' % (half, kind, i)
                write_clip(os.path.join(outdir, half, name + '.wav'), name,
                           synthetic(kind, np.random.default_rng(corpus.seed_of(name))))
                count += 1
    print('%d clips in %s' % (count, outdir))


if __name__ == '__main__':
    main(sys.argv)
