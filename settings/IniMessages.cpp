// What the player reads when the settings store fails: what was not saved (or read), why,
// and what to do, in the player's language. The store's own German line comes first.

#include "settings/Language.h"
#include "settings/ini.h"

#include <QFileInfo>

namespace {

struct TWords {
    const char* german;
    const char* english;
};

QString Pick(const TWords& words) {
    return IsGerman() ? QString::fromUtf8(words.german) : QString::fromUtf8(words.english);
}

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

} // namespace

QString TLMDIniCtrl::Explain(const QString& legacy, TIniWhat what, TIniCause cause, TIniAccess access,
                             const QString& file) {
    QStringList parts;
    parts << WhatWasLost(what, access) << Why(cause, file) << WhatToDo(cause, file);
    if (access == TIniAccess::Write && what == TIniWhat::Highscore)
        parts << Pick({"Drücke OK, um es noch einmal zu versuchen, oder Abbrechen, um den Eintrag aufzugeben.",
                       "Press OK to try again, or Cancel to give the entry up."});
    const QString plain = parts.join(u' ');
    return legacy.isEmpty() ? plain : legacy + QStringLiteral("\n\n") + plain;
}
