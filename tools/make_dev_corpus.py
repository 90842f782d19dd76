#!/usr/bin/python3
"""Makes a development corpus of many voices for tuning and measuring recognition accuracy.

    tools/make_dev_corpus.py OUTDIR [--jobs N] [--quiet] [--speakers REGEX]

Speakers (ids are stable; the prefix tells the kind of source):
  rec-LANG    real recordings from Debian's ktuberling-data (words, vocab `ktub`) and klettres-data
              (syllables, or letters where a language has no syllables, vocab `klet`). A language is
              taken as one speaker. Per vocab one item is taken from each of 15 equal stretches of the
              sorted item list, skipping phrases (names with a separator, and the "sunglasses"
              picture, which most languages name with several words) and words longer than 2.5 s.
  fest-LANG_V festival voices of Italian, Finnish, Czech, Catalan, Hindi, Marathi and Telugu, each saying
              twelve commands of its own language (vocab `cmd`).
  esp-VOICE   espeak-ng voices of fourteen other languages, some with variants so that both sexes are
              heard, saying the same twelve commands (vocab `cmd`); and en-us and en+f2 saying V1
              (forward back left right stop go up down open close) and V2 (zero..nine).
Each word's source (recording or synthesis) is converted to 22050 Hz mono, high-passed at 40 Hz, trimmed
to the word and peak-normalised to -3 dBFS. From it we write
  r00       the clean token with 250 ms of digital silence on each side,
  r01..r10  repetitions that differ as a speaker's do: sox tempo (0.85-1.15, speech mode), sox pitch
            (+-100 cents), gain (-12..0 dB), white or pink noise at 15-35 dB SNR (45-60 dB with --quiet,
            a quiet room), 100-500 ms of noise-only lead and trail.
Random draws are seeded by sha256(speaker|vocab|word|rep): every file is reproducible byte for byte.
Output: OUTDIR/<speaker>/<vocab>/<word>_rNN.wav (22050 Hz, 16-bit, mono) and OUTDIR/manifest.csv; word
labels are ASCII, the text column holds what was said (or the recording's name). Sources are cached in
OUTDIR/cache. --speakers keeps only the speakers whose id matches REGEX.

Missing Debian packages (sox, opus-tools, espeak-ng, festival and its voices, the recordings,
python3-numpy) are installed with apt-get when run as root.
"""
import argparse
import csv
import hashlib
import os
import re
import subprocess
import sys
import time
import unicodedata
import wave
import xml.etree.ElementTree as ET
from collections import namedtuple
from multiprocessing import Pool

np = None  # imported in main(), after the packages are installed

SR = 22050
NREP = 10
MAX_ITEMS = 15
MIN_ITEMS = 6
MAX_WORD_S = 2.5
TOOLS = ['sox', 'libsox-fmt-base', 'opus-tools', 'python3-numpy']

# ----------------------------------------------------------------- words
# Twelve commands per language, in this order: forward back left right stop go up down open close yes no.
COMMANDS = {
    'ca': 'endavant enrere esquerra dreta para vés amunt avall obre tanca sí no',
    'cs': 'vpřed zpět vlevo vpravo stop jeď nahoru dolů otevři zavři ano ne',
    'de': 'vorwärts zurück links rechts halt los hoch runter öffnen schließen ja nein',
    'el': 'εμπρός πίσω αριστερά δεξιά στοπ πήγαινε πάνω κάτω άνοιξε κλείσε ναι όχι',
    'es': 'adelante atrás izquierda derecha para sigue arriba abajo abre cierra sí no',
    'fi': 'eteenpäin taaksepäin vasen oikea seis mene ylös alas avaa sulje kyllä ei',
    'fr': 'avance recule gauche droite stop va haut bas ouvre ferme oui non',
    'hi': 'आगे पीछे बाएँ दाएँ रुको चलो ऊपर नीचे खोलो बंद हाँ नहीं',
    'hu': 'előre hátra balra jobbra állj menj fel le nyisd zárd igen nem',
    'it': 'avanti indietro sinistra destra stop vai su giù apri chiudi sì no',
    'mr': 'पुढे मागे डावीकडे उजवीकडे थांबा चला वर खाली उघडा बंद हो नाही',
    'nl': 'vooruit terug links rechts stop ga omhoog omlaag open dicht ja nee',
    'pl': 'naprzód wstecz lewo prawo stop jedź góra dół otwórz zamknij tak nie',
    'pt': 'frente trás esquerda direita pare vai cima baixo abre fecha sim não',
    'sv': 'framåt bakåt vänster höger stopp kör upp ner öppna stäng ja nej',
    'te': 'ముందుకు వెనుకకు ఎడమ కుడి ఆగు వెళ్ళు పైకి కిందకి తెరువు మూయి అవును కాదు',
    'tr': 'ileri geri sol sağ dur git yukarı aşağı aç kapat evet hayır',
}
# Labels for the scripts that do not fold to ASCII.
ROMANISED = {
    'el': 'embros piso aristera dexia stop pigaine pano kato anoixe kleise nai ochi',
    'hi': 'aage peeche baayen daayen ruko chalo upar neeche kholo band haan nahin',
    'mr': 'pudhe maage daavikade ujavikade thaamba chala var khaali ughada band ho naahi',
    'te': 'munduku venukaku edama kudi aagu vellu paiki kindaki teruvu mooyi avunu kaadu',
}
ENGLISH = {
    'V1': 'forward back left right stop go up down open close',
    'V2': 'zero one two three four five six seven eight nine',
}

