#pragma once
// What the options dialog changes in the main window while it is open.

#include <QString>

#include <cstdint>

class TOptionsHost {
public:
    virtual ~TOptionsHost() = default;
    virtual bool SoundEnabled() const = 0;
    virtual void SetSoundEnabled(bool on) = 0;
    virtual bool MusicEnabled() const = 0;
    // Switches the music off, or on with the next music file.
    virtual void SwitchMusic() = 0;
    // Bare name of the current music file, empty when none was found.
    virtual QString MusicFileName() const = 0;
    virtual int Background() const = 0;
    // Takes the new background colour: rebuilds the board, repaints it at once and applies the texts.
    virtual void SetBackground(int index) = 0;
    virtual void ApplyMainTexts() = 0;
    // The number of the deal on the board, shown on the info page; 0 when there is none.
    virtual std::int32_t DealOnBoard() const { return 0; }
    // Whether the solver can show a next move now: a game that is not over.
    virtual bool HintPossible() const { return false; }
};
