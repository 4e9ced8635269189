#!/usr/bin/env python3
"""Writes the small seed corpus of the fuzz targets into fuzz/corpus/<target>/.

Valid files of every kind each reader takes, a few bytes to some kilobytes each, so that
the fuzzers start from the shapes the program really meets. The MP3 seeds are encoded by
the `lame` command. Run it again after changing it; the files are kept in the repository.
"""
import math
import os
import shutil
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "corpus")


def write(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def chunk(cid, payload):
    pad = b"\0" if len(payload) % 2 else b""
    return cid + struct.pack("<I", len(payload)) + payload + pad


def riff_wave(*chunks):
    body = b"WAVE" + b"".join(chunks)
    return b"RIFF" + struct.pack("<I", len(body)) + body


def pcm_format(channels, rate, bits):
    align = channels * bits // 8
    return struct.pack("<HHIIHH", 1, channels, rate, rate * align, align, bits)


def sine_frames(frames, channels, bits, rate=8000, freq=440.0):
    out = bytearray()
    for i in range(frames):
        v = math.sin(2 * math.pi * freq * i / rate)
        for _ in range(channels):
            out += bytes([int(128 + 100 * v)]) if bits == 8 else struct.pack("<h", int(12000 * v))
    return bytes(out)


def wav(channels, bits, frames, rate=8000, extra=()):
    return riff_wave(chunk(b"fmt ", pcm_format(channels, rate, bits)), *extra,
                     chunk(b"data", sine_frames(frames, channels, bits, rate)))


def wav_seeds():
    for channels in (1, 2):
        for bits in (8, 16):
            write("wav_reader", f"sine_{bits}bit_{channels}ch.wav", wav(channels, bits, 24))
    # A list chunk before the sound and an odd data size with its pad byte.
    write("wav_reader", "list_chunk_odd_data.wav",
          wav(1, 8, 15, extra=[chunk(b"LIST", b"INFOISFT\x05\0\0\0test\0\0")]))
    # An 18-byte format record (with cbSize), as some writers make it.
    fmt18 = pcm_format(2, 11025, 16) + b"\0\0"
    write("wav_reader", "fmt18_stereo.wav",
          riff_wave(chunk(b"fmt ", fmt18), chunk(b"data", sine_frames(10, 2, 16, 11025))))


def other_format_wav_seeds():
    """Well-formed WAV files of the sample formats the Open command hands to FFmpeg."""
    for tag, bits, name in ((1, 24, "pcm_24bit"), (1, 32, "pcm_32bit"), (3, 32, "float_32bit"),
                            (3, 64, "float_64bit")):
        align = 2 * bits // 8
        fmt = struct.pack("<HHIIHH", tag, 2, 8000, 8000 * align, align, bits)
        write("wav_reader", f"{name}_stereo.wav",
              riff_wave(chunk(b"fmt ", fmt), chunk(b"data", bytes(range(align * 6)))))
    # The extensible record: extra size 22, valid bits, channel mask, integer PCM sub-format.
    ext = struct.pack("<HHIIHHHHI", 0xFFFE, 2, 8000, 32000, 4, 16, 22, 16, 3) + \
        bytes([1, 0, 0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71])
    write("wav_reader", "extensible_16bit_stereo.wav",
          riff_wave(chunk(b"fmt ", ext), chunk(b"data", sine_frames(10, 2, 16))))


def open_path_seeds():
    """First bytes of each kind of file the Open command tells apart."""
    write("open_path", "pcm16.wav", wav(2, 16, 8))
    write("open_path", "flac_head.bin", b"fLaC\x00\x00\x00\x22" + bytes(34))
    write("open_path", "ogg_head.bin", b"OggS\x00\x02" + bytes(22))
    write("open_path", "m4a_head.bin", b"\x00\x00\x00\x20ftypM4A " + bytes(20))
    write("open_path", "aiff_head.bin", b"FORM\x00\x00\x00\x40AIFFCOMM" + bytes(20))
    write("open_path", "id3_then_flac.bin", id3v2(12) + b"fLaC" + bytes(8))
    write("open_path", "id3_then_frame.bin", id3v2(4) + b"\xff\xfb\x90\x64" + bytes(8))
    write("open_path", "au_head.bin", b".snd\x00\x00\x00\x18\xff\xff\xff\xff" + bytes(12))
    write("open_path", "id3_then_tta.bin", id3v2(6) + b"TTA1" + bytes(18))
    write("open_path", "ac3_head.bin", b"\x0b\x77" + bytes(30))
    write("open_path", "avi_head.bin", b"RIFF\x00\x01\x00\x00AVI LIST" + bytes(20))


def lame(pcm_wav, args):
    with tempfile.TemporaryDirectory() as tmp:
        src = os.path.join(tmp, "in.wav")
        dst = os.path.join(tmp, "out.mp3")
        with open(src, "wb") as f:
            f.write(pcm_wav)
        subprocess.run(["lame", "--quiet", *args, src, dst], check=True)
        with open(dst, "rb") as f:
            return f.read()


def id3v2(payload_size):
    s = payload_size
    size = bytes([(s >> 21) & 0x7F, (s >> 14) & 0x7F, (s >> 7) & 0x7F, s & 0x7F])
    return b"ID3\x03\x00\x00" + size + b"\0" * payload_size


def mp3_seeds():
    mono = lame(wav(1, 16, 1200), ["-t", "-m", "m", "-b", "8"])
    stereo = lame(wav(2, 16, 2400, rate=16000), ["-t", "-b", "16"])
    write("mp3_import", "mpeg2_mono_8kbit.mp3", mono)
    write("mp3_import", "mpeg2_stereo_16kbit.mp3", stereo)
    write("mp3_import", "id3_tag_then_frames.mp3", id3v2(20) + b"\0\0\0" + mono)
    write("mp3_import", "zeros_then_frames.mp3", b"\0" * 8 + mono)
    write("mp3_import", "junk_then_frames.mp3", b"junk" * 5 + mono)
    # A RIFF-wrapped MP3: MPEG-3 format record (tag 85), a fact chunk, the frames as data.
    fmt = struct.pack("<HHIIHHH", 85, 1, 8000, 1000, 1, 0, 12) + struct.pack("<HIHHH", 1, 2, 104, 1, 1393)
    write("mp3_import", "riff_wrapped.mp3",
          riff_wave(chunk(b"fmt ", fmt), chunk(b"fact", b"\0\0\0\0"), chunk(b"data", mono)))
    # Headers only, with 0xFFFFFFFF bytes per second (overflowed the bit-rate arithmetic).
    write("mp3_import", "riff_wrapper_impossible_bit_rate.mp3",
          b"RIFF" + struct.pack("<I", 0x1E) + b"WAVEfmt " + struct.pack("<I", 18)
          + struct.pack("<HHIIHHH", 0x55, 1, 22050, 0xFFFFFFFF, 1, 0, 0))


def dbf(fields, records, deleted=()):
    header_length = 32 + 32 * len(fields) + 1
    record_length = 1 + sum(length for _, length in fields)
    head = bytearray(32)
    head[0] = 0x03
    head[1:4] = bytes([124, 5, 17])
    head[4:8] = struct.pack("<I", len(records))
    head[8:10] = struct.pack("<H", header_length)
    head[10:12] = struct.pack("<H", record_length)
    head[29] = 0x03  # code page 1252
    for name, length in fields:
        d = bytearray(32)
        d[0:len(name)] = name.encode("ascii")
        d[11] = ord("C")
        d[16] = length
        head += d
    head += b"\x0D"
    for r, values in enumerate(records):
        head += b"*" if r in deleted else b" "
        for (_, length), value in zip(fields, values):
            head += value.encode("cp1252")[:length].ljust(length, b" ")
    return bytes(head + b"\x1A")


def dbf_seeds():
    three = [("LANGUAGE1", 24), ("LANGUAGE2", 24), ("LANGUAGE3", 24)]
    write("translation_table", "three_columns.dbf",
          dbf(three, [["Öffnen", "Open", "Ouvrir"], ["Speichern", "Save", "Enregistrer"],
                      ["Gelöscht", "Deleted", ""], ["  Tempo  ", "Speed", "Vitesse"]], deleted={2}))
    write("translation_table", "one_column_same_first_byte.dbf",
          dbf([("LANGUAGE1", 12)], [["Abbrechen"], ["Ab"], ["Abspielen"], ["Aus"]]))
    full = [(f"LANGUAGE{i}", 255) for i in range(1, 20)]
    write("translation_table", "nineteen_columns.dbf",
          dbf(full, [["Beenden", "Quit", "Quitter"] + [""] * 16]))
    write("translation_table", "no_records.dbf", dbf(three, []))


def options_seeds():
    for index in (0, 1, 2):
        write("options_file", f"language_{index}.dat", struct.pack("<i", index))


def toc(first, last, starts):
    """A READ TOC format 0 answer: header, one descriptor per track and the lead-out."""
    body = b"".join(struct.pack(">BBBBI", 0, 0x10, number, 0, lba)
                    for number, lba in zip(list(range(first, last + 1)) + [0xAA], starts))
    return struct.pack(">HBB", len(body) + 2, first, last) + body


def cd_seeds():
    write("cd_answers", "three_tracks.toc", toc(1, 3, [0, 300, 900, 2134]))
    write("cd_answers", "twelve_tracks.toc", toc(1, 12, [i * 15000 for i in range(13)]))
    write("cd_answers", "not_ready_no_medium.sense", bytes([2, 0x3A, 0]))


def main():
    if shutil.which("lame") is None:
        sys.exit("make_corpus.py: the lame command is needed for the MP3 seeds")
    shutil.rmtree(CORPUS, ignore_errors=True)
    wav_seeds()
    other_format_wav_seeds()
    open_path_seeds()
    mp3_seeds()
    dbf_seeds()
    options_seeds()
    cd_seeds()


if __name__ == "__main__":
    main()
