#include "texts/StoreTexts.h"

#include "texts/Language.h"

#include <QFileInfo>

#include <algorithm>

namespace {

QString WhatWasLost(TIniWhat what, TIniAccess access) {
    if (access == TIniAccess::Start)
        return Pick({"Deine Einstellungen und Bestenlisten werden nicht gespeichert.",
                     "Your settings and highscores will not be saved."});
    if (access == TIniAccess::Read)
        return Pick({"Die gespeicherten Einstellungen und Bestenlisten konnten nicht gelesen werden. Das Spiel "
                     "beginnt mit den Grundeinstellungen und überschreibt die Datei in dieser Sitzung nicht.",
                     "The saved settings and highscores could not be read. The game starts with its defaults "
                     "and will not write over the file in this session."});
    switch (what) {
    case TIniWhat::Highscore:
        return Pick({"Dein Eintrag in der Bestenliste wurde nicht gespeichert.",
                     "Your highscore entry was not saved."});
    case TIniWhat::Statistics:
        return Pick({"Deine Spielstatistik wurde nicht gespeichert.", "Your game statistics were not saved."});
    case TIniWhat::Par:
        return Pick({"Das beste gefundene Ergebnis deines letzten Spiels wurde nicht gespeichert.",
                     "The best result found for your last game was not saved."});
    case TIniWhat::Settings:
        break;
    }
    return Pick({"Deine Einstellungen (Spielstärke, Hintergrund, Sprache, Klang, Musik, Fensterposition) wurden "
                 "nicht gespeichert.",
                 "Your settings (skill level, background, language, sound, music, window position) were not "
                 "saved."});
}

QString Why(TIniCause cause, const QString& file) {
    const QString folder = QFileInfo(file).absolutePath();
    switch (cause) {
    case TIniCause::DiskFull:
        return Pick({"Der Datenträger ist voll.", "The disk is full."});
    case TIniCause::NoPermission:
        return Pick({"Du hast keine Schreibrechte für den Ordner %1.", "You have no permission to write to the folder %1."})
            .arg(folder);
    case TIniCause::ReadOnlyFile:
        return Pick({"Die Einstellungsdatei %1 ist schreibgeschützt.", "The settings file %1 is read-only."}).arg(file);
    case TIniCause::ReadOnlyDisk:
        return Pick({"Der Datenträger mit %1 ist schreibgeschützt.", "The disk that holds %1 is read-only."}).arg(file);
    case TIniCause::Unreadable:
        return Pick({"Die Einstellungsdatei %1 darf nicht gelesen werden.", "You have no permission to read the settings file %1."})
            .arg(file);
    case TIniCause::TooLarge:
        return Pick({"Die Einstellungsdatei %1 ist größer als 1 MiB, viel zu groß für eine Datei des Spiels.",
                     "The settings file %1 is larger than 1 MiB, far too large to be the game's own."})
            .arg(file);
    case TIniCause::WouldBeTooLarge:
        return Pick({"Gespeichert wäre die Einstellungsdatei %1 größer als 1 MiB und könnte nicht mehr "
                     "gelesen werden.",
                     "Saved, the settings file %1 would be larger than 1 MiB and could not be read again."})
            .arg(file);
    case TIniCause::NotAFile:
        return Pick({"%1 oder ein Ordner auf dem Weg dorthin ist keine gewöhnliche Datei.",
                     "%1, or a folder on the way to it, is not what it should be (a folder where a file should "
                     "be, or the other way round)."})
            .arg(file);
    case TIniCause::None:
    case TIniCause::Other:
        break;
    }
    return Pick({"Das System hat beim Schreiben von %1 einen Fehler gemeldet.", "The system reported an error while writing %1."})
        .arg(file);
}

QString WhatToDo(TIniCause cause, const QString& file) {
    const QString folder = QFileInfo(file).absolutePath();
    switch (cause) {
    case TIniCause::DiskFull:
        return Pick({"Schaffe Platz auf dem Datenträger und versuche es noch einmal.",
                     "Free some space on the disk, then try again."});
    case TIniCause::NoPermission:
        return Pick({"Gib dir Schreibrechte für den Ordner (zum Beispiel: chmod u+rwx \"%1\") und versuche es noch einmal.",
                     "Give yourself write permission on the folder (for example: chmod u+rwx \"%1\"), then try again."})
            .arg(folder);
    case TIniCause::ReadOnlyFile:
        return Pick({"Das Spiel lässt sie, wie sie ist. Soll es speichern, hebe den Schreibschutz auf (chmod u+w \"%1\").",
                     "The game leaves it as it is. To let the game save, make it writable (chmod u+w \"%1\")."})
            .arg(file);
    case TIniCause::ReadOnlyDisk:
        return Pick({"Mache den Datenträger beschreibbar oder lege die Einstellungen anderswo ab (XDG_CONFIG_HOME).",
                     "Make the disk writable, or keep the settings elsewhere (XDG_CONFIG_HOME)."});
    case TIniCause::Unreadable:
        return Pick({"Gib dir Leserechte (zum Beispiel: chmod u+rw \"%1\" und chmod u+rwx für den Ordner) und starte das "
                     "Spiel neu.",
                     "Give yourself permission to read it (for example: chmod u+rw \"%1\", and chmod u+rwx on its "
                     "folder), then start the game again."})
            .arg(file);
    case TIniCause::TooLarge:
    case TIniCause::WouldBeTooLarge:
    case TIniCause::NotAFile:
        return Pick({"Verschiebe oder lösche %1; das Spiel legt dann eine neue Datei an.",
                     "Move %1 away or delete it; the game then makes a new one."})
            .arg(file);
    case TIniCause::None:
    case TIniCause::Other:
        break;
    }
    return Pick({"Versuche es später noch einmal.", "Try again later."});
}

// A few names, and how many more there are.
QString NameSome(const QStringList& names, qsizetype count) {
    constexpr qsizetype Shown = 5;
    QStringList shown = names.mid(0, Shown);
    for (QString& name : shown)
        name = IsGerman() ? u'\u201E' + name + u'\u201C' : u'\u201C' + name + u'\u201D';
    QString text = shown.join(QStringLiteral(", "));
    if (count > shown.size())
        text += Pick({" und %1 weitere", " and %1 more"}).arg(count - shown.size());
    return text;
}

} // namespace

