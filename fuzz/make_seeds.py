#!/usr/bin/env python3
"""Writes the seed corpus of one fuzz target into a folder: small valid inputs of every kind the
target's parser meets, made here so that no binary sample has to live in the repository.

Usage: make_seeds.py TARGET FOLDER
"""
import io
import os
import struct
import sys
import zipfile
import zlib


def field(data: bytes) -> bytes:
    """A field as the targets take them apart: a length byte, then the bytes."""
    assert len(data) < 256
    return bytes([len(data)]) + data


# ---------------------------------------------------------------------------------------------
# Icons and programs

def bmp_image(side: int, bits: int) -> bytes:
    """A device-independent bitmap as icon files hold it: header, palette, colour and mask rows."""
    palette = b'' if bits > 8 else bytes(4 * (1 << bits))
    row = ((side * bits + 31) // 32) * 4
    mask_row = ((side + 31) // 32) * 4
    header = struct.pack('<IiiHHIIiiII', 40, side, side * 2, 1, bits, 0, 0, 0, 0, 0, 0)
    pixels = bytes((i * 37) & 0xFF for i in range(row * side))
    return header + palette + pixels + bytes(mask_row * side)


def png_image(side: int) -> bytes:
    def chunk(kind: bytes, data: bytes) -> bytes:
        return (struct.pack('>I', len(data)) + kind + data +
                struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF))
    raw = b''.join(b'\0' + bytes((x * 7 + y) & 0xFF for x in range(side * 4)) for y in range(side))
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', side, side, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(raw)) + chunk(b'IEND', b''))


def entry_fields(side: int, bits: int) -> tuple:
    side_byte = 0 if side >= 256 else side
    colors = (1 << bits) if bits < 8 else 0
    return side_byte, side_byte, colors, 0, 1, bits


def ico_file(images) -> bytes:
    """An icon file of (side, bits, data) images."""
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    body = b''
    for side, bits, data in images:
        out += struct.pack('<BBBBHHII', *entry_fields(side, bits), len(data), offset)
        offset += len(data)
        body += data
    return out + body


SAMPLE_IMAGES = [(16, 32, bmp_image(16, 32)), (32, 8, bmp_image(32, 8)), (16, 4, bmp_image(16, 4)),
                 (16, 1, bmp_image(16, 1)), (48, 32, png_image(48))]


def resource_section(groups, icons, base: int) -> bytes:
    """A resource tree with types 3 (icons) and 14 (icon groups), each name with one language.

    groups: list of (id, [icon ids]); icons: dict icon id -> (side, bits, data). `base` is the
    section's address, which the data entries point with."""
    def directory(entries):  # entries: list of (name, target)
        out = struct.pack('<IIHHHH', 0, 0, 4, 0, 0, len(entries))
        for name, target in entries:
            out += struct.pack('<II', name, target)
        return out

    type_entries = [(3, sorted(icons)), (14, [g for g, _ in groups])]
    blobs = {('icon', i): icons[i][2] for i in icons}
    for group_id, members in groups:
        group = struct.pack('<HHH', 0, 1, len(members))
        for member in members:
            # A group may name an icon the program lacks; the reader leaves it out.
            side, bits, data = icons.get(member, (16, 32, b''))
            group += struct.pack('<BBBBHHIH', *entry_fields(side, bits), len(data), member)
        blobs[('group', group_id)] = group

    # Layout: root, type directories, name directories, data entries, data.
    root_size = 16 + 8 * len(type_entries)
    type_sizes = [16 + 8 * len(names) for _, names in type_entries]
    names = [(t, n) for t, ns in type_entries for n in ns]
    offset = root_size + sum(type_sizes)
    name_dir_at = {}
    for key in names:
        name_dir_at[key] = offset
        offset += 16 + 8
    data_entry_at = {}
    for key in names:
        data_entry_at[key] = offset
        offset += 16
    data_at = {}
    for key in names:
        data_at[key] = offset
        offset += (len(blobs[('icon' if key[0] == 3 else 'group', key[1])]) + 3) & ~3

    out = directory([(t, 0x80000000 | (root_size + sum(type_sizes[:i])))
                     for i, (t, _) in enumerate(type_entries)])
    for t, ns in type_entries:
        out += directory([(n, 0x80000000 | name_dir_at[(t, n)]) for n in ns])
    for key in names:
        out += directory([(1033, data_entry_at[key])])
    for key in names:
        blob = blobs[('icon' if key[0] == 3 else 'group', key[1])]
        out += struct.pack('<IIII', base + data_at[key], len(blob), 0, 0)
    for key in names:
        blob = blobs[('icon' if key[0] == 3 else 'group', key[1])]
        out += blob + bytes(((len(blob) + 3) & ~3) - len(blob))
    return out


def pe_file(plus: bool, groups, icons) -> bytes:
    """A program of one resource section, PE32 or PE32+, with what the loader's headers need."""
    file_align, rva = 0x200, 0x1000
    resources = resource_section(groups, icons, rva)
    raw_size = (len(resources) + file_align - 1) // file_align * file_align
    dos = b'MZ' + bytes(0x3A) + struct.pack('<I', 0x40)
    directories = 16
    optional_fixed = 112 if plus else 96
    optional_size = optional_fixed + 8 * directories
    coff = struct.pack('<HHIIIHH', 0x8664 if plus else 0x14C, 1, 0, 0, 0, optional_size, 0x0102)
    optional = bytearray(optional_size)
    struct.pack_into('<H', optional, 0, 0x20B if plus else 0x10B)
    struct.pack_into('<I', optional, 32, 0x1000)  # section alignment
    struct.pack_into('<I', optional, 36, file_align)
    struct.pack_into('<I', optional, optional_fixed - 4, directories)
    struct.pack_into('<II', optional, optional_fixed + 2 * 8, rva, len(resources))
    headers_end = 0x40 + 4 + 20 + optional_size + 40
    raw_at = (headers_end + file_align - 1) // file_align * file_align
    section = struct.pack('<8sIIIIIIHHI', b'.rsrc', len(resources), rva, raw_size, raw_at, 0, 0, 0, 0,
                          0x40000040)
    head = dos + b'PE\0\0' + coff + bytes(optional) + section
    return head + bytes(raw_at - len(head)) + resources + bytes(raw_size - len(resources))


def icon_seeds():
    icons = {i + 1: image for i, image in enumerate(SAMPLE_IMAGES)}
    files = {
        'ico-bmp.ico': ico_file(SAMPLE_IMAGES[:4]),
        'ico-png.ico': ico_file(SAMPLE_IMAGES[4:]),
        'ico-mixed.ico': ico_file(SAMPLE_IMAGES),
        'ico-one.ico': ico_file(SAMPLE_IMAGES[:1]),
    }
    programs = {}
    for plus in (False, True):
        kind = 'pe32plus' if plus else 'pe32'
        programs[f'{kind}-one-group.exe'] = pe_file(plus, [(1, [1, 2, 5])], icons)
        programs[f'{kind}-groups.exe'] = pe_file(plus, [(2, [3, 4]), (7, [1, 5]), (9, [6])], icons)
    return files, programs


# ---------------------------------------------------------------------------------------------
# Seeds of each target

def zip_seeds():
    notes = b''.join(b'line %d of the notes\n' % i for i in range(1, 301))
    seeds = {}
    for name, method in (('stored.zip', zipfile.ZIP_STORED), ('deflated.zip', zipfile.ZIP_DEFLATED)):
        buffer = io.BytesIO()
        with zipfile.ZipFile(buffer, 'w', method) as archive:
            archive.comment = b'archive comment'
            info = zipfile.ZipInfo('notes.txt', date_time=(2021, 6, 15, 13, 45, 30))
            info.compress_type = method
            info.extra = bytes.fromhex('cafe0400deadbeef')
            info.comment = b'entry comment'
            info.external_attr = 0o755 << 16
            archive.writestr(info, notes)
            archive.writestr('hello.txt', b'hello, zip\n')
            archive.writestr('empty.txt', b'')
            archive.writestr('folder/', b'')
        seeds[name] = buffer.getvalue()
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, 'w', zipfile.ZIP_STORED) as archive:
        archive.writestr('big.txt', b'z' * 17000)
    seeds['big-stored.zip'] = buffer.getvalue()
    seeds['empty.zip'] = b'PK\x05\x06' + bytes(18)
    seeds['data-in-front.zip'] = b'#' * 100 + seeds['deflated.zip']

    class Unseekable(io.RawIOBase):
        """A stream the writer cannot go back in, so that it writes data descriptors."""
        def __init__(self):
            self.data = bytearray()

        def writable(self):
            return True

        def write(self, b):
            self.data += b
            return len(b)

    stream = Unseekable()
    with zipfile.ZipFile(stream, 'w', zipfile.ZIP_DEFLATED) as archive:
        archive.writestr('notes.txt', notes)
        with archive.open('streamed.txt', 'w') as entry:
            entry.write(b'written as a stream\n' * 20)
    seeds['descriptor.zip'] = bytes(stream.data)
    return seeds


