#pragma once
// Placeholder of the yes/no question window until its own look lands.
#include <QDialog>

class TImageList;

class TYesNoDialog : public QDialog {
    Q_OBJECT
public:
    TYesNoDialog(QWidget* mainform, const TImageList& bitmaps);
    // Shows question kind (1 exit, 2 give up) modally; the answer is ModalResult() afterwards.
    int ShowModal(int kind);
    int ModalResult() const { return m_result; }

private:
    int m_result = 0;
};
