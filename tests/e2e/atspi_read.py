#!/usr/bin/python3
# Reads the running game's accessible tree over AT-SPI, as a screen reader would, and checks
# what it says: the main window is a frame named by its title, the toolbar's push buttons by
# name and state, the cards by name, the score by name with nothing to step, the focus on the
# keyboard's mark alone; or, asked for "hint", that the board's status line says the hint just
# asked for, and asked for "best", that it follows the best play shown after the game.
#   atspi_read.py LANGUAGE STARTED   (LANGUAGE en or de; STARTED 0 before the first move, 1 after,
#                                     hint after H was pressed, best after B)
import re
import sys
import time

import pyatspi

language, started, hint, best = sys.argv[1], sys.argv[2] == "1", sys.argv[2] == "hint", sys.argv[2] == "best"
names = {
    "en": ["New game", "Give up", "Pause", "Highscores", "Options", "Info", "Help", "Exit"],
    "de": ["Neues Spiel", "Aufgeben", "Pause", "Bestenliste", "Einstellungen", "Info", "Hilfe", "Beenden"],
}[language]
colours = {"en": "red|green|blue|violet", "de": "rot|grün|blau|violett"}[language]
card = re.compile(r"^((%s) (1[0-3]|[1-9])|[Jj]oker)$" % colours)


def find_app():
    for _ in range(100):
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and "elvano" in (app.name or "").lower():
                return app
        time.sleep(0.2)
    sys.exit("the game is not on the accessibility bus")


def walk(acc, depth=0):
    if acc is None or depth > 12:
        return
    yield acc
    for i in range(acc.childCount):
        yield from walk(acc.getChildAtIndex(i), depth + 1)


app = find_app()
if hint or best:
    # The search runs on its own thread and may take a while on a busy machine.
    said = re.compile(r"^(Hint: (claim .+|drop the (joker|(red|green|blue|violet) \d+) from stack [1-5] on position [1-4]))$"
                      if language == "en"
                      else r"^(Tipp: (nimm .+|(Joker|(rot|grün|blau|violett) \d+) von Stapel [1-5] auf Platz [1-4]))$")
    if best:
        # A step of the play shown, as the moves are said: "Best play 3/46: drop the red 5 ...".
        said = re.compile(r"^Best play \d+/\d+: (claim .+|drop the .+ from stack [1-5] on position [1-4])$"
                          if language == "en"
                          else r"^Beste Partie \d+/\d+: (nimm .+|.+ von Stapel [1-5] auf Platz [1-4])$")
    status = None
    # The best play waits for the deal's whole search: a second here, minutes in a sanitizer
    # build on a busy machine.
    deadline = time.monotonic() + (240 if best else 20)
    while time.monotonic() < deadline:
        status = next((a for a in walk(app) if a.getRoleName() == "status bar"), None)
        if status is not None and said.match(status.name or ""):
            print("status line:", status.name)
            print("ok")
            sys.exit(0)
        time.sleep(0.2)
    sys.exit("the status line does not say the %s: %r" % ("best play" if best else "hint", status.name if status else None))

buttons, cards, descriptions, focused, scores, notices = {}, [], {}, [], [], []
score = re.compile(r"^%s -?[0-9]+$" % {"en": "Score:", "de": "Punkte:"}[language])
for acc in walk(app):
    role = acc.getRoleName()
    state = acc.getState()
    if state.contains(pyatspi.STATE_FOCUSED) and state.contains(pyatspi.STATE_SHOWING) and role != "frame":
        focused.append((role, acc.name))
    if role == "push button" and acc.name in names:
        buttons[acc.name] = state.contains(pyatspi.STATE_ENABLED)
        descriptions[acc.name] = acc.description
    elif card.match(acc.name or ""):
        cards.append((acc.name, acc.description))
    elif score.match(acc.name or ""):
        try:
            actions = acc.queryAction().nActions
        except NotImplementedError:
            actions = 0
        try:
            acc.queryValue()
            value = True
        except NotImplementedError:
            value = False
        scores.append((role, acc.name, actions, value, state.contains(pyatspi.STATE_FOCUSABLE)))
    elif role == "notification":
        notices.append(acc)

failures = []
frames = [(w.getRoleName(), w.name) for w in app]
if not any(r == "frame" and (n or "").startswith("Zelvano - ") for r, n in frames):
    failures.append("the main window is no frame named by its title: %r" % frames)
if len(scores) != 1 or scores[0][0] != "label" or scores[0][2] or scores[0][3] or not scores[0][4]:
    failures.append("the score is not one focusable label without actions or value: %r" % scores)
if len(notices) != 1:
    failures.append("expected one notification, read %d" % len(notices))
# After the first move the keyboard's mark stands on the stacks: that card alone is focused.
if started and (len(focused) != 1 or not card.match(focused[0][1] or "")):
    failures.append("focused: %r" % focused)
for n in names:
    if n not in buttons:
        failures.append("no push button named %r" % n)
    elif not descriptions[n]:
        failures.append("%r has no description" % n)
for n in names[1:3]:
    if n in buttons and buttons[n] != started:
        failures.append("%r reads %s" % (n, "enabled" if buttons[n] else "disabled"))
if len(cards) != 9:
    failures.append("expected 4 row cards and 5 stack tops, read %r" % cards)
place = {"en": ("row position ", "stack "), "de": ("Reihenplatz ", "Stapel ")}[language]
if not all(d.startswith(place) for _, d in cards):
    failures.append("card descriptions: %r" % [d for _, d in cards])
print("buttons:", buttons)
print("cards:", cards)
print("score:", scores, "focused:", focused)
if failures:
    sys.exit("\n".join(failures))
print("ok")
