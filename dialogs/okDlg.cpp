#include "dialogs/okDlg.h"

#include <QHBoxLayout>
#include <QPushButton>

TOKDialog::TOKDialog(QWidget* mainform, const TImageList&) : QDialog(mainform) {
    auto* layout = new QHBoxLayout(this);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    layout->addWidget(ok);
    connect(ok, &QPushButton::clicked, this, [this] { done(2); });
}

int TOKDialog::ShowModal(int) { return exec(); }
