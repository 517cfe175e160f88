#include "dialogs/StoreMessageBox.h"

#include "settings/ini.h"

#include <QApplication>
#include <QMessageBox>

void ShowStoreMessage(const QString& message) {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app || QGuiApplication::platformName() == QLatin1String("offscreen")) return;
    QMessageBox::warning(QApplication::activeWindow(), QStringLiteral("Zelvano"), message);
}

void InstallStoreMessageBox() {
    TIniStore::MessageWindow = &ShowStoreMessage;
}