def pe_icon_seeds():
    files, programs = icon_seeds()
    seeds = {}
    # The first byte chooses the group: 4 + n asks for the n-th group, 4 - id for group `id`.
    for name, program in programs.items():
        for choice in (4, 5, 6, 2, 1, 0):
            seeds[f'{name}-{choice}'] = bytes([choice]) + program
    for name, data in files.items():
        seeds[name] = b'\x04' + data
    return seeds


def qt_icon_seeds():
    files, _ = icon_seeds()
    return files


INI_DOCUMENTS = {
    'plain': '[Settings]\r\nLanguage=1031\r\nEditor="notepad.exe"\r\n\r\n[Translate]\r\n'
             'Find=Suchen\r\n; a comment\r\nStop = Anhalten \r\n',
    'lf-only': '[A]\nx=1\n[B]\ny = two words\n',
    'unterminated': '[Translate]\r\nOpen=Öffnen',
    'duplicates': '[Translate]\r\nFind=eins\r\nfind=zwei\r\n[translate]\r\nFind=drei\r\n',
    'blank-values': '[Translate]\r\nFind=\r\nStop=   \r\n\r\n\r\n[Other]\r\n',
    'odd-lines': '  [ Spaced ]  \r\nno equals here\r\n=value without key\r\n[Unclosed\r\n\r',
    'non-latin': '[Translate]\r\nFind=查找\r\nStop=Остановить\r\n',
}