FOLD = str.maketrans({'ß': 'ss', 'æ': 'ae', 'œ': 'oe', 'ø': 'o', 'ł': 'l', 'đ': 'd', 'ı': 'i'})


def ascii_label(text):
    """Lower-case ASCII spelling of a Latin-script word ('schließen' -> 'schliessen'); '' for others."""
    t = unicodedata.normalize('NFKD', text.lower().translate(FOLD))
    t = ''.join(c for c in t if not unicodedata.combining(c))
    return re.sub('[^a-z0-9]+', '_', t).strip('_') if t.isascii() else ''


def command_words(lang):
    texts = COMMANDS[lang].split()
    labels = ROMANISED[lang].split() if lang in ROMANISED else [ascii_label(t) for t in texts]
    return list(zip(labels, texts))


# ----------------------------------------------------------------- speakers
# One word of one speaker. src is the recording for real speech, None for synthesis.
Item = namedtuple('Item', 'speaker kind engine voice lang vocab label text src')


def festival_speakers():
    """speaker id -> (voice, lang, text encoding, packages, extra setup)."""
    # The Indic voices leave the intonation method to a previously loaded (English) voice; set it here.
    def indic(name):
        return ("(Parameter.set 'Int_Method 'Simple)\n"
                "(set! int_simple_params %s_el_int_simple_params)\n" % name)
    return {
        'fest-it_lp': ('lp_diphone', 'it', 'latin-1', ['festvox-italp16k'], ''),
        'fest-it_pc': ('pc_diphone', 'it', 'latin-1', ['festvox-itapc16k'], ''),
        'fest-fi_lj': ('suo_fi_lj_diphone', 'fi', 'latin-1', ['festvox-suopuhe-lj'], ''),
        'fest-fi_mv': ('hy_fi_mv_diphone', 'fi', 'latin-1', ['festvox-suopuhe-mv'], ''),
        'fest-cs_dita': ('czech_dita', 'cs', 'iso-8859-2', ['festvox-czech-dita'], ''),
        'fest-cs_krb': ('czech_krb', 'cs', 'iso-8859-2', ['festvox-czech-krb'], ''),
        'fest-cs_machac': ('czech_machac', 'cs', 'iso-8859-2', ['festvox-czech-machac'], ''),
        'fest-cs_ph': ('czech_ph', 'cs', 'iso-8859-2', ['festvox-czech-ph'], ''),
        'fest-ca_ona': ('upc_ca_ona_hts', 'ca', 'iso-8859-15', ['festvox-ca-ona-hts'], ''),
        'fest-hi_nsk': ('hindi_NSK_diphone', 'hi', 'utf-8', ['festvox-hi-nsk', 'festival-hi'],
                        indic('hindi')),
        'fest-mr_nsk': ('marathi_NSK_diphone', 'mr', 'utf-8', ['festvox-mr-nsk', 'festival-mr'],
                        indic('marathi')),
        'fest-te_nsk': ('telugu_NSK_diphone', 'te', 'utf-8', ['festvox-te-nsk', 'festival-te'],
                        indic('telugu')),
    }