QString StoreCannotWriteLine(const QString& key) { return QStringLiteral("Konnte Daten für '%1' nicht setzen").arg(key); }
QString StoreCannotReadLine(const QString& key) { return QStringLiteral("Konnte Daten für '%1' nicht holen").arg(key); }
QString StoreCannotCreateLine(const QString& section) {
    return QStringLiteral("Erzeugung von Schlüssel %1 misslungen").arg(section);
}

QString StoreFailureText(const QString& legacy, TIniWhat what, TIniCause cause, TIniAccess access,
                         const QString& file) {
    QStringList parts;
    parts << WhatWasLost(what, access) << Why(cause, file) << WhatToDo(cause, file);
    if (access == TIniAccess::Write && what == TIniWhat::Highscore)
        parts << Pick({"Drücke OK, um es noch einmal zu versuchen, oder Abbrechen, um den Eintrag aufzugeben.",
                       "Press OK to try again, or Cancel to give the entry up."});
    const QString plain = parts.join(u' ');
    return legacy.isEmpty() ? plain : legacy + QStringLiteral("\n\n") + plain;
}

QString StoreDamagedText(const QString& file, const QStringList& names) {
    return Pick({"In der Einstellungsdatei %1 sind Werte beschädigt (sie enthalten Steuerzeichen, die "
                 "das Spiel nie schreibt): %2. Das Spiel nimmt für sie die Grundeinstellungen und ersetzt "
                 "sie, sobald es sie wieder speichert.",
                 "Some values in the settings file %1 are damaged (they hold control characters the game "
                 "never writes): %2. The game uses its defaults for them and replaces them when it next "
                 "saves them."})
        .arg(file, NameSome(names, names.size()));
}

QString StoreDroppedText(const QString& file, const QStringList& names, qsizetype count) {
    const QString what = names.isEmpty()
                             ? Pick({"Anmerkungen und doppelte Zeilen", "notes and duplicate lines"})
                             : NameSome(names, std::max(count, names.size()));
    return Pick({"Die Einstellungsdatei %1 wäre größer als 1 MiB geworden und könnte dann nicht mehr "
                 "gelesen werden. Damit deine Einstellungen, Bestenlisten und Statistik erhalten bleiben, "
                 "hat das Spiel Einträge weggelassen, die nicht von ihm stammen, die größten zuerst: %2.",
                 "The settings file %1 would have grown past 1 MiB and could not have been read again. To "
                 "keep your settings, highscores and statistics, the game left out entries that are not "
                 "its own, the largest first: %2."})
        .arg(file, what);
}
