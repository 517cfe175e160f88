#include "app/CommandLine.h"

#include "game/Deal.h"
#include "game/Patterns.h"
#include "game/Solver.h"

#include <QCommandLineParser>

#include <cstdio>

#ifndef ZELVANO_VERSION
#define ZELVANO_VERSION "unknown"
#endif

namespace {

const QString Program = QStringLiteral("zelvano");

struct TOptionText {
    QStringList names;
    const char* valueName; // nullptr: a switch without a value
    const char* help;
};

// Every option, in the order the help lists them.
const TOptionText Options[] = {
    {{QStringLiteral("h"), QStringLiteral("help")}, nullptr, "Show this help and exit."},
    {{QStringLiteral("v"), QStringLiteral("version")}, nullptr, "Show the version and exit."},
    {{QStringLiteral("deal")}, "N",
     "Start with deal number N (1 to 2147483647). The same number\n"
     "always deals the same cards; the next new game is random again."},
    {{QStringLiteral("level")}, "L", "Start at skill level L: 1 basic, 2 advanced, 3 master, 4 champions."},
    {{QStringLiteral("solve")}, "N",
     "Print the best play found for deal N at the level of --level\n"
     "(1 if not given), the points it scores and the most any play\n"
     "could score, and exit without opening a window."},
};

QString OptionColumn(const TOptionText& o) {
    QStringList names;
    for (const QString& n : o.names) names << (n.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + n;
    QString column = names.join(QStringLiteral(", "));
    if (o.valueName) column += QLatin1Char(' ') + QLatin1String(o.valueName);
    // Long-only options line up with the long names of the others.
    return o.names.first().size() == 1 ? column : QStringLiteral("    ") + column;
}

QString HelpText(const QString& settingsPath) {
    QString text = UsageLine() + QStringLiteral("\nA card-pattern puzzle for one player.\n\nOptions:\n");
    for (const TOptionText& o : Options)
        text += QStringLiteral("  %1  %2\n")
                    .arg(OptionColumn(o), -18)
                    .arg(QString::fromLatin1(o.help).replace(QLatin1Char('\n'), QStringLiteral("\n") + QString(22, u' ')));
    text += QStringLiteral("\nThe settings, the highscore lists and the statistics are kept in\n  %1\n"
                           "(under $XDG_CONFIG_HOME, or ~/.config when that is not set).\n")
                .arg(settingsPath);
    return text;
}

TCommandLine Failure(const QString& message) {
    TCommandLine line;
    line.Action = TCommandLine::TAction::Fail;
    line.Output = QStringLiteral("%1: %2\n%3\nTry '%1 --help' for more information.\n")
                      .arg(Program, message, UsageLine());
    return line;
}

// A value as a message repeats it: a long one is cut, so a mistake stays a line or two.
QString Echo(const QString& text) {
    constexpr int Shown = 20;
    return text.size() <= Shown ? text : text.left(Shown) + QStringLiteral("…");
}

// The numbers of every option follow one rule: plain decimal digits, leading zeros allowed, no
// sign, blanks, hex or exponent. Gives the digits without their leading zeros ("" for zero), or
// nothing when the text is not such a number.
std::optional<QString> Digits(const QString& text) {
    if (text.isEmpty()) return std::nullopt;
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
    qsizetype zeros = 0;
    while (zeros < text.size() && text[zeros] == QLatin1Char('0'))
        ++zeros;
    return text.mid(zeros);
}

// The value of a number in range, read from its digits; nothing when it is not one.
std::optional<qlonglong> NumberIn(const QString& text, qlonglong lowest, qlonglong highest) {
    const auto digits = Digits(text);
    if (!digits) return std::nullopt;
    if (digits->size() > 18) return std::nullopt; // far past any range here
    const qlonglong value = digits->isEmpty() ? 0 : digits->toLongLong();
    if (value < lowest || value > highest) return std::nullopt;
    return value;
}

} // namespace

QString UsageLine() {
    return QStringLiteral("Usage: %1 [--deal N | --solve N] [--level L] [--help] [--version]").arg(Program);
}

std::optional<std::int32_t> ParseDealOption(const QString& text, QString* error) {
    if (const auto value = NumberIn(text, MinDealNumber, MaxDealNumber))
        return static_cast<std::int32_t>(*value);
    if (error)
        *error = QStringLiteral("the deal number must be a whole number from %1 to %2, not '%3'")
                     .arg(MinDealNumber)
                     .arg(MaxDealNumber)
                     .arg(Echo(text));
    return std::nullopt;
}

std::optional<int> ParseLevelOption(const QString& text, QString* error) {
    if (const auto value = NumberIn(text, 1, LevelCount)) return static_cast<int>(*value);
    if (error)
        *error =
            QStringLiteral("the skill level must be 1 (basic), 2 (advanced), 3 (master) or 4 (champions), "
                           "not '%1'")
                .arg(Echo(text));
    return std::nullopt;
}

TCommandLine ParseCommandLine(const QStringList& arguments, const QString& settingsPath) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    for (const TOptionText& o : Options) {
        QCommandLineOption option(o.names, QLatin1String(o.help));
        if (o.valueName) option.setValueName(QLatin1String(o.valueName));
        parser.addOption(option);
    }
    if (!parser.parse(arguments)) {
        // The parser's message quotes the unknown option whole.
        const QString message = parser.errorText();
        return Failure(message.size() <= 80 ? message : message.left(80) + QStringLiteral("…"));
    }
    if (!parser.positionalArguments().isEmpty())
        return Failure(
            QStringLiteral("unexpected argument '%1'").arg(Echo(parser.positionalArguments().first())));
    // An option with a value given twice would leave one of the two unused without a word.
    for (const TOptionText& o : Options)
        if (o.valueName && parser.values(o.names.first()).size() > 1)
            return Failure(QStringLiteral("--%1 may be given only once").arg(o.names.first()));

