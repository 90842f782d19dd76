#!/usr/bin/python3
"""Measures hands-free listening on streams made by tools/make_stream_corpus.py.

    tools/score_listen.py STREAMS [--cli PATH] [--phonemes DIR] [--speakers REGEX] [--listen-args ARGS]

Per stream: the takes of enrol.csv are saved as examples in a scratch model folder that holds a copy of the
phoneme set (parlanto-cli enroll --match aligned), the test takes are recognized one by one (recognize
--match aligned --fresh; a take rejected as no command is not right) and the stream is listened to (parlanto-cli listen). A word counts as found exactly
once when one utterance overlaps its speech and that utterance overlaps no other word; it is right when that
utterance names it and is accepted. An utterance that overlaps no word is a non-speech sound or a stretch of
noise taken for an utterance; those accepted are what the user would see acted on. Prints one row per
speaker and vocabulary and the totals.
"""
import argparse
import csv
import glob
import json
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))


def read_csv(path):
    with open(path, newline='') as f:
        return list(csv.DictReader(f))


def cli_run(cli, args):
    return subprocess.run([cli] + args, capture_output=True, text=True, check=True).stdout


def enrolled_models(cli, phonemes, enrol, corpus, folder):
    for path in glob.glob(os.path.join(phonemes, '*.phm')):
        shutil.copy(path, folder)
    os.makedirs(os.path.join(folder, 'Data'), exist_ok=True)
    for path in glob.glob(os.path.join(phonemes, 'Data', 'u*.bin')):
        shutil.copy(path, os.path.join(folder, 'Data'))
    for row in enrol:
        subprocess.run([cli, 'enroll', '--models', folder, '--command', row['word'], '--match', 'aligned',
                        os.path.join(corpus, row['path'])], capture_output=True, text=True)


def one_by_one(cli, models, takes, corpus):
    out = cli_run(cli, ['recognize', '--models', models, '--match', 'aligned', '--json', '--fresh'] +
                  [os.path.join(corpus, t['path']) for t in takes])
    return [r.get('command', '') if r.get('accepted') else '' for r in json.loads(out)]


def overlaps(a, b):
    return min(a[1], b[1]) > max(a[0], b[0])


def score(truth, lines):
    words = [t for t in truth if t['kind'] == 'word']
    spans = [(float(w['start']), float(w['end'])) for w in words]
    utterances = [((u['start'], u['end']), u) for u in lines]
    hits = [[i for i, s in enumerate(spans) if overlaps(span, s)] for span, _ in utterances]
    found_once = right = 0
    for i, s in enumerate(spans):
        mine = [k for k, h in enumerate(hits) if i in h]
        if len(mine) == 1 and hits[mine[0]] == [i]:
            found_once += 1
            u = utterances[mine[0]][1]
            right += u['command'].lower() == words[i]['label'].lower() and u['accepted']
    strays = [u for (span, u), h in zip(utterances, hits) if not h]
    return dict(words=len(words), found_once=found_once, right=right, strays=len(strays),
                stray_accepted=sum(u['accepted'] for u in strays))


def main(argv):
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument('streams')
    ap.add_argument('--corpus', default='/work/devcorpus/noisy')
    ap.add_argument('--cli', default=os.path.join(HERE, '..', 'build', 'bin', 'parlanto-cli'))
    ap.add_argument('--phonemes', default=os.path.join(HERE, '..', 'Models'))
    ap.add_argument('--speakers', default='')
    ap.add_argument('--listen-args', default='')
    args = ap.parse_args(argv)

    total = dict(words=0, found_once=0, right=0, alone=0, strays=0, stray_accepted=0, seconds=0.0)
    print('%-28s %5s %7s %7s %7s %6s %6s %6s' % ('stream', 'words', 'once%', 'acc%', 'alone%', 'strays', 's.acc',
                                                 'min'))
    for folder in sorted(glob.glob(os.path.join(args.streams, '*__*'))):
        name = os.path.basename(folder)
        if not re.search(args.speakers, name.split('__')[0]):
            continue
        takes = read_csv(os.path.join(folder, 'takes.csv'))
        with tempfile.TemporaryDirectory() as models:
            enrolled_models(args.cli, args.phonemes, read_csv(os.path.join(folder, 'enrol.csv')), args.corpus,
                            models + '/')
            alone = one_by_one(args.cli, models, takes, args.corpus)
            out = cli_run(args.cli, ['listen', '--models', models] + shlex.split(args.listen_args) +
                          [os.path.join(folder, 'stream.wav')])
        lines = [json.loads(line) for line in out.splitlines() if line.strip()]
        s = score(read_csv(os.path.join(folder, 'truth.csv')), lines)
        s['alone'] = sum(a.lower() == t['word'].lower() for a, t in zip(alone, takes))
        s['seconds'] = os.path.getsize(os.path.join(folder, 'stream.wav')) / 2 / 22050
        for k in total:
            total[k] += s[k]
        print('%-28s %5d %7.1f %7.1f %7.1f %6d %6d %6.1f' % (
            name, s['words'], 100 * s['found_once'] / s['words'], 100 * s['right'] / s['words'],
            100 * s['alone'] / s['words'], s['strays'], s['stray_accepted'], s['seconds'] / 60), flush=True)
    if total['words']:
        minutes = total['seconds'] / 60
        print('%-28s %5d %7.2f %7.2f %7.2f %6d %6d %6.1f' % (
            'total', total['words'], 100 * total['found_once'] / total['words'], 100 * total['right'] / total['words'],
            100 * total['alone'] / total['words'], total['strays'], total['stray_accepted'], minutes))
        print('non-speech or noise accepted per 10 minutes: %.2f' % (10 * total['stray_accepted'] / minutes))


if __name__ == '__main__':
    main(sys.argv[1:])
