#pragma once
// The command line: what a player may ask for when starting the game, and the help, version
// and error texts. It is read before any window (or display) exists, so --help, --version and
// a mistake answer on the terminal alone.
//
// A new option: add it to the table in CommandLine.cpp, read it in ParseCommandLine (with
// the value checks below), list it in UsageLine and in the manual page.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

// How the first game starts; 0 means "as usual" (a random deal, the stored level). For --solve:
// the deal to solve and its level.
struct TStartOptions {
    std::int32_t Deal = 0;
    int Level = 0;
};

struct TCommandLine {
    enum class TAction {
        Play,  // start the game with Start
        Print, // print Output on stdout, exit with status 0 (help, version)
        Fail,  // print Output on stderr, exit with status 2 (a mistake on the command line)
        Solve, // search deal Start.Deal at Start.Level, print the answer, exit with status 0
    };
    TAction Action = TAction::Play;
    QString Output;
    TStartOptions Start;
};

inline constexpr int CommandLineErrorStatus = 2;

// arguments: the program's own name first, as in argv. settingsPath: named in the help.
TCommandLine ParseCommandLine(const QStringList& arguments, const QString& settingsPath);

// The value checks, each with the player's message for a bad value.
std::optional<std::int32_t> ParseDealOption(const QString& text, QString* error);
std::optional<int> ParseLevelOption(const QString& text, QString* error);

// "Usage: zelvano [--deal N] [--level L]" and the like.
QString UsageLine();

// The solver's answer for a numbered deal at a level (1..4), as --solve prints it.
QString SolveText(std::int32_t deal, int level);

// Prints Output where Action says (for Solve, the solver's answer) and gives the exit status;
// for Play it does nothing and gives 0.
int ReportCommandLine(const TCommandLine& line);
