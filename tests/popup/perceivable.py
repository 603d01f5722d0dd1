#!/usr/bin/python3
"""What a person relying on a screen reader, a high-DPI screen or good contrast
gets of a popup, seen from outside the host as assistive technologies and the
screen show it. On a private desktop (scripts/with-desktop.sh):

    perceivable.py TOASTCTL atspi|orca|scale|contrast

Prints "ok NAME: what was seen" or "FAIL NAME: ..." per check; exits 1 when one failed.
"""
import json
import os
import re
import subprocess
import sys
import tempfile
import threading
import time

TOASTCTL, WHAT = sys.argv[1], sys.argv[2]
SKIN = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'host', 'umlite', 'skin')
FAILED = []
BUTTONS = [{'text': 'Open', 'action': 'open'}, {'text': 'Later', 'action': 'later'}]
TITLE, LINES = 'Orvex Writer', ['Report.docx is ready', 'Shared by Ana Ruiz', 'Just now']
PLAIN = {'0': 4, '2': TITLE, '5': LINES, '10': BUTTONS}
# A title and a clickable segment too long for the popup: shown elided.
LONG_TITLE = 'Orvex Sheets: the budget review of the northern region is ready to open'
LINK = 'Quarterly budget review for the northern region.xlsx'
RICH_LINES = [LINK + ' was shared', 'by Ana Ruiz', 'Just now']
RICH = {'0': 4, '2': LONG_TITLE, '3': '.xlsx', '17': 1, '10': BUTTONS, '5': [json.dumps({'fields': [
    {'text': LINK, 'action': 'open-file', 'click': True}, {'text': ' was shared', 'action': '', 'click': False}]})] + [
    json.dumps({'fields': [{'text': line, 'action': '', 'click': False}]}) for line in RICH_LINES[1:]]}


def check(name, ok, seen):
    print('%s %s: %s' % ('ok' if ok else 'FAIL', name, seen), flush=True)
    if not ok:
        FAILED.append(name)


def poll(condition, seconds=30):
    deadline = time.time() + seconds
    while True:
        result = condition()
        if result or time.time() > deadline:
            return result
        time.sleep(0.1)


def run(*command, **options):
    return subprocess.run(command, stdout=subprocess.PIPE, check=True, **options).stdout


class Host:
    """toastctl showing one popup 2 s after its start; its JSON events."""

    def __init__(self, request, *options, env=None):
        self.out = tempfile.TemporaryFile('w+')
        self.proc = subprocess.Popen([TOASTCTL, '--app-drawn', '--show-after', '2000', '--wait', '60000', *options,
                                      'show', json.dumps(request)], stdout=self.out, env=dict(os.environ, **(env or {})))

    def event(self, kind, seconds=30):
        def seen():
            self.out.seek(0)
            return next((json.loads(line) for line in self.out if json.loads(line)['event'] == kind), None)
        return poll(seen, seconds)

    def faded_in(self):
        """The popup's X window once it has faded in fully."""
        def window():
            ids = run('xdotool', 'search', '--onlyvisible', '--class', 'toastctl', text=True).split()
            opacity = subprocess.run(['xprop', '-id', ids[-1], '_NET_WM_WINDOW_OPACITY'], stdout=subprocess.PIPE,
                                     text=True).stdout if ids else ''
            return '= 4294967295' in opacity and ids[-1]
        return self.event('shown') and poll(window)

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.proc.kill()
        self.proc.wait()


def start_accessibility(screen_reader):
    """The accessibility bus and registry up on this display before a host
    starts, or Qt never joins the bus."""
    global pyatspi
    run('dbus-update-activation-environment', 'DISPLAY')
    import pyatspi
    pyatspi.Registry.getDesktop(0)
    if screen_reader:  # what a screen reader sets as it starts: Qt's bridge turns on
        run('dbus-send', '--session', '--print-reply', '--dest=org.a11y.Bus', '/org/a11y/bus',
            'org.freedesktop.DBus.Properties.Set', 'string:org.a11y.Status', 'string:ScreenReaderEnabled',
            'variant:boolean:true')


def shown(obj, roles=('label', 'link', 'push button', 'image')):
    """The showing descendants of those roles, in the order they are read."""
    found = []
    for child in obj:
        if child is not None:
            if child.getState().contains(pyatspi.STATE_SHOWING) and child.getRoleName() in roles:
                found.append(child)
            found += shown(child, roles)
    return found


def popup_window():
    apps = [a for a in pyatspi.Registry.getDesktop(0) if a and a.name == os.path.basename(TOASTCTL)]
    return next((w for a in apps for w in a if w and w.getState().contains(pyatspi.STATE_SHOWING)), None)


