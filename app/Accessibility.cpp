#include "app/Accessibility.h"

#include "app/Keys.h"
#include "app/PatternShape.h"
#include "app/main.h"
#include "board/PaintBox.h"
#include "controls/Accessible.h"
#include "controls/jetButton.h"
#include "settings/Language.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QLabel>
#include <QPointer>
#include <QWindow>

#include <vector>

namespace {

QString Say(const char* german, const char* english) { return QString::fromUtf8(IsGerman() ? german : english); }

TMainform* FormOf(QWidget* w) {
    for (QWidget* p = w; p; p = p->parentWidget())
        if (auto* f = qobject_cast<TMainform*>(p)) return f;
    return nullptr;
}

// ---- the board's own children, which are drawn, not widgets ------------------------------

enum class TPart { Score, Row, Stack, Status };

class TBoardAccessible;

class TBoardPartAccessible : public QAccessibleInterface, public QAccessibleValueInterface {
public:
    TBoardPartAccessible(TPaintBox* box, TPart part, int index) : m_box(box), m_part(part), m_index(index) {}

    bool isValid() const override { return m_box && FormOf(m_box); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_box ? m_box->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_box.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QAccessible::Role role() const override {
        switch (m_part) {
        case TPart::Score: return QAccessible::StaticText;
        case TPart::Status: return QAccessible::StatusBar;
        default: return QAccessible::Graphic;
        }
    }

    QString text(QAccessible::Text t) const override {
        TMainform* f = FormOf(m_box);
        if (!f) return QString();
        switch (m_part) {
        case TPart::Score:
            if (t == QAccessible::Name) return f->ScoreLabel->text();
            if (t == QAccessible::Value) return QString::number(f->Score);
            break;
        case TPart::Row:
            if (t == QAccessible::Name) return CardName(f->Row[m_index]);
            if (t == QAccessible::Description) return RowPlaceName(m_index);
            break;
        case TPart::Stack:
            if (t == QAccessible::Name)
                return f->StackCount[m_index] > 0 ? CardName(f->TopCard(m_index)) : Say("leer", "empty");
            if (t == QAccessible::Description) return StackPlaceName(m_index, f->StackCount[m_index]);
            break;
        case TPart::Status:
            if (t == QAccessible::Name) return f->Keys ? f->Keys->Announcer.Last() : QString();
            break;
        }
        return QString();
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        TMainform* f = FormOf(m_box);
        if (!f) return QRect();
        QRect r;
        switch (m_part) {
        case TPart::Score: r = f->Board.Layout.ScoreField(); break;
        case TPart::Row: r = f->Board.Layout.RowRect(m_index); break;
        case TPart::Stack: r = f->Board.Layout.StackArea(m_index); break;
        case TPart::Status: r = QRect(0, 0, 1, 1); break;
        }
        return QRect(m_box->mapToGlobal(r.topLeft()), r.size());
    }

    QAccessible::State state() const override {
        QAccessible::State s;
        TMainform* f = FormOf(m_box);
        if (!f) return s;
        // The board is hidden while the game pauses.
        if (f->GameState == gsPaused && m_part != TPart::Status) s.invisible = true;
        if (m_part == TPart::Row || m_part == TPart::Stack) {
            s.focusable = true;
            const TFocusGroup g = m_part == TPart::Row ? TFocusGroup::Row : TFocusGroup::Stacks;
            s.focused = f->Keys && f->Keys->MarkShown() && f->Keys->Group() == g && f->Keys->Index() == m_index;
        }
        if (m_part == TPart::Status) s.readOnly = true;
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ValueInterface && m_part == TPart::Score) return static_cast<QAccessibleValueInterface*>(this);
        return nullptr;
    }

    // The score as a number.
    QVariant currentValue() const override {
        TMainform* f = FormOf(m_box);
        return f ? QVariant(int(f->Score)) : QVariant();
    }
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return 99999; }
    QVariant minimumValue() const override { return -9999; }
    QVariant minimumStepSize() const override { return 1; }

private:
    QPointer<TPaintBox> m_box;
    TPart m_part;
    int m_index;
};

// Children in this order: the score, row positions 1..4, stacks 1..5, the status line.
constexpr int ScoreChild = 0;
constexpr int FirstRowChild = 1;
constexpr int FirstStackChild = FirstRowChild + RowSize;
constexpr int StatusChild = FirstStackChild + StackTotal;
constexpr int PartCount = StatusChild + 1;

