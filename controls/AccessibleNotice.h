#pragma once
// One sentence for a screen reader, spoken without moving its focus: what just happened. Qt 6.4
// has no event for this (QAccessibleAnnouncementEvent comes with Qt 6.8, and Say() becomes that
// one event then). Until then the sentence is the name of a notification, shown anew for each
// sentence: Orca reads a notification out whenever it is shown, wherever the focus is. A name
// change alone is read only on the focused object, and Qt's bridge sends it in a form Orca
// cannot speak.
//
// The notice is an empty hidden widget of no size: nothing of it is seen, nothing can be clicked.

#include <QWidget>

class TNotice : public QWidget {
    Q_OBJECT
public:
    explicit TNotice(QWidget* parent);

    void Say(const QString& text);
    // The last sentence said.
    QString Last() const { return m_last; }

private:
    QString m_last;
};
