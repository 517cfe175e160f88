#include "settings/qxmulti.h"

#include <QHBoxLayout>
#include <QPushButton>

TqxMultiDlg::TqxMultiDlg(QWidget* mainform, TOptionsHost&, const TImageList&) : QDialog(mainform) {
    auto* layout = new QHBoxLayout(this);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    layout->addWidget(ok);
    connect(ok, &QPushButton::clicked, this, [this] { done(1); });
}

void TqxMultiDlg::ShowPage(int request) {
    if (request == 2) Page = 6;
    else if (request == 3) Page = 7;
    else if (request == 6) Page = 10;
    exec();
}