class TBoardAccessible : public QAccessibleWidget {
public:
    explicit TBoardAccessible(TPaintBox* box) : QAccessibleWidget(box, QAccessible::Pane) {
        auto add = [&](TPart part, int index) {
            auto* iface = new TBoardPartAccessible(box, part, index);
            m_ids.push_back(QAccessible::registerAccessibleInterface(iface));
        };
        add(TPart::Score, 0);
        for (int j = 0; j < RowSize; ++j) add(TPart::Row, j);
        for (int s = 0; s < StackTotal; ++s) add(TPart::Stack, s);
        add(TPart::Status, 0);
    }
    ~TBoardAccessible() override {
        for (QAccessible::Id id : m_ids) QAccessible::deleteAccessibleInterface(id);
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return Say("Spielfeld", "Board");
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return PartCount; }
    QAccessibleInterface* child(int index) const override {
        return index >= 0 && index < PartCount ? QAccessible::accessibleInterface(m_ids[size_t(index)]) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (int i = 0; i < PartCount; ++i)
            if (QAccessible::accessibleInterface(m_ids[size_t(i)]) == child) return i;
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        for (int i = 0; i < PartCount; ++i) {
            QAccessibleInterface* c = child(i);
            if (c && c->rect().contains(x, y)) return c;
        }
        return nullptr;
    }

private:
    std::vector<QAccessible::Id> m_ids;
};

class TPatternAccessible : public QAccessibleWidget {
public:
    explicit TPatternAccessible(TPatternShape* shape) : QAccessibleWidget(shape, QAccessible::Button) {}

    TPatternShape* Shape() const { return static_cast<TPatternShape*>(widget()); }
    bool InPlay(const TMainform* f) const { return f && Shape()->Position() <= f->PatternCount; }

    QString text(QAccessible::Text t) const override {
        TMainform* f = FormOf(widget());
        if (!InPlay(f)) return QAccessibleWidget::text(t);
        switch (t) {
        case QAccessible::Name:
            return QString::fromUtf8(PatternName(f->PatternIds[Shape()->Position()], Language));
        case QAccessible::Description:
        case QAccessible::Value:
            return PatternStateText(*f, Shape()->Position());
        default:
            return QAccessibleWidget::text(t);
        }
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        TMainform* f = FormOf(widget());
        if (!InPlay(f) || f->GameState == gsPaused) {
            s.invisible = true;
            return s;
        }
        const TPatternState st = f->PatternState[Shape()->Position()];
        s.checkable = true;
        s.checked = st == TPatternState::Claimed;
        s.disabled = !IsOffered(st);
        s.focusable = true;
        s.focused = f->Keys && f->Keys->MarkShown() && f->Keys->Group() == TFocusGroup::Patterns &&
                    f->Keys->Index() + 1 == Shape()->Position();
        return s;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        TMainform* f = FormOf(widget());
        if (name == pressAction() && InPlay(f)) f->PatShapeMouseDown(Shape()->Position());
    }
};

QAccessibleInterface* GameFactory(const QString& className, QObject* object) {
    if (!object || !object->isWidgetType()) return nullptr;
    if (className == QLatin1String("TPaintBox")) return new TBoardAccessible(static_cast<TPaintBox*>(object));
    if (className == QLatin1String("TPatternShape")) return new TPatternAccessible(static_cast<TPatternShape*>(object));
    return ControlsAccessibleFactory(className, object);
}

void Emit(QAccessibleInterface* iface, QAccessible::Event type) {
    if (!iface || !QAccessible::isActive()) return; // nobody is listening
    QAccessibleEvent e(iface, type);
    QAccessible::updateAccessibility(&e);
}

QAccessibleInterface* BoardChild(TMainform& form, int index) {
    QAccessibleInterface* board = QAccessible::queryAccessibleInterface(form.box);
    return board ? board->child(index) : nullptr;
}

} // namespace

void InstallAccessibility() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(GameFactory);
}

QString CardName(CardCode card) {
    if (IsJoker(card)) return Say("Joker", "joker");
    static const char* const German[ColourCount] = {"rot", "grün", "blau", "violett"};
    static const char* const English[ColourCount] = {"red", "green", "blue", "violet"};
    const int c = ColourIndex(card);
    if (c < 0 || c >= ColourCount) return QString();
    return QString::fromUtf8(IsGerman() ? German[c] : English[c]) + QLatin1Char(' ') +
           QString::number(ValueField(card) + 1);
}

QString RowPlaceName(int position) {
    return Say("Reihenplatz ", "row position ") + QString::number(position + 1);
}

QString StackPlaceName(int stack, int cards) {
    const QString place = Say("Stapel ", "stack ") + QString::number(stack + 1) + QStringLiteral(", ");
    if (cards == 1) return place + Say("1 Karte", "1 card");
    return place + QString::number(cards) + Say(" Karten", " cards");
}

QString PatternStateText(const TMainform& form, int position) {
    const TPatternState st = form.PatternState[position];
    const QString points = QString::number(ClaimValue(form, position)) + Say(" Punkte", " points");
    switch (st) {
    case TPatternState::Offered: return Say("angeboten, ", "offered, ") + points;
    case TPatternState::OfferedBonus: return Say("mit Farbbonus angeboten, ", "offered with colour bonus, ") + points;
    case TPatternState::Claimed: return Say("genommen", "claimed");
    case TPatternState::Open: break;
    }
    return Say("offen", "open");
}

