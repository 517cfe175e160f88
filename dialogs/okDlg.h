#pragma once
// Placeholder of the notice window until its own look lands.
#include <QDialog>

class TImageList;

class TOKDialog : public QDialog {
    Q_OBJECT
public:
    TOKDialog(QWidget* mainform, const TImageList& bitmaps);
    // Shows notice kind (1 joker rule, 2 won, 3 lost) modally.
    int ShowModal(int kind);
};
