#pragma once
// Expected outputs of the highscore scrambler, from chiffre_vectors.py, which computes them on
// exact fractions with every rounding spelled out, not with the game's code.

#include <cstdint>

struct ChiffreVector {
    const char* plain; // UTF-8
    int key;
    const char* scrambled;
};

// Whole texts with the default alphabet.
inline const ChiffreVector ChiffreVectors[] = {
    {"0,Mr. Brain", 48213, "f,3r. xrEFj"},
    {"12345,Zelvano", 48213, "ggk4L,LePSWjw"},
    {"2147483647,Jörg Müller-Lüdenscheidt", 48213, "hfl7KUp6ie,FöIc füsbU9-aüGXhI701cjm"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", 48213, "pptDUb2HwqGHUoKkjZZJKnymoCTV28x2anbROAdN2ujQHDGkmi9JVLXCJdbtiV"},
    {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", 48213, "FEHaqwMaE7WWi1WvtihQQs2pqDTU05txUgTIEzRAofT9zuwPQLlu5u5jp85MAwmTWPxVVsOyWqpfyCumYY2txeOEmNATPDpbhlaw"},
    {"0,Mr. Brain", 1, "J,YW. nlqZI"},
    {"0,Mr. Brain", 7, "E,uO. iEPdS"},
    {"0,Mr. Brain", 2147482863, "h,rg. htJmQ"},
    {"Hello, World! 42", 123456789, "jcBS6, 14u9c! nS"},
    // Keys whose first value, rounded to 64 bits, lies halfway between two doubles.
    {"0,Mr. Brain", 6145, "0,tu. zmTgK"},
    {"0,Mr. Brain", 14563, "X,qQ. u0uAz"},
};

// Single steps on values at the roundings' edges; a fraction is in units of 2^-54.
struct ChiffreAmountCorner {
    std::uint64_t fraction;
    int length;
    int amount;
};
// L * a just below a whole number, and half a unit of the 64th bit below it (kept bits odd,
// then even): the exact product truncates one lower in the first two rows.
inline const ChiffreAmountCorner ChiffreAmountCorners[] = {
    {0x14cdb654c59401u, 1999999999, 650111356},
    {0x254c5940100000u, 1999999999, 1165569901},
    {0x2fe50bc0300000u, 1999999999, 1496709703},
};

struct ChiffreAdvanceCorner {
    std::uint64_t fraction;
    std::uint64_t next;
};
// 997 * a + pi rounded to 64 bits lands halfway between two doubles.
inline const ChiffreAdvanceCorner ChiffreAdvanceCorners[] = {
    {0x1c0cc4f1795466u, 0x6cadb0fa71800u},
    {0x156c42b7203c66u, 0x37afadd2aca000u},
};
