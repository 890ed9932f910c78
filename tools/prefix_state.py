#!/usr/bin/env python3
"""What a Wine prefix holds, and what changed in it: the files and folders of drive C: and the
registry that `regedit /E` exported while the prefix's wineserver ran (keys made volatile live
only there). try-medium.sh takes one state before the install, one after it and one after the
uninstall, and compares them.

  prefix_state.py snapshot DRIVE_C EXPORT.reg STATE [EARLIER]
                                                      record drive C: and an export in STATE
                                                      (the checksums of Wine's own files come
                                                      from an EARLIER state of the prefix)
  prefix_state.py installed BEFORE INSTALLED          print what the install changed
  prefix_state.py uninstall-commands BEFORE INSTALLED print the uninstall commands it entered
  prefix_state.py left BEFORE INSTALLED AFTER         print what the round trip left; exit 1
                                                      when anything is left or changed
"""
import hashlib
import json
import os
import re
import sys

# What Wine's Windows changes by itself, whatever program runs: the restart renames a processed
# WININIT.INI to WININIT.BAK, as Windows 9x does; Wine keeps its own settings and state below
# HKCU\Software\Wine (DirectInput's joystick list, for one), which no setup script writes; and it
# enters a display device below ...\Control\Video for each new desktop.
IGNORED_FILES = {'c:\\windows\\wininit.bak'}
IGNORED_KEYS = ('hkey_current_user\\software\\wine',
                'hkey_local_machine\\system\\currentcontrolset\\control\\video')


def ignored_key(key):
    folded = key.casefold()
    return any(folded == top or folded.startswith(top + '\\') for top in IGNORED_KEYS)


UNINSTALL_KEY = 'hkey_local_machine\\software\\microsoft\\windows\\currentversion\\uninstall\\'
SHARED_KEY = 'hkey_local_machine\\software\\microsoft\\windows\\currentversion\\shareddlls'

# Wine keeps the current user's keys and the classes below these; show them by their usual names.
ROOT_NAMES = [
    (re.compile(r'^HKEY_USERS\\S-1-5-21-[0-9-]+(?=\\|$)', re.I), 'HKEY_CURRENT_USER'),
    (re.compile(r'^HKEY_LOCAL_MACHINE\\Software\\Classes(?=\\|$)', re.I), 'HKEY_CLASSES_ROOT'),
]


def windows_path(relative):
    return 'C:\\' + relative.replace('/', '\\') if relative else 'C:'


def file_digest(path):
    digest = hashlib.sha1()
    with open(path, 'rb') as stream:
        for block in iter(lambda: stream.read(1 << 20), b''):
            digest.update(block)
    return digest.hexdigest()


def scan_drive(drive_c, earlier):
    """Folders and files below drive_c, by case-folded Windows path, and the identity of each file
    that shares its contents with the template prefix (Wine's own programs and libraries, hard
    links that nothing writes to in place). Such a file with the identity it had in the `earlier`
    state keeps its checksum from there: they are most of the prefix's 600 MB. Links (Wine's links
    to the user's home folders) are not followed."""
    folders, files, shared = {}, {}, {}
    for folder, subfolders, names in os.walk(drive_c):
        relative = os.path.relpath(folder, drive_c)
        relative = '' if relative == '.' else relative
        for name in list(subfolders):
            if os.path.islink(os.path.join(folder, name)):
                subfolders.remove(name)
                continue
            path = windows_path(os.path.join(relative, name))
            folders[path.casefold()] = path
        for name in names:
            full = os.path.join(folder, name)
            if os.path.islink(full) or not os.path.isfile(full):
                continue
            path = windows_path(os.path.join(relative, name))
            key = path.casefold()
            if key in IGNORED_FILES:
                continue
            status = os.stat(full)
            digest = None
            if status.st_nlink > 1:
                shared[key] = [status.st_ino, status.st_size, status.st_mtime_ns]
                if earlier.get('shared', {}).get(key) == shared[key]:
                    digest = earlier['files'][key][2]
            files[key] = [path, status.st_size, digest or file_digest(full)]
    return folders, files, shared


