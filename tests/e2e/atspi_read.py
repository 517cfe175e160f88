#!/usr/bin/python3
# Reads the running game's accessible tree over AT-SPI, as a screen reader would, and checks
# what it says: the toolbar's push buttons by name and state, and the cards by name; or, asked
# for "hint", that the board's status line says the hint just asked for.
#   atspi_read.py LANGUAGE STARTED   (LANGUAGE en or de; STARTED 0 before the first move, 1 after,
#                                     hint after H was pressed)
import re
import sys
import time

import pyatspi

language, started, hint = sys.argv[1], sys.argv[2] == "1", sys.argv[2] == "hint"
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
if hint:
    # The search runs on its own thread and may take a while on a busy machine.
    said = re.compile(r"^(Hint: (claim .+|stack [1-5] onto row position [1-4]))$" if language == "en"
                      else r"^(Tipp: (nimm .+|Stapel [1-5] auf Platz [1-4]))$")
    status = None
    for _ in range(100):
        status = next((a for a in walk(app) if a.getRoleName() == "status bar"), None)
        if status is not None and said.match(status.name or ""):
            print("status line:", status.name)
            print("ok")
            sys.exit(0)
        time.sleep(0.2)
    sys.exit("the status line does not say the hint: %r" % (status.name if status else None))

buttons, cards, descriptions = {}, [], {}
for acc in walk(app):
    role = acc.getRoleName()
    if role == "push button" and acc.name in names:
        buttons[acc.name] = acc.getState().contains(pyatspi.STATE_ENABLED)
        descriptions[acc.name] = acc.description
    elif card.match(acc.name or ""):
        cards.append((acc.name, acc.description))

failures = []
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
if failures:
    sys.exit("\n".join(failures))
print("ok")