def ini_seeds():
    seeds = {}
    prefixes = [
        field(b'Translate') + field(b'Find') + field(b'Neu') + b'\x02' + field(b'Stop') + field(b'Size'),
        field(b'New Section') + field(b'key.1') + field(b'value 1') + b'\x01' + field(b'%d file(s)'),
    ]
    for name, text in INI_DOCUMENTS.items():
        forms = {'utf16le': text.encode('utf-16-le'),
                 'utf16le-bom': b'\xff\xfe' + text.encode('utf-16-le'),
                 'utf8-bom': b'\xef\xbb\xbf' + text.encode('utf-8')}
        try:
            forms['8bit'] = text.encode('cp1252')
        except UnicodeEncodeError:
            forms['8bit'] = text.encode('utf-8')
        for form, data in forms.items():
            for number, prefix in enumerate(prefixes):
                seeds[f'{name}-{form}-{number}.ini'] = prefix + data
    seeds['odd-byte-utf16.ini'] = prefixes[0] + b'\xff\xfe' + '[A]\r\nx=1\r\n'.encode('utf-16-le') + b'A'
    seeds['empty.ini'] = prefixes[1]
    return seeds


def update_answer_seeds():
    answer = ('[Begin]\r\nVersion=1.4.0.20230101\r\nDownload=https://example.org/q/Update.zip;'
              'https://mirror.example.org/Update.zip_?x=1#top\r\nSize=1048576\r\n[End]\r\n')
    return {
        'answer.txt': field(b'1.3.3.20220312') + field(b'1.4') + answer.encode(),
        'answer-lf.txt': field(b'1.10') + field(b'1.9.9') + answer.replace('\r\n', '\n').encode(),
        'answer-reordered.txt': field(b'2') + field(b'2.0.0.0') +
        b'junk\n[Begin]\nSize=1\nDownload=ftp://h/a/b/CON.zip;https://h/..;https://h/x/\n'
        b'Version=99999999999999999999.1\nVersion=1..2\n[End]\ntrailing\n',
        'unframed.txt': field(b'1.2.3') + field(b'1.2.03') + b'Version=1.0\r\n',
        'link.txt': field(b'') + field(b'.') + b'https://example.org/path/file.ZIP?query=a/b#frag',
    }


