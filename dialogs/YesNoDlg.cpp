#include "dialogs/YesNoDlg.h"

#include <QHBoxLayout>
#include <QPushButton>

TYesNoDialog::TYesNoDialog(QWidget* mainform, const TImageList&) : QDialog(mainform) {
    auto* layout = new QHBoxLayout(this);
    auto* yes = new QPushButton(QStringLiteral("Yes"), this);
    auto* no = new QPushButton(QStringLiteral("No"), this);
    layout->addWidget(yes);
    layout->addWidget(no);
    connect(yes, &QPushButton::clicked, this, [this] { done(6); });
    connect(no, &QPushButton::clicked, this, [this] { done(7); });
}

int TYesNoDialog::ShowModal(int) {
    m_result = exec();
    return m_result;
}