ESPEAK_VOICES = ['de', 'de+f3', 'fr', 'fr+f2', 'es+m3', 'es+f4', 'it', 'it+f1', 'pl', 'pl+f3', 'cs+m2',
                 'nl+klatt', 'sv+f1', 'pt+m4', 'fi+f5', 'hu', 'tr+f2', 'el+m7', 'hi', 'hi+f3']
KTUBERLING = '/usr/share/ktuberling/sounds'
KTUBERLING_LANGS = ['es', 'fi', 'ga', 'it', 'nds', 'nl', 'nn', 'pt', 'ro', 'sr', 'sv']
KLETTRES = '/usr/share/klettres'
KLETTRES_LANGS = ['ar', 'cs', 'es', 'he', 'hu', 'it', 'ml', 'nb', 'nds', 'nl', 'pt_BR', 'tn']


def espeak_id(voice):
    return 'esp-' + voice.replace('+', '_')


def speaker_packages():
    """speaker id -> Debian packages its words need."""
    pk = {spk: ['festival'] + f[3] for spk, f in festival_speakers().items()}
    for voice in ESPEAK_VOICES + ['en-us', 'en+f2']:
        pk[espeak_id(voice)] = ['espeak-ng']
    for lang in KTUBERLING_LANGS:
        pk['rec-' + lang] = ['ktuberling-data']
    for lang in KLETTRES_LANGS:
        pk.setdefault('rec-' + lang, []).append('klettres-data')
    return pk


def synthetic_items(spk):
    def items(engine, voice, lang, vocab, words):
        return [Item(spk, 'synthetic', engine, voice, lang, vocab, label, text, None)
                for label, text in words]
    if spk.startswith('fest-'):
        voice, lang = festival_speakers()[spk][:2]
        return items('festival', voice, lang, 'cmd', command_words(lang))
    voice = spk[len('esp-'):].replace('_', '+')
    if voice in ('en-us', 'en+f2'):
        return [it for vocab, words in ENGLISH.items()
                for it in items('espeak-ng', voice, 'en', vocab, [(w, w) for w in words.split()])]
    lang = voice.split('+')[0]
    return items('espeak-ng', voice, lang, 'cmd', command_words(lang))


def ktuberling_candidates(lang):
    """(name, file) of one language's picture words; the file name is the word as the theme spells it."""
    theme = ET.parse(os.path.join(KTUBERLING, lang + '.soundtheme')).getroot()
    # Most languages name sunglasses with several words ('gafas de sol').
    files = {s.get('file') for s in theme.iter('sound') if s.get('name') != 'sunglasses'}
    out = []
    for f in sorted(files):
        stem = os.path.splitext(os.path.basename(f))[0]
        if not re.search('[-_ ]', stem):
            out.append((stem, os.path.join(KTUBERLING, f)))
    return out


def klettres_candidates(lang):
    """(name, file) of one language's syllables, or of its letters where it has no syllables."""
    root = ET.parse(os.path.join(KLETTRES, lang, 'sounds.xml')).getroot()
    group = root.find('.//syllables')
    if group is None or not len(group):
        group = root.find('.//alphabet')
    return sorted((s.get('name').lower(), os.path.join(KLETTRES, s.get('file')))
                  for s in group.iter('sound'))


def labelled(spk, vocab, engine, voice, lang, candidates):
    """Items with unique ASCII labels: the folded name, or the file's own name for other scripts.
    The packages' lists name a few files that are not shipped; those are passed over."""
    items, seen = [], set()
    for name, path in candidates:
        if not os.path.exists(path):
            continue
        stem = ascii_label(os.path.splitext(os.path.basename(path))[0])
        label = ascii_label(name)
        if not label or label in seen:
            label = stem
        seen.add(label)
        items.append(Item(spk, 'recorded', engine, voice, lang, vocab, label, name, path))
    return items


def recorded_items(spk, cache):
    lang = spk[len('rec-'):]
    vocabs = []
    if lang in KTUBERLING_LANGS:
        vocabs.append(labelled(spk, 'ktub', 'ktuberling-data', lang, lang, ktuberling_candidates(lang)))
    if lang in KLETTRES_LANGS:
        vocabs.append(labelled(spk, 'klet', 'klettres-data', lang, lang, klettres_candidates(lang)))
    chosen = []
    for items in vocabs:
        picked = spread_pick(items, lambda it: word_seconds(it, source_path(it, cache)) <= MAX_WORD_S)
        if len(picked) >= MIN_ITEMS:
            chosen += picked
        else:
            print('%s/%s left out: only %d usable items' % (spk, items[0].vocab, len(picked)))
    return chosen


