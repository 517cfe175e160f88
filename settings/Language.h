#pragma once
// The game speaks German or English. One value for the whole program: 1 German, 0 English,
// -1 not chosen yet. Every text is chosen by the single test "is it 1".

extern int Language;

inline bool IsGerman() { return Language == 1; }