def atspi():
    start_accessibility(True)
    with Host(RICH) as host:
        window = poll(popup_window)
        check('role-name-description', (window.getRoleName(), window.name, window.description.split('\n'))
              == ('notification', LONG_TITLE, RICH_LINES), '%s %r described by %r' % (
                  window.getRoleName(), window.name, window.description))
        # Every control and image named, with the whole texts: title, lines, buttons and close in that order.
        read = [(o.getRoleName(), o.name) for o in shown(window)]
        check('named-whole-in-order', read == [('label', LONG_TITLE), ('image', 'xlsx'), ('label', RICH_LINES[0]),
                                               ('link', LINK)]
              + [('label', line) for line in RICH_LINES[1:]] + [('push button', b) for b in ('Open', 'Later', 'Close')],
              ' / '.join('%s %r' % pair for pair in read))
        links = shown(window, ('link',))
        action = links and links[0].queryAction()
        names = [action.getName(i) for i in range(action.nActions)] if links else []
        event = 'Press' in names and action.doAction(names.index('Press')) and host.event('activated', 10)
        check('segment-action', event and (event['source'], event['index'], event['action']) == (2, 0, 'open-file'),
              '%d link(s), actions %s, the listener heard %s' % (len(links), names, event))


def orca():
    start_accessibility(False)
    home = tempfile.mkdtemp()
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home, XDG_DATA_HOME=home, XDG_CACHE_HOME=home,
               XDG_RUNTIME_DIR=home)
    # Its debug log on a terminal, which Python writes line by line: what Orca
    # would say as it says it. No synthesizer, no braille display.
    terminal, log = os.openpty()
    # Orca refuses to start beside another Orca of the same user.
    others = subprocess.run(['pgrep', '-u', str(os.getuid()), '-x', 'orca'], stdout=subprocess.PIPE, text=True).stdout
    reader = subprocess.Popen(['orca', '--user-prefs', home, '--disable', 'speech', '--disable', 'braille',
                               '--debug-file', os.ttyname(log)], env=env, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
    written = []

    def drain():
        try:
            while True:
                written.append(os.read(terminal, 65536))
        except OSError:  # its last writer gone
            pass
    threading.Thread(target=drain, daemon=True).start()
    spoken = lambda: re.findall(r"SPEECH OUTPUT: '(.*?)'[{ ]", b''.join(written).decode(errors='replace'), re.S)
    # What a popup says as it appears, and again once updateToast changed it.
    said = [TITLE] + LINES + [LONG_TITLE] + RICH_LINES
    missing = lambda: [text for text in said if not any(text in line for line in spoken())]
    running = poll(lambda: 'orca' in [a.name for a in pyatspi.Registry.getDesktop(0) if a])
    with Host(PLAIN, '--update', json.dumps(RICH), '--update-after', '1500') as host:
        showed = running and host.event('shown')
        poll(lambda: not missing(), 30)
    reader.kill()
    reader.wait()
    print(''.join('  Orca: %r\n' % line for line in spoken()), end='')
    check('orca-speaks', showed and not missing(), 'Orca ran: %s (others of this user: %s); not spoken: %s'
          % (bool(running), others.split() or 'none', missing()))


def ppm(*command):
    """An image as its width and its pixels, row by row."""
    magic, width, height, depth, data = run(*command).split(maxsplit=4)
    assert (magic, depth) == (b'P6', b'255')
    return int(width), [tuple(data[i:i + 3]) for i in range(0, len(data) - 2, 3)]


def screen():
    return ppm('import', '-window', 'root', '-depth', '8', 'ppm:-')


def frame(shot):
    """The popup's frame, light inside its dark shadow on the dark root window:
    left, top, right, bottom."""
    width, pixels = shot
    height = len(pixels) // width
    bright = lambda x, y: sum(pixels[y * width + x]) > 450
    row = [x for x in range(width) if bright(x, height - 100)]
    column = [y for y in range(height) if bright(width - 100, y)]
    return (row[0], column[0], row[-1], column[-1]) if row and column else (0, 0, 0, 0)


def drawn_from(shot, source, box):
    """Whether source, over white, is drawn pixel for pixel inside box."""
    width, pixels = shot
    sw, src = ppm('convert', source, '-background', 'white', '-flatten', '-depth', '8', 'ppm:-')
    sh = len(src) // sw
    near = lambda a, b: max(abs(p - q) for p, q in zip(a, b)) <= 8
    anchor = next(i for i, p in enumerate(src) if sum(p) < 600)  # its first dark pixel
    return any(near(pixels[(y + anchor // sw) * width + x + anchor % sw], src[anchor]) and all(
        near(pixels[(y + j) * width + x + i], src[j * sw + i]) for j in range(sh) for i in range(sw))
        for y in range(box[1], box[3] - sh) for x in range(box[0], box[2] - sw))


def scale():
    # 96 dpi: a length of the kit is as many pixels as the factor says.
    run('xrdb', '-merge', input='Xft.dpi: 96\n', text=True)
    seen = {}
    for name in ('1x', 'QT_SCALE_FACTOR=1.5', 'QT_SCALE_FACTOR=2', 'QT_SCREEN_SCALE_FACTORS=2'):
        with Host(dict(PLAIN, **{'3': '.docx'}), env=dict([name.split('=')]) if '=' in name else {}) as host:
            host.faded_in()
            shot = screen()
        left, top, right, bottom = box = frame(shot)
        seen[name] = shot, box, (right - left + 1, bottom - top + 1, shot[0] - 1 - right)
        print('  %-26s frame %dx%d, %d px from the right edge' % ((name,) + seen[name][2]))
    for name, factor in (('QT_SCALE_FACTOR=1.5', 1.5), ('QT_SCALE_FACTOR=2', 2), ('QT_SCREEN_SCALE_FACTORS=2', 2)):
        wanted = [factor * n for n in seen['1x'][2]]
        check('scaled ' + name, all(abs(a - b) <= 2 for a, b in zip(seen[name][2], wanted)),
              'frame %dx%d, gap %d; %g times 1x: %gx%g, gap %g' % (seen[name][2] + (factor,) + tuple(wanted)))
    (shot, (left, top, right, bottom), _), other = seen['QT_SCALE_FACTOR=2'], seen['QT_SCREEN_SCALE_FACTORS=2'][0]
    differing = sum(p != q for p, q in zip(shot[1], other[1]))
    check('screen-factor-as-scale-factor', differing == 0, '%d pixels differ between the two' % differing)
    check('close-glyph-at-2', drawn_from(shot, SKIN + '/icons/umlite_close.png', (right - 150, top, right, top + 120)),
          'the 32 px glyph pixel for pixel at the top right of the frame')
    check('kit-icon-at-2', drawn_from(shot, SKIN + '/filetypes/docx@2x.png', (left, top, right, bottom)),
          'the 128 px file-type icon pixel for pixel in the frame')


def luminance(rgb):
    c = [v / 255 / 12.92 if v <= 10 else ((v / 255 + 0.055) / 1.055) ** 2.4 for v in rgb]
    return 0.2126 * c[0] + 0.7152 * c[1] + 0.0722 * c[2]


def contrast_in(box):
    """The commonest colour inside box, clear of its border, against the pixel
    that stands out from it most: the core of the glyphs."""
    width, pixels = screen()
    inside = [pixels[y * width + x] for y in range(box.y + 3, box.y + box.height - 3)
              for x in range(box.x + 3, box.x + box.width - 3)]
    background = max(set(inside), key=inside.count)
    ratio = lambda a, b: (max(luminance(a), luminance(b)) + 0.05) / (min(luminance(a), luminance(b)) + 0.05)
    return background, max(ratio(background, p) for p in inside)


def contrast():
    start_accessibility(True)
    for theme in ('light', 'dark'):
        with Host(RICH, env={'UMLITE_THEME': theme}) as host:
            host.faded_in()
            for part in shown(poll(popup_window), ('label', 'link', 'push button')):
                role, name, box = part.getRoleName(), part.name, part.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
                needed = 3.0 if name == 'Close' else 4.5  # a glyph, not text
                measured = contrast_in(box)
                centre = [str(box.x + box.width // 2), str(box.y + box.height // 2)]
                for state, command in [('', None)] + ([('hover', ['mousemove'] + centre),
                                                        ('pressed', ['mousedown', '1'])] if role == 'push button' else []):
                    if command:
                        before = measured[0]
                        run('xdotool', *command)
                        # Once the style has painted the state.
                        measured = poll(lambda: contrast_in(box)[0] != before and contrast_in(box), 3) or contrast_in(box)
                    check('contrast %s %s %r%s' % (theme, role, name, state and ' ' + state), measured[1] >= needed,
                          '%.2f:1 on #%02x%02x%02x' % ((measured[1],) + measured[0]))
                # Released away from the button: no click.
                role == 'push button' and run('xdotool', 'mousemove', '0', '0', 'mouseup', '1')


{'atspi': atspi, 'orca': orca, 'scale': scale, 'contrast': contrast}[WHAT]()
print('%d failed: %s' % (len(FAILED), ', '.join(FAILED)) if FAILED else 'all passed')
sys.exit(1 if FAILED else 0)
