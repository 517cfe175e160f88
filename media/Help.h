#pragma once
// The game's help: our own window over the HTML help file in the game's data folder.

#include <QString>

class QTextBrowser;
class QWidget;

class THelp {
public:
    explicit THelp(QWidget* owner);
    ~THelp();
    THelp(const THelp&) = delete;
    THelp& operator=(const THelp&) = delete;

    void SetHelpFile(const QString& path);
    QString HelpFile() const;
    // Closes the help window if this game opened one.
    void Quit();
    // Opens the help window on the help file, scrolled to the topic's anchor
    // ("Das_Spiel" or "The_game"). A missing file shows a clear message in the window.
    void ShowTopic(const QString& topic);
    bool IsOpen() const;
    // The open help window, or null.
    QTextBrowser* Browser() const;

private:
    struct Impl;
    Impl* m_impl;
};