    TCommandLine line;
    if (parser.isSet(QStringLiteral("help"))) {
        line.Action = TCommandLine::TAction::Print;
        line.Output = HelpText(settingsPath);
        return line;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        line.Action = TCommandLine::TAction::Print;
        line.Output = QStringLiteral("%1 %2\n").arg(Program, QLatin1String(ZELVANO_VERSION));
        return line;
    }
    QString error;
    const bool solve = parser.isSet(QStringLiteral("solve"));
    if (solve && parser.isSet(QStringLiteral("deal")))
        return Failure(QStringLiteral("--solve and --deal cannot be given together; --solve names the deal"));
    if (solve) {
        const auto deal = ParseDealOption(parser.value(QStringLiteral("solve")), &error);
        if (!deal) return Failure(error);
        line.Action = TCommandLine::TAction::Solve;
        line.Start.Deal = *deal;
        line.Start.Level = 1; // unless --level says otherwise
    }
    if (parser.isSet(QStringLiteral("deal"))) {
        const auto deal = ParseDealOption(parser.value(QStringLiteral("deal")), &error);
        if (!deal) return Failure(error);
        line.Start.Deal = *deal;
    }
    if (parser.isSet(QStringLiteral("level"))) {
        const auto level = ParseLevelOption(parser.value(QStringLiteral("level")), &error);
        if (!level) return Failure(error);
        line.Start.Level = *level;
    }
    return line;
}

QString SolveText(std::int32_t deal, int level) {
    GameData dealt;
    SetLevel(dealt, level);
    StartDeal(dealt, DealByNumber(deal));
    EvaluatePatterns(dealt); // the dealt row may be claimed before the first drop
    return QString::fromStdString(SolutionText(deal, dealt, Solve(dealt)));
}

int ReportCommandLine(const TCommandLine& line) {
    switch (line.Action) {
    case TCommandLine::TAction::Solve: {
        const QString text = SolveText(line.Start.Deal, line.Start.Level);
        std::fputs(text.toLocal8Bit().constData(), stdout);
        std::fflush(stdout);
        return 0;
    }
    case TCommandLine::TAction::Play:
        return 0;
    case TCommandLine::TAction::Print:
        std::fputs(line.Output.toLocal8Bit().constData(), stdout);
        std::fflush(stdout);
        return 0;
    case TCommandLine::TAction::Fail:
        std::fputs(line.Output.toLocal8Bit().constData(), stderr);
        return CommandLineErrorStatus;
    }
    return 0;
}