def unquote(text):
    """The text of a quoted .reg string that starts `text`, and the rest after its closing quote."""
    out, i = [], 1
    while i < len(text) and text[i] != '"':
        if text[i] == '\\' and i + 1 < len(text):
            i += 1
            out.append({'n': '\n', 'r': '\r', '0': '\0'}.get(text[i], text[i]))
        else:
            out.append(text[i])
        i += 1
    return ''.join(out), text[i + 1:]


def readable(data):
    """A value as the author wrote it in the script: text in quotes, a number, or its bytes."""
    if data.startswith('"'):
        return '"%s"' % unquote(data)[0]
    if data.startswith('dword:'):
        return 'dword %d' % int(data[6:], 16)
    match = re.match(r'hex(?:\(([0-9a-f]+)\))?:(.*)$', data, re.I)
    if not match:
        return data
    kind = int(match.group(1) or '3', 16)
    raw = bytes(int(b, 16) for b in match.group(2).replace(' ', '').split(',') if b)
    if kind in (1, 2, 7):  # text kinds kept as UTF-16
        text = raw.decode('utf-16-le', 'replace').rstrip('\0')
        return '"%s"' % text.replace('\0', '", "')
    shown = ' '.join('%02x' % b for b in raw[:16])
    return shown + (' ... (%d bytes)' % len(raw) if len(raw) > 16 else '')


def shown_key(key):
    for pattern, name in ROOT_NAMES:
        key = pattern.sub(name.replace('\\', '\\\\'), key, count=1)
    return key


def read_export(path):
    """Keys and values of a `regedit /E` export (UTF-16), by case-folded name."""
    with open(path, 'rb') as stream:
        text = stream.read().decode('utf-16')
    keys, values = {}, {}
    key = None
    pending = ''
    for line in text.splitlines():
        line = pending + line.lstrip() if pending else line
        if line.endswith('\\') and not line.startswith('['):
            pending = line[:-1]
            continue
        pending = ''
        if line.startswith('[') and line.endswith(']'):
            key = shown_key(line[1:-1])
            if ignored_key(key):
                key = None
            else:
                keys[key.casefold()] = key
        elif key is not None and (line.startswith('"') or line.startswith('@=')):
            if line.startswith('@='):
                name, rest = '', line[1:]
            else:
                name, rest = unquote(line)
            if rest.startswith('='):
                # Compared by the data as exported; shown shortened.
                data = rest[1:]
                values[(key + '\\' + name).casefold()] = [key, name, readable(data), data]
    return keys, values


def snapshot(drive_c, export, state, earlier_path=None):
    earlier = load(earlier_path) if earlier_path else {}
    folders, files, shared = scan_drive(drive_c, earlier)
    keys, values = read_export(export)
    with open(state, 'w') as stream:
        json.dump({'folders': folders, 'files': files, 'shared': shared, 'keys': keys,
                   'values': values}, stream)


def load(path):
    with open(path) as stream:
        return json.load(stream)


def value_line(entry):
    return '%s = %s' % (entry[1] or '(default)', entry[2])


def split_shared(entries):
    """The values outside SharedDLLs, and those in it (the use counts of shared files)."""
    shared = {k: e for k, e in entries.items() if e[0].casefold() == SHARED_KEY}
    return {k: e for k, e in entries.items() if k not in shared}, shared


def print_values(title, entries, old=None):
    """Values grouped under their keys; with `old`, the value they replaced beside each."""
    if not entries:
        return
    print('  %s (%d):' % (title, len(entries)))
    key = None
    for id_, entry in sorted(entries.items(), key=lambda item: [n.casefold() for n in item[1][:2]]):
        if entry[0] != key:
            key = entry[0]
            print('    ' + key)
        replaced = ' (was %s)' % old[id_][2] if old is not None else ''
        print('      ' + value_line(entry) + replaced)


def print_list(title, lines):
    if lines:
        print('  %s (%d):' % (title, len(lines)))
        for line in sorted(lines):
            print('    ' + line)


# What tells two versions of an entry apart: a file's size and checksum, a value's whole data;
# folders and keys are the same whatever the case of their names.
CONTENT = {
    'folders': lambda entry: None,
    'files': lambda entry: entry[1:],
    'keys': lambda entry: None,
    'values': lambda entry: entry[3],
}


