#pragma once
// The scrambler of the stored highscore rows: a keyed substitution over a 62-character
// alphabet that moves each letter or digit by an amount drawn from a fixed sequence.
// It keeps a casual reader from editing the list; it is no protection against anyone else.
//
// The sequence is the stored highscores' file format: every step is computed exactly as the
// lists that players already have were scrambled (ChiffreSequence.h says how, and does it on
// integers so that every processor agrees). Changing any of it loses every list.

#include <QString>

#include <cstdint>

class TChiffre {
public:
    TChiffre() { Init(QString(), 0); }

    // "A".."Z", "a".."z", "0".."9".
    static QString DefaultAlphabet();

    // An empty alphabet means the default one. The key becomes |key|, 48213 in place of 0,
    // and at most 2147482863.
    void Init(const QString& alphabet, int key);

    QString Encode(const QString& text) const { return Transform(text, m_key); }
    QString Decode(const QString& text) const { return Transform(text, -m_key); }

    // Moves each alphabet character by the next amount of the sequence for |k|, forward for
    // a positive k and back for a negative one. Each Unicode character (a surrogate pair is
    // one) uses up one step; characters outside the alphabet stay as they are.
    QString Transform(const QString& text, int k) const;

    const QString& Alphabet() const { return m_alphabet; }
    int Key() const { return m_key; }

private:
    QString m_alphabet;
    int m_key = 0;
    std::uint64_t m_start = 0; // where the sequence for m_key begins

};
