#pragma once
// Placeholder of the options and info dialog until its own look lands.
#include <QDialog>

class TImageList;
class TOptionsHost;

class TqxMultiDlg : public QDialog {
    Q_OBJECT
public:
    TqxMultiDlg(QWidget* mainform, TOptionsHost& host, const TImageList& bitmaps);
    // Request 2 info page, 3 options page, 6 language page; any other keeps the last page.
    void ShowPage(int request);

    int Page = 7;        // 6 info, 7 options, 10 language
    int DialogLevel = 1; // the skill level shown on the options page
};