def spread_pick(items, usable):
    """The first usable item of each of MAX_ITEMS equal stretches of items, so that a long list is
    sampled across its whole range (a short one is taken whole)."""
    n = len(items)
    picked = []
    for i in range(MAX_ITEMS):
        stretch = items[i * n // MAX_ITEMS:(i + 1) * n // MAX_ITEMS]
        picked += next(([it] for it in stretch if usable(it)), [])
    return picked


def items_for(speaker_ids, cache):
    return [it for spk in speaker_ids
            for it in (recorded_items(spk, cache) if spk.startswith('rec-') else synthetic_items(spk))]


# ----------------------------------------------------------------- packages
def install_missing(packages):
    """apt-get install whichever of packages is not installed (as root), or stop saying which."""
    def installed(pkg):
        r = subprocess.run(['dpkg-query', '-W', '-f=${Status}', pkg], stdout=subprocess.PIPE,
                           stderr=subprocess.DEVNULL)
        return r.stdout.endswith(b' installed')
    missing = sorted(p for p in set(packages) if not installed(p))
    if not missing:
        return
    if os.geteuid() != 0:
        sys.exit('missing Debian packages (install as root): ' + ' '.join(missing))
    print('installing ' + ' '.join(missing))
    env = dict(os.environ, DEBIAN_FRONTEND='noninteractive')
    subprocess.run(['apt-get', 'update', '-q'], check=True, env=env, stdout=subprocess.DEVNULL)
    subprocess.run(['apt-get', 'install', '-y', '-q', '--no-install-recommends'] + missing, check=True,
                   env=env, stdout=subprocess.DEVNULL)


# ----------------------------------------------------------------- sources
def run(cmd, **kw):
    r = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.PIPE, **kw)
    if r.returncode != 0:
        raise RuntimeError('%s failed: %s' % (' '.join(cmd), r.stderr.decode(errors='replace')))
    return r.stdout


def festival_say(voice, coding, setup, text, dst):
    scm = '(voice_%s)\n%s(utt.save.wave (utt.synth (Utterance Text "%s")) "%s" \'riff)\n' % (
        voice, setup, text, dst)
    run(['festival', '--pipe'], input=scm.encode(coding))


def source_path(item, cache):
    """Path of the item's source as 16-bit WAV, synthesised or converted on first use."""
    dst = os.path.join(cache, item.speaker, item.vocab, item.label + '.wav')
    if os.path.exists(dst):
        return dst
    os.makedirs(os.path.dirname(dst), exist_ok=True)
    tmp = dst + '.tmp.wav'
    if item.engine == 'espeak-ng':
        run(['espeak-ng', '-v', item.voice, '-w', tmp, item.text])
    elif item.engine == 'festival':
        voice, _, coding, _, setup = festival_speakers()[item.speaker]
        festival_say(voice, coding, setup, item.text, tmp)
    elif item.src.endswith('.opus'):
        run(['opusdec', '--quiet', '--no-dither', '--rate', '48000', item.src, tmp])
    else:
        run(['sox', '-R', '-D', item.src, '-b', '16', '-c', '1', tmp])
    if not os.path.exists(tmp) or os.path.getsize(tmp) <= 44:
        raise RuntimeError('no audio for %s/%s/%s' % (item.speaker, item.vocab, item.label))
    os.replace(tmp, dst)
    return dst


def sox_to_f32(src_args, effects=(), stdin=None):
    """Run sox (repeatable, no dither) and return mono float64 at 22050 Hz."""
    cmd = ['sox', '-R', '-D'] + list(src_args) + ['-t', 'f32', '-c', '1', '-r', str(SR), '-'] + list(effects)
    return np.frombuffer(run(cmd, input=stdin), dtype='<f4').astype(np.float64)