def changes(before, after, kind):
    """Entries of `kind` that `after` added, replaced and removed compared with `before`."""
    old, new, content = before[kind], after[kind], CONTENT[kind]
    added = {k: new[k] for k in new.keys() - old.keys()}
    removed = {k: old[k] for k in old.keys() - new.keys()}
    replaced = {k: new[k] for k in new.keys() & old.keys() if content(new[k]) != content(old[k])}
    return added, replaced, removed


def size_line(entry):
    return '%s  %d bytes' % (entry[0], entry[1])


def installed(before_path, after_path):
    before, after = load(before_path), load(after_path)
    print('What the install changed:')
    added, replaced, removed = changes(before, after, 'files')
    print_list('Files added', [size_line(e) for e in added.values()])
    print_list('Files replaced', ['%s (was %d bytes)' % (size_line(e), before['files'][k][1])
                                  for k, e in replaced.items()])
    print_list('Files removed', [size_line(e) for e in removed.values()])
    made, _, gone = changes(before, after, 'folders')
    print_list('Folders made', made.values())
    print_list('Folders removed', gone.values())
    made, _, gone = changes(before, after, 'keys')
    print_list('Registry keys made', made.values())
    print_list('Registry keys removed', gone.values())
    added, replaced, removed = (split_shared(part) for part in changes(before, after, 'values'))
    print_values('Registry values written', added[0])
    print_values('Registry values replaced', replaced[0], before['values'])
    print_values('Registry values removed', removed[0])
    print_values('Shared counts added', added[1])
    print_values('Shared counts changed', replaced[1], before['values'])
    print_values('Shared counts removed', removed[1])


def uninstall_commands(before_path, after_path):
    before, after = load(before_path), load(after_path)
    for id_, entry in sorted(after['values'].items()):
        if (id_.startswith(UNINSTALL_KEY) and entry[1].casefold() == 'uninstallstring'
                and before['values'].get(id_) != entry and entry[2].startswith('"')):
            print(entry[2][1:-1])


def left(before_path, installed_path, after_path):
    """Prints a warning for everything that differs from the state before the install: what the
    install made and the uninstall left, what was made after the install, and the prefix's own
    things that were changed or removed. Returns the number of warnings."""
    before, install, after = load(before_path), load(installed_path), load(after_path)
    describe = {
        'folders': lambda e: 'folder ' + e,
        'files': lambda e: 'file %s  %d bytes' % (e[0], e[1]),
        'keys': lambda e: 'registry key ' + e,
        'values': lambda e: 'registry value %s: %s' % (e[0], value_line(e)),
    }
    was = {
        'files': lambda e: '%d bytes, other content' % e[1],
        'values': lambda e: e[2],
    }
    warnings = []
    for kind in ('folders', 'files', 'keys', 'values'):
        added, replaced, removed = changes(before, after, kind)
        for id_, entry in sorted(added.items()):
            by = 'left by the install' if id_ in install[kind] else 'made after the install'
            warnings.append('%s: %s' % (by, describe[kind](entry)))
        for id_, entry in sorted(replaced.items()):
            warnings.append('changed in the prefix: %s (was %s)' % (
                describe[kind](entry), was[kind](before[kind][id_])))
        for id_, entry in sorted(removed.items()):
            warnings.append('gone from the prefix: ' + describe[kind](entry))
    print('What is left compared with the prefix before the install:')
    for warning in warnings:
        print('  warning: ' + warning)
    if not warnings:
        print('  nothing: the prefix is as it was before the install')
    return len(warnings)


def main(argv):
    if len(argv) in (5, 6) and argv[1] == 'snapshot':
        snapshot(*argv[2:])
    elif len(argv) == 4 and argv[1] == 'installed':
        installed(argv[2], argv[3])
    elif len(argv) == 4 and argv[1] == 'uninstall-commands':
        uninstall_commands(argv[2], argv[3])
    elif len(argv) == 5 and argv[1] == 'left':
        return 1 if left(argv[2], argv[3], argv[4]) else 0
    else:
        sys.stderr.write(__doc__)
        return 2
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