void ApplyAccessibleNames(const TKeyboard& keys) {
    static const char* const Names[8][2] = {
        {"Neues Spiel", "New game"}, {"Aufgeben", "Give up"},     {"Pause", "Pause"}, {"Bestenliste", "Highscores"},
        {"Einstellungen", "Options"}, {"Info", "Info"},          {"Hilfe", "Help"},  {"Beenden", "Exit"},
    };
    for (int i = 0; i < 8; ++i)
        keys.ToolbarButton(i)->setAccessibleName(QString::fromUtf8(Names[i][IsGerman() ? 0 : 1]));
}

void AnnounceKeyboardFocus(TMainform& form, const TKeyboard& keys) {
    const int i = keys.Index();
    switch (keys.Group()) {
    case TFocusGroup::Stacks: Emit(BoardChild(form, FirstStackChild + i), QAccessible::Focus); break;
    case TFocusGroup::Row: Emit(BoardChild(form, FirstRowChild + i), QAccessible::Focus); break;
    case TFocusGroup::Patterns:
        Emit(QAccessible::queryAccessibleInterface(form.PatternShapes[size_t(i + 1)]), QAccessible::Focus);
        break;
    case TFocusGroup::Toolbar:
        Emit(QAccessible::queryAccessibleInterface(keys.ToolbarButton(i)), QAccessible::Focus);
        break;
    }
}

// ---- announcements ------------------------------------------------------------------------

TAnnouncer::TSnapshot TAnnouncer::Take(const TMainform& f) const {
    TSnapshot s;
    s.valid = true;
    s.row = f.Row;
    s.stackCount = f.StackCount;
    for (int i = 1; i <= f.PatternCount; ++i) {
        s.state[size_t(i)] = static_cast<int>(f.PatternState[i]);
        s.points[size_t(i)] = IsOffered(f.PatternState[i]) ? ClaimValue(f, i) : 0;
    }
    s.gameState = f.GameState;
    s.score = f.Score;
    s.level = f.Level;
    return s;
}

void TAnnouncer::Changed(TMainform& form) {
    const TSnapshot now = Take(form);
    const TSnapshot was = m_was;
    m_was = now;
    if (!was.valid) return;

    if (now.score != was.score && QAccessible::isActive()) {
        if (QAccessibleInterface* score = BoardChild(form, ScoreChild)) {
            QAccessibleValueChangeEvent e(score, now.score);
            QAccessible::updateAccessibility(&e);
        }
    }
    QStringList said;
    bool newDeal = now.level != was.level;
    for (int s = 0; s < StackTotal; ++s)
        if (now.stackCount[size_t(s)] > was.stackCount[size_t(s)]) newDeal = true;
    if (newDeal) {
        said << Say("Neues Spiel", "New game");
    } else {
        for (int j = 0; j < RowSize; ++j) {
            if (now.row[size_t(j)] == was.row[size_t(j)]) continue;
            said << CardName(now.row[size_t(j)]) + Say(" auf ", " on ") + RowPlaceName(j);
            Emit(BoardChild(form, FirstRowChild + j), QAccessible::NameChanged);
        }
    }
    for (int s = 0; s < StackTotal; ++s)
        if (now.stackCount[size_t(s)] != was.stackCount[size_t(s)]) {
            Emit(BoardChild(form, FirstStackChild + s), QAccessible::NameChanged);
            Emit(BoardChild(form, FirstStackChild + s), QAccessible::DescriptionChanged);
        }
    if (!newDeal) {
        for (int i = 1; i <= form.PatternCount; ++i) {
            const auto st = static_cast<TPatternState>(now.state[size_t(i)]);
            const auto before = static_cast<TPatternState>(was.state[size_t(i)]);
            const QString name = QString::fromUtf8(PatternName(form.PatternIds[i], Language));
            if (st == TPatternState::Claimed && before != st)
                said << Say("Genommen: ", "Claimed: ") + name + QStringLiteral(", ") +
                            QString::number(was.points[size_t(i)]) + Say(" Punkte", " points");
            else if (IsOffered(st) && !IsOffered(before))
                said << Say("Angeboten: ", "Offered: ") + name + QStringLiteral(", ") + PatternStateText(form, i);
            if (st != before)
                Emit(QAccessible::queryAccessibleInterface(form.PatternShapes[size_t(i)]), QAccessible::DescriptionChanged);
        }
    }
    if (now.gameState != was.gameState) {
        if (now.gameState == gsWon) said << Say("Gewonnen", "Won");
        if (now.gameState == gsLost && was.gameState == gsRunning) said << Say("Verloren", "Lost");
        if (now.gameState == gsPaused) said << Say("Pause", "Paused");
        if (was.gameState == gsPaused && now.gameState == gsRunning) said << Say("Weiter", "Resumed");
    }
    if (said.isEmpty()) return;
    Tell(form, said.join(QStringLiteral(". ")));
}

void TAnnouncer::Tell(TMainform& form, const QString& text) {
    m_last = text;
    QAccessibleInterface* status = BoardChild(form, StatusChild);
    Emit(status, QAccessible::NameChanged);
    Emit(status, QAccessible::Alert);
}