def speech_span(x, floor_db=12.0, rel_db=-35.0, min_run=3, max_gap_s=0.4, margin_s=0.03):
    """(start, end) sample indices of the word in x, without leading/trailing silence or stray clicks.
    10 ms frames are active when their RMS exceeds max(peak + rel_db, noise floor (10th percentile) +
    floor_db), or peak + rel_db alone when floor_db is None; runs of >= min_run active frames with gaps
    <= max_gap_s are merged into segments, and the segment holding the most energy is kept, plus margin_s
    on each side."""
    n = int(0.01 * SR)
    nf = len(x) // n
    if nf < 3:
        return 0, len(x)
    pw = np.mean(x[:nf * n].reshape(nf, n) ** 2, axis=1) + 1e-20
    db = 10 * np.log10(pw)
    thr = db.max() + rel_db
    if floor_db is not None:
        thr = max(thr, np.percentile(db, 10) + floor_db)
    act = np.concatenate([[0], (db > thr).astype(int), [0]])
    d = np.diff(act)
    runs = [(a, b) for a, b in zip(np.nonzero(d == 1)[0], np.nonzero(d == -1)[0]) if b - a >= min_run]
    if not runs:
        runs = [(int(np.argmax(db)), int(np.argmax(db)) + 1)]
    segs = [list(runs[0])]
    for a, b in runs[1:]:
        if a - segs[-1][1] <= max_gap_s * 100:
            segs[-1][1] = b
        else:
            segs.append([a, b])
    a_f, b_f = max(segs, key=lambda s: pw[s[0]:s[1]].sum())
    m = int(margin_s * SR)
    return max(0, a_f * n - m), min(len(x), b_f * n + m)


def word_span(item, path):
    # The word is located on a 200 Hz high-passed copy, which ignores mains hum. The picture words are
    # clips cut to the word by their makers: their quietest frames are speech, not a noise floor.
    floor_db = None if item.engine == 'ktuberling-data' else 12.0
    return speech_span(sox_to_f32([path], ['highpass', '200']), floor_db)


def word_seconds(item, path):
    a, b = word_span(item, path)
    return (b - a) / SR


def base_token(item, path):
    # 40 Hz high-pass removes DC offsets.
    a, b = word_span(item, path)
    x = sox_to_f32([path], ['highpass', '40'])[a:b]
    return x * (10 ** (-3 / 20) / max(np.max(np.abs(x)), 1e-9))


# ----------------------------------------------------------------- takes
def pink(rng, n):
    """n samples of pink noise at unit RMS (any n: a stretch of one sample or none is made from two)."""
    spectrum = np.fft.rfft(rng.standard_normal(max(n, 2)))
    f = np.arange(len(spectrum), dtype=float)
    f[0] = 1.0
    spectrum = spectrum / np.sqrt(f)
    spectrum[0] = 0.0
    p = np.fft.irfft(spectrum, max(n, 2))[:n]
    return p / max(np.sqrt(np.mean(p ** 2)), 1e-12)


def seed_of(*parts):
    h = hashlib.sha256('|'.join(parts).encode('utf-8')).digest()
    return int.from_bytes(h[:8], 'little')


def draw_params(item, rep, quiet):
    rng = np.random.default_rng(seed_of(item.speaker, item.vocab, item.label, str(rep)))
    snr = rng.uniform(15, 35)
    # The same random stream either way; --quiet maps 15..35 dB onto 45..60 dB (a quiet room).
    p = dict(tempo=round(rng.uniform(0.85, 1.15), 3),
             pitch_cents=round(rng.uniform(-100, 100), 1),
             gain_db=round(rng.uniform(-12, 0), 2),
             noise='white' if rng.random() < 0.5 else 'pink',
             snr_db=round(45 + (snr - 15) * 0.75 if quiet else snr, 2),
             lead_ms=int(rng.integers(100, 501)),
             trail_ms=int(rng.integers(100, 501)))
    return p, rng


def write_wav(path, x):
    """Write x as 16-bit WAV; return the number of clipped samples."""
    y = np.clip(np.round(x * 32767), -32768, 32767).astype('<i2')
    os.makedirs(os.path.dirname(path), exist_ok=True)
    tmp = path + '.tmp'
    with wave.open(tmp, 'wb') as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(SR)
        w.writeframes(y.tobytes())
    os.replace(tmp, path)
    return int(np.sum(np.abs(x) * 32767 > 32767))


