#!/usr/bin/env python3
"""Writes the console's three notification sounds to res/sounds/ (16-bit mono PCM WAV).

  ringin.wav    a soft rising three-note chime and a pause (played in a loop)
  ringback.wav  a 425 Hz ring-back tone: 1 s on, 2 s off (played in a loop)
  complete.wav  a short two-note chime (played once)

The files are committed; run this only to change them.
"""
import math
import os
import struct
import wave

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res", "sounds")


def note(rate, freq, dur, amp=0.35, decay=4.0, attack=0.005):
    n = int(rate * dur)
    out = []
    for i in range(n):
        t = i / rate
        env = min(1.0, t / attack) * math.exp(-decay * t)
        # a little second harmonic makes the chime rounder
        s = math.sin(2 * math.pi * freq * t) + 0.25 * math.sin(4 * math.pi * freq * t)
        out.append(amp * env * s / 1.25)
    return out


def tone(rate, freq, dur, amp=0.3, ramp=0.02):
    n = int(rate * dur)
    out = []
    for i in range(n):
        t = i / rate
        env = min(1.0, t / ramp, (dur - t) / ramp)
        out.append(amp * env * math.sin(2 * math.pi * freq * t))
    return out


def mix_at(buf, samples, start):
    for i, s in enumerate(samples):
        if start + i < len(buf):
            buf[start + i] += s


def write(name, rate, samples):
    path = os.path.join(OUT, name)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(b"".join(struct.pack("<h", int(max(-1.0, min(1.0, s)) * 32767)) for s in samples))
    print(path, os.path.getsize(path), "bytes")


def main():
    os.makedirs(OUT, exist_ok=True)
    rate = 16000
    # ringin: C6 E6 G6, then a pause; 2 s per loop
    buf = [0.0] * int(rate * 2.0)
    for k, f in enumerate((1046.5, 1318.5, 1568.0)):
        mix_at(buf, note(rate, f, 0.9), int(rate * 0.15 * k))
    write("ringin.wav", rate, buf)

    # ringback: 425 Hz, 1 s on, 2 s off
    rb = 8000
    buf = tone(rb, 425.0, 1.0) + [0.0] * (2 * rb)
    write("ringback.wav", rb, buf)

    # complete: G5 then C6
    buf = [0.0] * int(rate * 0.6)
    mix_at(buf, note(rate, 784.0, 0.45, decay=6.0), 0)
    mix_at(buf, note(rate, 1046.5, 0.45, decay=6.0), int(rate * 0.12))
    write("complete.wav", rate, buf)


if __name__ == "__main__":
    main()