def chunk_scanner_seeds():
    def seed(length: int, lists, file: bytes) -> bytes:
        out = bytes([length >> 8, length & 0xFF, len(lists) - 1])
        for pieces in lists:
            out += bytes([len(pieces) - 1]) + b''.join(field(p) for p in pieces)
        return out + file

    text = b''.join(b'line %d: the quick brown fox\n' % i for i in range(200))
    periodic = b'ba' * 1500
    return {
        'straddle.bin': seed(16, [[b'quick brown', b'fox\nline 9']], text),
        'one-byte-chunks.bin': seed(1, [[b'x', b'q']], text),
        'missing.bin': seed(299, [[b'absent piece']], text),
        'three-lists.bin': seed(64, [[b'l\0i\0n\0e\0'], [b'\xef\xbb\xbf'], [b'199', b'fox']], text),
        'periodic.bin': seed(37, [[b'ba' * 30 + b'e'], [b'ab' * 20]], periodic),
        'zeros.bin': seed(128, [[b'\0' * 100 + b'\1']], bytes(1000) + b'\1'),
        'repeats.bin': seed(7, [[b'aa', b'aa', b'aa']], b'aaaaa' + b'b' * 40 + b'aa'),
    }


def codepage_folding_seeds():
    samples = {
        0: 'Hello WORLD Ünïcödé ÀÉÎÕÜ', 2: 'ПРИВЕТ Мир Ёё', 3: 'ΑΒΓΔ Σίσυφος',
        4: 'İSTANBUL ıi ĞŞ', 13: 'ファイル ＡＢＣ 検索 ABC', 14: '文件搜索 ABC', 15: '파일 검색 ABC',
    }
    codecs = {0: 'cp1252', 2: 'cp1251', 3: 'cp1253', 4: 'cp1254', 13: 'cp932', 14: 'gbk',
              15: 'cp949'}
    seeds = {}
    for choice, text in samples.items():
        data = text.encode(codecs[choice])
        seeds[f'{codecs[choice]}.txt'] = bytes([choice, len(data) // 2]) + data
    seeds['every-byte.bin'] = bytes([13, 129]) + bytes(range(256))
    return seeds


def name_pattern_seeds():
    cases = [
        ('*.tx', '1.tx'), ('*.tx*', '2.txt'), ('1*.txt', '21.txt'), ('*.txt *.log', '2.log'),
        ('*', 'docs\\'), ('', 'anything'), ('*.txt *', 'a.log'), ('*.TXT', 'B.Txt'),
        ('report', 'report-2-report'), ('report', 'myreport'), ('a*a', 'a'), ('a*a', 'aba'),
        ('doc*', 'docs\\'), ('*\\', 'folder\\'), ('a?c', 'abc'), ('a  b', 'b'),
        ('ÄRGER*', 'ärger.txt'), ('*b*a*b*', 'abababab'),
    ]
    return {f'case-{i}.txt': field(p.encode()) + n.encode() for i, (p, n) in enumerate(cases)}


def command_line_seeds():
    commands = [
        ['find', '--in', '/tmp', '--name', '*.txt *.log', '--text', 'a*b', '--match-case'],
        ['find', '--in', '/', '--hex', '41 42 0a', '--encodings', 'ansi,utf8', '--format', 'csv'],
        ['find', '--in', '*', '--modified-between', '2021-02-28', '2021-03-01', '--size-at-least',
         '10', '--size-at-most', '999999', '--sort', '1', '--null', '--quiet'],
        ['find', '--in', '/tmp', '--modified', 'week', '--size', 'large', '--no-subfolders'],
        ['dupes', '/etc/hostname', '--in', '/etc', '--match-name', '--no-match-body'],
        ['find', '--in', 'C:', '--hex', 'zz'],
        ['--help'], ['find', '--help'], ['--version'], ['bogus', '--in'],
        ['find', '--size-at-least', '9223372036854775807', '--modified-between', '2021-02-29', 'x'],
    ]
    return {f'command-{i}.bin': '\0'.join(c).encode() for i, c in enumerate(commands)}


def desktop_entry_seeds():
    entries = {
        'theme.desktop': '[Desktop Entry]\nType=Application\nName=Editor\nIcon=accessories-text-editor\n',
        'path.desktop': '[Desktop Entry]\nIcon=/usr/share/pixmaps/debian-logo.png\nExec=x\n',
        'localized.desktop': '# comment\n[Desktop Action new]\nIcon=wrong\n[Desktop Entry]\n'
                             'Icon[de]=falsch\nIcon = spaced \nName=n\n',
        'escapes.desktop': '[Desktop Entry]\r\nIcon=a\\sb\\\\c\r\n',
        'none.desktop': '[Desktop Entry]\nName=No icon\n',
    }
    return {name: text.encode() for name, text in entries.items()}


def ed25519_seeds():
    # RFC 8032 section 7.1, TEST 2 and 3, as raw inputs: mode, key, signature, message.
    vectors = {
        'test2': ('3d4017c3e843895a92b70aa74d1b7ebc9c982ccf2ec4968cc0cd55f12af4660c',
                  '92a009a9f0d4cab8720e820b5f642540a2b27b5416503f8fb3762223ebdb69da'
                  '085ac1e43e15996e458f3613d0f11d8c387b2eaeb4302aeeb00d291612bb0c00', '72'),
        'test3': ('fc51cd8e6218a1a38da47ed00230f0580816ed13ba3303ac5deb911548908025',
                  '6291d657deec24024827e69c3abe01a30ce548a284743a445e3680d7db5ac3ac'
                  '18ff9b538d16f290ae67f760984dc6594a7c15e9716ed28dc027beceea1ec40a', 'af82'),
    }
    seeds = {f'{name}.bin': b'\0' + bytes.fromhex(key + signature + message)
             for name, (key, signature, message) in vectors.items()}
    # The identity as key, written canonically, as y = 1 + p and with the sign bit of a zero x;
    # R the identity and S zero.
    identity_signature = b'\1' + bytes(63)
    for name, key in {'identity': b'\1' + bytes(31),
                      'identity-plus-p': b'\xee' + b'\xff' * 30 + b'\x7f',
                      'identity-signed-zero': b'\1' + bytes(30) + b'\x80'}.items():
        seeds[f'{name}.bin'] = b'\0' + key + identity_signature + b'any message'
    # Signed by OpenSSL: mode 1 keeps the signature, mode 3 adds the group order to S; then a
    # seed, the message as a field, and the bit flips (count, part, position, mask).
    seed = bytes(range(32))
    seeds['signed.bin'] = b'\1' + seed + field(b'update archive') + b'\0'
    seeds['signed-empty.bin'] = b'\1' + seed + field(b'') + b'\0'
    seeds['signed-order-added.bin'] = b'\3' + seed + field(b'update archive') + b'\0'
    for part in range(3):
        seeds[f'signed-flipped-{part}.bin'] = (b'\1' + seed + field(b'update archive') +
                                              bytes([1, part, 0, 7, 0x10]))
    return seeds


TARGETS = {
    'zip_reader_fuzz': zip_seeds,
    'pe_icon_fuzz': pe_icon_seeds,
    'qt_icon_fuzz': qt_icon_seeds,
    'ini_fuzz': ini_seeds,
    'ini_store_fuzz': ini_seeds,
    'update_answer_fuzz': update_answer_seeds,
    'chunk_scanner_fuzz': chunk_scanner_seeds,
    'codepage_folding_fuzz': codepage_folding_seeds,
    'name_pattern_fuzz': name_pattern_seeds,
    'command_line_fuzz': command_line_seeds,
    'desktop_entry_fuzz': desktop_entry_seeds,
    'ed25519_fuzz': ed25519_seeds,
}


def main() -> int:
    if len(sys.argv) != 3 or sys.argv[1] not in TARGETS:
        print(f'usage: {sys.argv[0]} {{{",".join(TARGETS)}}} FOLDER', file=sys.stderr)
        return 2
    folder = sys.argv[2]
    os.makedirs(folder, exist_ok=True)
    for name, data in TARGETS[sys.argv[1]]().items():
        with open(os.path.join(folder, name), 'wb') as out:
            out.write(data)
    return 0


if __name__ == '__main__':
    sys.exit(main())
