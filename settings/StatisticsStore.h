#pragma once
// The statistics in the settings file, section [statistics] (keys in game/Statistics.h).
// Every finished game is added in one write at once, so a crash later loses nothing.

#include "game/Statistics.h"

#include <QString>

class TIniEdit;
class TIniStore;

inline const QString StatisticsSection = QStringLiteral("statistics");

// What is stored now; missing or damaged values read as 0.
Statistics ReadStatistics(const TIniStore& ini);

// Adds one finished game to what is stored at this moment and writes every figure, all under
// the store's lock and in one replacement of the file. False when the write failed; the store
// has told the player then.
bool StoreFinishedGame(TIniStore& ini, const FinishedGame& game);

// The same inside a write the caller makes anyway (the close writes everything at once).
void AddFinishedGame(TIniEdit& edit, const FinishedGame& game);

// Stores the par of a game already recorded (see RecordPar), under the lock as above. False when
// the write failed (told as above, unless the same failure was told already: it comes right
// after its game's own save).
bool StorePar(TIniStore& ini, int level, std::int32_t deal, std::int64_t par, std::int64_t score,
              std::int64_t points = 0);

// Sets every figure back to 0, in one write. False when the write failed (told as above).
bool ResetStatistics(TIniStore& ini);
