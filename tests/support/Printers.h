#pragma once
// How GoogleTest prints the Qt values the tests compare, so a failure shows the text itself.

#include <QString>

#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
