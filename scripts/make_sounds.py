#!/usr/bin/env python3
"""Synthesise Kesh's two sounds and write them as WAV files.

  res/right.wav  0.8 s rising three-note chime played for a right answer
  res/click.wav  0.1 s soft click

Both are PCM, mono, 11,025 samples per second, 8 bits per sample (unsigned,
silence = 128), which is what the program embeds as WAVE resources.  Only
the standard library is used and the output is byte-for-byte reproducible.

Usage: scripts/make_sounds.py [output-directory]   (default: res/)
"""

import math
import os
import sys
import wave

RATE = 11025


def _to_pcm8(samples, peak=0.72):
    """Scale float samples so the loudest reaches `peak` and convert them to
    unsigned 8-bit bytes."""
    loudest = max(abs(v) for v in samples) or 1.0
    scale = peak / loudest
    out = bytearray()
    for v in samples:
        out.append(max(0, min(255, 128 + int(round(v * scale * 127)))))
    return bytes(out)


def _fade_edges(samples, fade_in, fade_out):
    """Raised-cosine ramps at both ends so playback starts and stops without a pop."""
    n = len(samples)
    for i in range(min(fade_in, n)):
        samples[i] *= 0.5 - 0.5 * math.cos(math.pi * i / fade_in)
    for i in range(min(fade_out, n)):
        samples[n - 1 - i] *= 0.5 - 0.5 * math.cos(math.pi * i / fade_out)
    return samples


def right_answer():
    """C6, E6, G6 struck 0.11 s apart; each note a bell-like partial mix with a
    short attack and an exponential decay, the last note ringing longest."""
    length = int(round(0.8 * RATE))
    notes = [(1046.50, 0.00, 0.16, 0.8), (1318.51, 0.11, 0.18, 0.85), (1567.98, 0.22, 0.28, 1.0)]
    partials = [(1.0, 1.0), (2.0, 0.28), (3.0, 0.08)]
    attack = 0.006
    samples = [0.0] * length
    for frequency, start, decay, level in notes:
        first = int(round(start * RATE))
        for i in range(first, length):
            t = (i - first) / RATE
            envelope = level * math.exp(-t / decay) * min(1.0, t / attack)
            tone = sum(weight * math.sin(2 * math.pi * frequency * ratio * t)
                       for ratio, weight in partials)
            samples[i] += envelope * tone
    return _to_pcm8(_fade_edges(samples, 8, int(0.06 * RATE)))


def click():
    """A short damped knock: two inharmonic partials with a very fast decay."""
    length = int(round(0.1 * RATE))
    samples = []
    for i in range(length):
        t = i / RATE
        samples.append(math.exp(-t / 0.010) * (math.sin(2 * math.pi * 1900 * t)
                                              + 0.5 * math.sin(2 * math.pi * 3150 * t))
                       + 0.35 * math.exp(-t / 0.004) * math.sin(2 * math.pi * 620 * t))
    return _to_pcm8(_fade_edges(samples, 3, int(0.02 * RATE)), peak=0.6)


def write_wav(path, frames):
    with wave.open(path, 'wb') as w:
        w.setnchannels(1)
        w.setsampwidth(1)
        w.setframerate(RATE)
        w.writeframes(frames)
    print('wrote %s (%.3f s)' % (path, len(frames) / RATE))


def main(argv):
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    target = argv[1] if len(argv) > 1 else os.path.join(root, 'res')
    write_wav(os.path.join(target, 'right.wav'), right_answer())
    write_wav(os.path.join(target, 'click.wav'), click())


if __name__ == '__main__':
    main(sys.argv)
