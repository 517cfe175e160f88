#pragma once
// The texts of the highscore list, the statistics, the yes/no question's buttons and the help
// window, in the current language.

#include <QString>

enum class THighscoreText {
    Title,
    RemoveAll, // the check box that empties the list
    YourName,  // what a screen reader calls the name edit
    PutInList, // the OK button's hint
    Cancel,
    Statistics, // the statistics button's hint
};
QString HighscoreText(THighscoreText which);

enum class TStatisticsText {
    Title,
    Name,     // what a screen reader calls the table
    LastDeal, // "%1" stands for the deal number
    NoGameYet,
    Reset,
    ResetHint,
    Back, // the OK button's hint
};
QString StatisticsText(TStatisticsText which);
// The name of a row of the statistics table (0 played .. 10 played with hints); a null
// string for any other row.
QString StatisticsRowName(int row);

enum class TQuestionText { Yes, No };
QString QuestionText(TQuestionText which);

enum class THelpText {
    Title,
    Missing, // a page in HTML; "%1" stands for the help file's path
};
QString HelpText(THelpText which);
