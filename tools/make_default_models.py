#!/usr/bin/python3
"""Regenerates the shipped models and the demo examples, byte for byte.

    tools/make_default_models.py [--cli PATH] [--work DIR]

1. Speech material: espeak-ng says varied English and Russian sentences, none holding a demo command or
   a word of the evaluation corpus, in many voices, pitches and speeds (22050 Hz, 16-bit mono WAV).
2. Default phoneme set: `parlanto-cli phonemes build --units 64 --templates 1` clusters the loud atoms of
   that material into 64 data-driven units, written to Models/ (NAME.phm, Data/NAME_1.bin).
3. Demo vocabulary: one espeak-ng voice says every demo command a few times with small changes of speed
   and pitch; the first takes are saved as command models with `parlanto-cli enroll` (Models/COMMAND.vcm,
   Models/Data/COMMANDn.trj), the last becomes examples/COMMAND.wav.
4. Check: `parlanto-cli recognize` names every example's command, file by file and in one running recognizer.

espeak-ng is needed here only; the program never runs it. The material lives in a scratch folder (--work,
default a new folder under /tmp, removed afterwards), never in the repository.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MODELS = os.path.join(ROOT, 'Models')
EXAMPLES = os.path.join(ROOT, 'examples')

UNITS = 64
TEMPLATES = 1

# Phonetically varied sentences without the demo commands and the evaluation words (forward back left right
# stop go up down open close, zero to nine), so that no unit is learnt from a word it is later tested on.
ENGLISH = [
    'The birch canoe slid on the smooth planks.', 'Glue the sheet to the dark blue paper.',
    'It is easy to tell the depth of a well.', 'These days a chicken leg is a rare dish.',
    'Rice is often served in round bowls.', 'The juice of lemons makes fine punch.',
    'The box was thrown beside the parked truck.', 'The hogs were fed chopped corn and garbage.',
    'A large size in stockings is hard to sell.', 'The boy was there when the sun rose.',
    'A rod is used to catch pink salmon.', 'The source of the huge river is the clear spring.',
    'Kick the ball straight and follow through.', 'Help the woman carry her bags home.',
    'The small pup gnawed a hole in the sock.', 'The fish twisted and turned on the bent hook.',
    'Press the pants and sew a button on the vest.', 'The swan dive was far short of perfect.',
    'The beauty of the view stunned the young boy.', 'Her purse was full of useless trash.',
    'The colt reared and threw the tall rider.', 'It snowed, rained, and hailed the same morning.',
    'Read verse out loud for pleasure.', 'Hoist the load onto your shoulder.',
    'Take the winding path to reach the lake.', 'Wipe the grease off his dirty face.',
    'Mend the coat before the party.', 'The wrist was badly strained and hung limp.',
    'The stray cat gave birth to kittens.', 'The young girl gave no clear response.',
    'The meal was cooked before the bell rang.', 'What joy there is in living.',
    'A king ruled the state in the early days.', 'The ship was torn apart on the sharp reef.',
    'Sickness kept him home the third week.', 'The wide road shimmered in the hot sun.',
]
RUSSIAN = [
    'Съешь же ещё этих мягких французских булок да выпей чаю.',
    'В чащах юга жил бы цитрус, да, но фальшивый экземпляр.',
    'Широкая электрификация южных губерний даст мощный толчок хозяйству.',
    'Мама мыла раму тёплой водой.', 'Утром над рекой поднимался густой туман.',
    'Кошка спала на тёплом подоконнике.', 'Дети играли во дворе до самого вечера.',
    'Поезд медленно отошёл от платформы.', 'Летом мы часто ходили в лес за грибами.',
    'В библиотеке было тихо и пахло старыми книгами.', 'Ветер шумел в высоких соснах.',
    'Бабушка испекла пирог с вишней.', 'Учитель объяснил задачу ещё раз.',
    'На столе стояла ваза с жёлтыми цветами.', 'Зимой озеро покрывается толстым льдом.',
    'Собака громко лаяла на почтальона.', 'Мы пили чай и слушали музыку.',
    'Художник рисовал портрет молодой женщины.', 'Рыбак поймал большую щуку.',
    'Солнце садилось за горизонт, окрашивая небо в розовый цвет.', 'Чёрный жук полз по шершавой коре.',
    'Хорошая погода радует всех жителей города.', 'Студенты готовились к трудному экзамену.',
    'Щенок грыз старый ботинок.',
]
ENGLISH_VOICES = ['en-gb', 'en-us', 'en-gb-scotland', 'en-029', 'en-gb-x-rp', 'en-us-nyc', 'en-gb-x-gbclan',
                  'en-gb-x-gbcwmd']
RUSSIAN_VOICES = ['ru', 'ru-lv']
# Every speaker has a variant, and f2 is not one: the evaluation corpus's voices (en-us, en+f2) are not learnt from.
VARIANTS = ['m1', 'm2', 'm3', 'm4', 'm5', 'm6', 'm7', 'f1', 'f3', 'f4', 'f5', 'klatt', 'klatt2', 'klatt3']
SENTENCES_PER_SPEAKER = 8

# The demo: a handful of commands in one voice; takes differ as a speaker's do, in speed and pitch.
DEMO_VOICE = 'en-gb-x-rp+m3'
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


def speakers(voices, count):
    """count speakers: voices in turn, each with its own variant, pitch and speed (a fixed pattern)."""
    return [(voices[i % len(voices)], VARIANTS[(5 * i + i // len(voices)) % len(VARIANTS)],
             20 + (37 * i) % 60, 140 + (23 * i) % 60) for i in range(count)]


def make_material(folder):
    os.makedirs(folder)
    files = 0
    for language, sentences, voices, count in [('en', ENGLISH, ENGLISH_VOICES, 16), ('ru', RUSSIAN, RUSSIAN_VOICES, 10)]:
        for s, (voice, variant, pitch, speed) in enumerate(speakers(voices, count)):
            for k in range(SENTENCES_PER_SPEAKER):
                text = sentences[(s * SENTENCES_PER_SPEAKER + k) % len(sentences)]
                say('%s+%s' % (voice, variant), speed, pitch, text,
                    os.path.join(folder, '%s%02d_%d.wav' % (language, s, k)))
                files += 1
    return files


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
    args = parser.parse_args()
    cli = os.path.abspath(args.cli)
    work = args.work or tempfile.mkdtemp(prefix='parlanto-models-')
    try:
        material = os.path.join(work, 'material')
        shutil.rmtree(material, ignore_errors=True)
        print('material: %d recordings' % make_material(os.path.join(material, 'speech')))
        print(run([cli, 'phonemes', 'build', '--out', MODELS, '--from', material, '--units', str(UNITS),
                   '--templates', str(TEMPLATES)]).splitlines()[-1])
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
