#include "controls/Accessible.h"

#include "controls/Decor.h"
#include "controls/jetButton.h"

#include <QAccessibleWidget>
#include <QWidget>

namespace {

class TJetButtonAccessible : public QAccessibleWidget {
public:
    explicit TJetButtonAccessible(TJetButton* button) : QAccessibleWidget(button, QAccessible::Button) {}

    TJetButton* Button() const { return static_cast<TJetButton*>(widget()); }

    QString text(QAccessible::Text t) const override {
        switch (t) {
        case QAccessible::Name:
            return Button()->accessibleName().isEmpty() ? Button()->Hint() : Button()->accessibleName();
        case QAccessible::Description:
            return Button()->Hint();
        default:
            return QAccessibleWidget::text(t);
        }
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        // The widget stays enabled for the hover; the button's own flag is the truth.
        s.disabled = !Button()->Enabled();
        s.pressed = Button()->ButtonState() == TJetButton::StateDown;
        return s;
    }

    QStringList actionNames() const override { return {pressAction()}; }

    void doAction(const QString& name) override {
        if (name != pressAction()) return;
        // As a press and release of the mouse over the button: some commands act on the press.
        TJetButton* b = Button();
        emit b->OnMouseDown(Qt::LeftButton, b->rect().center());
        if (b->Enabled()) emit b->OnClick();
    }
};

// A highscore row is three labels, "num", "pla" and "sco" with the row number: the first one
// speaks for the whole row, the other two keep quiet so the row is not read three times.
QString RowPart(const QWidget* label, const char* kind) {
    const QString row = label->objectName().mid(3);
    const auto* part = label->parentWidget()
                           ? label->parentWidget()->findChild<TDecorLabel*>(QLatin1String(kind) + row,
                                                                            Qt::FindDirectChildrenOnly)
                           : nullptr;
    return part ? part->Text() : QString();
}

bool IsRowLabel(const QWidget* label, const char* kind) {
    const QString n = label->objectName();
    return n.size() > 3 && n.startsWith(QLatin1String(kind)) && n.mid(3).toInt() >= 0 &&
           n.at(3).isDigit();
}

class TDecorLabelAccessible : public QAccessibleWidget {
public:
    explicit TDecorLabelAccessible(TDecorLabel* label)
        : QAccessibleWidget(label, IsRowLabel(label, "num") ? QAccessible::ListItem : QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name) return QAccessibleWidget::text(t);
        const QString own = static_cast<TDecorLabel*>(widget())->Text().trimmed();
        if (IsRowLabel(widget(), "num"))
            return own + QLatin1Char(' ') + RowPart(widget(), "pla") + QStringLiteral(", ") + RowPart(widget(), "sco");
        return own;
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        if (IsRowLabel(widget(), "pla") || IsRowLabel(widget(), "sco")) s.invisible = true;
        return s;
    }
};

class TPictureAccessible : public QAccessibleWidget {
public:
    explicit TPictureAccessible(TPictureControl* picture) : QAccessibleWidget(picture, QAccessible::Button) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return widget()->accessibleName().isEmpty() ? widget()->toolTip() : widget()->accessibleName();
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override { return {pressAction()}; }

    void doAction(const QString& name) override {
        if (name == pressAction()) emit static_cast<TPictureControl*>(widget())->Clicked();
    }
};

} // namespace

QAccessibleInterface* ControlsAccessibleFactory(const QString& className, QObject* object) {
    if (!object || !object->isWidgetType()) return nullptr;
    if (className == QLatin1String("TJetButton")) return new TJetButtonAccessible(static_cast<TJetButton*>(object));
    if (className == QLatin1String("TDecorLabel"))
        return new TDecorLabelAccessible(static_cast<TDecorLabel*>(object));
    if (className == QLatin1String("TPictureControl"))
        return new TPictureAccessible(static_cast<TPictureControl*>(object));
    return nullptr;
}
