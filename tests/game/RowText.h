#pragma once
// Rows written the way a player reads them: "r5 g5 b9 J" (colour letter r/g/b/v, value; J joker).
#include "game/Cards.h"

#include <array>
#include <sstream>
#include <stdexcept>
#include <string>

inline CardCode CardFromText(const std::string& t) {
    if (t == "J") return JokerCard;
    const std::string colours = "rgbv";
    const auto c = colours.find(t.at(0));
    if (c == std::string::npos) throw std::invalid_argument(t);
    return MakeCard(static_cast<int>(c), std::stoi(t.substr(1)));
}

inline std::array<CardCode, RowSize> RowFromText(const std::string& text) {
    std::istringstream in(text);
    std::array<CardCode, RowSize> row{};
    for (auto& card : row) {
        std::string t;
        in >> t;
        card = CardFromText(t);
    }
    return row;
}