def perturbed(base, p, rng):
    y = sox_to_f32(['-t', 'f32', '-c', '1', '-r', str(SR), '-'],
                   ['tempo', '-s', str(p['tempo']), 'pitch', str(p['pitch_cents'])],
                   stdin=base.astype('<f4').tobytes())
    y = y * 10 ** (p['gain_db'] / 20)
    lead = int(p['lead_ms'] * SR / 1000)
    trail = int(p['trail_ms'] * SR / 1000)
    n = lead + len(y) + trail
    nz = pink(rng, n) if p['noise'] == 'pink' else rng.standard_normal(n)
    x = nz / np.sqrt(np.mean(nz ** 2)) * np.sqrt(np.mean(y ** 2) / 10 ** (p['snr_db'] / 10))
    x[lead:lead + len(y)] += y
    return x


def make_token(job):
    item, outdir, quiet = job
    base = base_token(item, source_path(item, os.path.join(outdir, 'cache')))
    common = dict(set='dev', speaker=item.speaker, kind=item.kind, engine=item.engine, voice=item.voice,
                  lang=item.lang, vocab=item.vocab, word=item.label, text=item.text)
    pad = np.zeros(int(0.25 * SR))
    takes = [(0, np.concatenate([pad, base, pad]),
              dict(tempo=1.0, pitch_cents=0.0, gain_db=0.0, noise='none', snr_db='', lead_ms=250,
                   trail_ms=250))]
    for rep in range(1, NREP + 1):
        p, rng = draw_params(item, rep, quiet)
        takes.append((rep, perturbed(base, p, rng), p))
    rows = []
    for rep, x, p in takes:
        rel = os.path.join(item.speaker, item.vocab, '%s_r%02d.wav' % (item.label, rep))
        clip = write_wav(os.path.join(outdir, rel), x)
        rows.append(dict(path=rel, rep=rep, clipped=clip, dur_s=round(len(x) / SR, 3), **p, **common))
    return rows


# ----------------------------------------------------------------- main
FIELDS = ['path', 'set', 'speaker', 'kind', 'engine', 'voice', 'lang', 'vocab', 'word', 'text', 'rep',
          'tempo', 'pitch_cents', 'gain_db', 'noise', 'snr_db', 'lead_ms', 'trail_ms', 'dur_s', 'clipped']


def summary(rows, seconds):
    per = {}
    for r in rows:
        s = per.setdefault(r['speaker'], dict(kind=r['kind'], lang=r['lang'], vocabs={}))
        s['vocabs'].setdefault(r['vocab'], set()).add(r['word'])
    for spk, s in sorted(per.items()):
        print('%-16s %-9s %-5s %s' % (spk, s['kind'], s['lang'], ' '.join(
            '%s:%d' % (v, len(w)) for v, w in sorted(s['vocabs'].items()))))
    print('%d speakers, %d vocabularies, %d files, %.1f min of audio, in %.1f s' % (
        len(per), sum(len(s['vocabs']) for s in per.values()), len(rows),
        sum(r['dur_s'] for r in rows) / 60, seconds))


def main(argv):
    global np
    ap = argparse.ArgumentParser(description='Make the multi-voice development corpus.')
    ap.add_argument('outdir')
    ap.add_argument('--jobs', type=int, default=os.cpu_count() or 1)
    ap.add_argument('--quiet', action='store_true', help='45-60 dB SNR instead of 15-35 dB')
    ap.add_argument('--speakers', default='', help='only speaker ids matching this regular expression')
    args = ap.parse_args(argv[1:])
    t0 = time.time()
    packages = speaker_packages()
    speaker_ids = sorted(s for s in packages if re.search(args.speakers, s))
    if not speaker_ids:
        sys.exit('no speaker matches %r' % args.speakers)
    install_missing(TOOLS + [p for s in speaker_ids for p in packages[s]])
    import numpy as np
    outdir = os.path.abspath(args.outdir)
    items = items_for(speaker_ids, os.path.join(outdir, 'cache'))
    with Pool(args.jobs) as pool:
        results = pool.map(make_token, [(it, outdir, args.quiet) for it in items], chunksize=1)
    rows = sorted((r for rr in results for r in rr), key=lambda r: r['path'])
    with open(os.path.join(outdir, 'manifest.csv'), 'w', newline='', encoding='utf-8') as f:
        w = csv.DictWriter(f, FIELDS, lineterminator='\n')
        w.writeheader()
        w.writerows(rows)
    summary(rows, time.time() - t0)


if __name__ == '__main__':
    main(sys.argv)
