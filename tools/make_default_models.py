#!/usr/bin/python3
"""Regenerates the shipped models and the demo examples, byte for byte.

    tools/make_default_models.py [--cli PATH] [--work DIR] [--languages LIST --out DIR]

1. Speech material of many voices and languages: festival's Italian, Finnish, Czech, Catalan, Hindi,
   Marathi and Telugu voices and espeak-ng's voices of other languages (the ones the development corpus
   uses, none English or Russian but en-us and en+f2) say everyday sentences of their own language
   (tools/training_sentences.py); real recordings of words and syllables of the packages the development
   corpus draws on add human voices, those words that the corpus measures on left out.
2. Default phoneme set: `parlanto-cli phonemes build --units 64 --templates 1` clusters the loud atoms of
   that material into 64 data-driven units, written to Models/ (NAME.phm, Data/NAME_1.bin).
3. Demo vocabulary: espeak-ng's en-us voice says every demo command a few times with small changes of speed
   and pitch; the first takes are saved as command models with `parlanto-cli enroll` (Models/COMMAND.vcm,
   Models/Data/COMMANDn.trj), the last becomes examples/COMMAND.wav.
4. Check: `parlanto-cli recognize` names every example's command, file by file and in one running recognizer.

--languages LIST (comma-separated codes) learns a set from those languages' voices only and writes it to
--out, with no demo: a set to measure on the other languages' speakers, who then took no part in it.
Needs what tools/make_dev_corpus.py needs (it installs it); the program itself never runs a synthesiser.
The material lives in a scratch folder (--work, default a new folder under /tmp, removed afterwards),
never in the repository.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
from multiprocessing import Pool

import make_dev_corpus as corpus
from training_sentences import SENTENCES

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MODELS = os.path.join(ROOT, 'Models')
EXAMPLES = os.path.join(ROOT, 'examples')

UNITS = 64
TEMPLATES = 1
RECORDINGS_PER_LANGUAGE = 30   # real words or syllables per language, so that no language outweighs the voices

# Every synthetic voice says each sentence of its language at two speeds and pitches, as different
# speakers of one voice would.
DELIVERIES = [(150, 45), (175, 60)]   # espeak-ng: words per minute, pitch 0..99

# The demo: a handful of commands in one voice; takes differ as a speaker's do, in speed and pitch.
DEMO_VOICE = 'en-us'
DEMO_COMMANDS = ['start', 'pause', 'next', 'louder', 'quieter']
DEMO_ENROLLED = [(165, 50), (150, 44)]   # (words per minute, pitch 0..99) of the takes saved as models
DEMO_EXAMPLE = (158, 47)                 # the take shipped as examples/COMMAND.wav


def run(command):
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    if result.returncode != 0:
        sys.exit('%s failed:\n%s%s' % (' '.join(command), result.stdout, result.stderr))
    return result.stdout


def say(voice, speed, pitch, text, wav):
    run(['espeak-ng', '-v', voice, '-s', str(speed), '-p', str(pitch), '-w', wav, text])


def to_material(src, dst):
    run(['sox', '-R', '-D', src, '-r', '22050', '-c', '1', '-b', '16', dst])


def synthetic_jobs(languages, folder):
    """(engine, voice, delivery, text, wav) of every synthetic sentence."""
    jobs = []
    for spk, (voice, lang) in [(s, f[:2]) for s, f in corpus.festival_speakers().items()]:
        if lang in languages:
            for k, text in enumerate(SENTENCES[lang]):
                jobs.append(('festival', spk, None, text, os.path.join(folder, '%s_%d.wav' % (spk, k))))
    for voice in corpus.ESPEAK_VOICES + ['en-us', 'en+f2']:
        lang = voice.split('+')[0].split('-')[0]
        if lang in languages:
            for d, delivery in enumerate(DELIVERIES):
                for k, text in enumerate(SENTENCES[lang]):
                    wav = os.path.join(folder, '%s_%d_%d.wav' % (corpus.espeak_id(voice), d, k))
                    jobs.append(('espeak-ng', voice, delivery, text, wav))
    return jobs


def synthesise(job):
    engine, voice, delivery, text, wav = job
    raw = wav + '.raw.wav'
    if engine == 'festival':
        name, _, coding, _, setup = corpus.festival_speakers()[voice]
        corpus.festival_say(name, coding, setup, text, raw)
    else:
        run(['espeak-ng', '-v', voice, '-s', str(delivery[0]), '-p', str(delivery[1]), '-w', raw, text])
    to_material(raw, wav)
    os.remove(raw)


def recorded_material(languages, folder):
    """Real recordings of the languages, minus the items the development corpus measures on."""
    count = 0
    for lang in sorted(set(corpus.KTUBERLING_LANGS + corpus.KLETTRES_LANGS) & set(languages)):
        spk = 'rec-' + lang
        cache = os.path.join(folder, 'cache')
        measured = {(it.vocab, it.label) for it in corpus.recorded_items(spk, cache)}
        candidates = []
        if lang in corpus.KTUBERLING_LANGS:
            candidates += corpus.labelled(spk, 'ktub', 'ktuberling-data', lang, lang,
                                          corpus.ktuberling_candidates(lang))
        if lang in corpus.KLETTRES_LANGS:
            candidates += corpus.labelled(spk, 'klet', 'klettres-data', lang, lang, corpus.klettres_candidates(lang))
        unused = [it for it in candidates if (it.vocab, it.label) not in measured]
        for it in unused[::max(1, len(unused) // RECORDINGS_PER_LANGUAGE)][:RECORDINGS_PER_LANGUAGE]:
            to_material(corpus.source_path(it, cache), os.path.join(folder, '%s_%s_%s.wav' % (spk, it.vocab, it.label)))
            count += 1
    shutil.rmtree(os.path.join(folder, 'cache'), ignore_errors=True)
    return count


def all_languages():
    return sorted(set(SENTENCES) | set(corpus.KTUBERLING_LANGS) | set(corpus.KLETTRES_LANGS))


def make_material(folder, languages, jobs):
    os.makedirs(folder)
    corpus.install_missing([p for spk, packages in corpus.speaker_packages().items() for p in packages]
                           + corpus.TOOLS)
    corpus.np = __import__('numpy')
    synthetic = synthetic_jobs(languages, folder)
    with Pool(jobs) as pool:
        pool.map(synthesise, synthetic, chunksize=1)
    return len(synthetic), recorded_material(languages, folder)


def remove_demo_commands():
    for name in os.listdir(MODELS):
        if name.lower().endswith('.vcm'):
            os.remove(os.path.join(MODELS, name))
    data = os.path.join(MODELS, 'Data')
    for name in os.listdir(data) if os.path.isdir(data) else []:
        if name.lower().endswith('.trj'):
            os.remove(os.path.join(data, name))


def make_demo(cli, folder):
    os.makedirs(folder)
    remove_demo_commands()
    os.makedirs(EXAMPLES, exist_ok=True)
    for command in DEMO_COMMANDS:
        for n, (speed, pitch) in enumerate(DEMO_ENROLLED, start=1):
            take = os.path.join(folder, '%s%d.wav' % (command, n))
            say(DEMO_VOICE, speed, pitch, command, take)
            run([cli, 'enroll', '--models', MODELS, '--command', command, '--as', '%s%d.trj' % (command, n), take])
        say(DEMO_VOICE, DEMO_EXAMPLE[0], DEMO_EXAMPLE[1], command, os.path.join(EXAMPLES, command + '.wav'))


def check_examples(cli):
    examples = [os.path.join(EXAMPLES, c + '.wav') for c in DEMO_COMMANDS]
    for mode in ([], ['--fresh']):
        output = run([cli, 'recognize', '--models', MODELS] + mode + examples)
        for line, command in zip(output.splitlines(), DEMO_COMMANDS):
            print('  ' + line)
            if ': %s ' % command.upper() not in line:
                sys.exit('the example of %s is not recognized as such' % command)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--cli', default=os.path.join(ROOT, 'build', 'bin', 'parlanto-cli'))
    parser.add_argument('--work', help='scratch folder for the material (kept); default: a new one, removed')
    parser.add_argument('--languages', help='comma-separated language codes: learn from these only (needs --out)')
    parser.add_argument('--out', help='folder for a phoneme set learnt from --languages; no demo')
    parser.add_argument('--jobs', type=int, default=os.cpu_count() or 1)
    args = parser.parse_args()
    if bool(args.languages) != bool(args.out):
        parser.error('--languages and --out go together')
    languages = args.languages.split(',') if args.languages else all_languages()
    cli = os.path.abspath(args.cli)
    work = args.work or tempfile.mkdtemp(prefix='parlanto-models-')
    try:
        material = os.path.join(work, 'material')
        shutil.rmtree(material, ignore_errors=True)
        print('material: %d synthetic sentences, %d recordings' %
              make_material(os.path.join(material, 'speech'), languages, args.jobs))
        out = os.path.abspath(args.out) if args.out else MODELS
        os.makedirs(out, exist_ok=True)
        print(run([cli, 'phonemes', 'build', '--out', out, '--from', material, '--units', str(UNITS),
                   '--templates', str(TEMPLATES)]).splitlines()[-1])
        if args.out:
            return
        demo = os.path.join(work, 'demo')
        shutil.rmtree(demo, ignore_errors=True)
        make_demo(cli, demo)
        print('demo: %d commands, %d takes each saved as models' % (len(DEMO_COMMANDS), len(DEMO_ENROLLED)))
        check_examples(cli)
    finally:
        if not args.work:
            shutil.rmtree(work, ignore_errors=True)


if __name__ == '__main__':
    main()
