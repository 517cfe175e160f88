#include "controls/Accessible.h"

#include "controls/AccessibleNotice.h"
#include "controls/Decor.h"
#include "controls/jetButton.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QWidget>

#include <map>
#include <memory>

namespace {

TKeyboardMarkQuery KeyboardMarkOn = nullptr;

// What DescribeTable and DescribeList were told, by the widgets they describe.
struct TDescribed {
    std::shared_ptr<TLabelTable> table; // the table the widget is, or is a part of
    enum class Kind { Table, List, ListRow, ColumnHead, RowHead, Cell } kind = Kind::Table;
    int row = 0, column = 0;
};
std::map<const QObject*, TDescribed>& Described() {
    static std::map<const QObject*, TDescribed> described;
    return described;
}
void Describe(QWidget* w, TDescribed d) {
    const bool known = Described().count(w) > 0;
    Described()[w] = std::move(d);
    if (!known) QObject::connect(w, &QObject::destroyed, [w] { Described().erase(w); });
}
const TDescribed* DescriptionOf(const QObject* o) {
    const auto it = Described().find(o);
    return it == Described().end() ? nullptr : &it->second;
}

QString LabelText(const QWidget* w) {
    if (const auto* label = qobject_cast<const TDecorLabel*>(w)) return label->Text().trimmed();
    return w->accessibleName();
}

class TTableAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    TTableAccessible(QWidget* panel, std::shared_ptr<TLabelTable> table)
        : QAccessibleWidget(panel, QAccessible::Table), m_table(std::move(table)) {}

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override {
        if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) return nullptr;
        return QAccessible::queryAccessibleInterface(m_table->Cells[size_t(row)][size_t(column)]);
    }
    int selectedCellCount() const override { return 0; }
    QList<QAccessibleInterface*> selectedCells() const override { return {}; }
    QString columnDescription(int column) const override {
        return column >= 0 && column < columnCount() ? LabelText(m_table->ColumnHeads[size_t(column)]) : QString();
    }
    QString rowDescription(int row) const override {
        return row >= 0 && row < rowCount() ? LabelText(m_table->RowHeads[size_t(row)]) : QString();
    }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override { return int(m_table->ColumnHeads.size()); }
    int rowCount() const override { return int(m_table->Cells.size()); }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

private:
    std::shared_ptr<TLabelTable> m_table;
};

// A figure of a table: named by its text, placed by its row and column under their headings.
class TCellAccessible : public QAccessibleWidget, public QAccessibleTableCellInterface {
public:
    TCellAccessible(QWidget* cell, const TDescribed& d)
        : QAccessibleWidget(cell, QAccessible::Cell), m_table(d.table), m_row(d.row), m_column(d.column) {}

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TableCellInterface) return static_cast<QAccessibleTableCellInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return LabelText(widget());
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.focusable = true; // by the arrow keys
        s.readOnly = true;
        return s;
    }
    bool isSelected() const override { return false; }
    QList<QAccessibleInterface*> columnHeaderCells() const override {
        return {QAccessible::queryAccessibleInterface(m_table->ColumnHeads[size_t(m_column)])};
    }
    QList<QAccessibleInterface*> rowHeaderCells() const override {
        return {QAccessible::queryAccessibleInterface(m_table->RowHeads[size_t(m_row)])};
    }
    int columnIndex() const override { return m_column; }
    int rowIndex() const override { return m_row; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return QAccessible::queryAccessibleInterface(m_table->Panel); }

private:
    std::shared_ptr<TLabelTable> m_table;
    int m_row, m_column;
};

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
        if (KeyboardMarkOn && KeyboardMarkOn(Button())) s.focusable = s.focused = true;
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

QAccessible::Role DecorLabelRole(const TDecorLabel* label) {
    if (const TDescribed* d = DescriptionOf(label)) {
        if (d->kind == TDescribed::Kind::ColumnHead) return QAccessible::ColumnHeader;
        if (d->kind == TDescribed::Kind::RowHead) return QAccessible::RowHeader;
    }
    if (IsRowLabel(label, "num")) return QAccessible::ListItem;
    // A label that Tab reaches does something when pressed: a button that looks like a link.
    if (label->focusPolicy() & Qt::TabFocus) return QAccessible::Button;
    return QAccessible::StaticText;
}

class TDecorLabelAccessible : public QAccessibleWidget {
public:
    explicit TDecorLabelAccessible(TDecorLabel* label) : QAccessibleWidget(label, DecorLabelRole(label)) {}

    QStringList actionNames() const override {
        return role() == QAccessible::Button ? QStringList{pressAction()} : QStringList{};
    }
    void doAction(const QString& name) override {
        if (name == pressAction() && role() == QAccessible::Button) emit static_cast<TDecorLabel*>(widget())->Clicked();
    }

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
        if (const TDescribed* d = DescriptionOf(widget()); d && d->kind == TDescribed::Kind::ListRow) {
            s.focusable = true; // by the arrow keys
            s.readOnly = true;
        }
        return s;
    }
};

// A picture that Tab reaches is pressed to change something: a button. Any other is a picture.
class TPictureAccessible : public QAccessibleWidget {
public:
    explicit TPictureAccessible(TPictureControl* picture)
        : QAccessibleWidget(picture, picture->focusPolicy() & Qt::TabFocus ? QAccessible::Button : QAccessible::Graphic) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return widget()->accessibleName().isEmpty() ? widget()->toolTip() : widget()->accessibleName();
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override {
        return role() == QAccessible::Button ? QStringList{pressAction()} : QStringList{};
    }

    void doAction(const QString& name) override {
        if (name == pressAction() && role() == QAccessible::Button) emit static_cast<TPictureControl*>(widget())->Clicked();
    }
};

// The notice says its last sentence as its name.
class TNoticeAccessible : public QAccessibleWidget {
public:
    explicit TNoticeAccessible(TNotice* notice) : QAccessibleWidget(notice, QAccessible::Notification) {}
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? static_cast<TNotice*>(widget())->Last() : QString();
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        return s;
    }
};

} // namespace

void SetKeyboardMarkQuery(TKeyboardMarkQuery query) { KeyboardMarkOn = query; }

void DescribeTable(const TLabelTable& table) {
    auto shared = std::make_shared<TLabelTable>(table);
    Describe(table.Panel, {shared, TDescribed::Kind::Table});
    for (QWidget* head : table.ColumnHeads) Describe(head, {shared, TDescribed::Kind::ColumnHead});
    for (QWidget* head : table.RowHeads) Describe(head, {shared, TDescribed::Kind::RowHead});
    for (size_t r = 0; r < table.Cells.size(); ++r)
        for (size_t c = 0; c < table.Cells[r].size(); ++c)
            Describe(table.Cells[r][c], {shared, TDescribed::Kind::Cell, int(r), int(c)});
}

void DescribeList(QWidget* panel, const std::vector<QWidget*>& rows) {
    Describe(panel, {nullptr, TDescribed::Kind::List});
    for (QWidget* row : rows) Describe(row, {nullptr, TDescribed::Kind::ListRow});
}

QAccessibleInterface* ControlsAccessibleFactory(const QString& className, QObject* object) {
    if (!object || !object->isWidgetType()) return nullptr;
    if (const TDescribed* d = DescriptionOf(object)) {
        auto* w = static_cast<QWidget*>(object);
        switch (d->kind) {
        case TDescribed::Kind::Table: return new TTableAccessible(w, d->table);
        case TDescribed::Kind::Cell: return new TCellAccessible(w, *d);
        case TDescribed::Kind::List: return new QAccessibleWidget(w, QAccessible::List);
        default: break; // the headings and rows are labels, below
        }
    }
    if (className == QLatin1String("TNotice")) return new TNoticeAccessible(static_cast<TNotice*>(object));
    if (className == QLatin1String("TJetButton")) return new TJetButtonAccessible(static_cast<TJetButton*>(object));
    if (className == QLatin1String("TDecorLabel"))
        return new TDecorLabelAccessible(static_cast<TDecorLabel*>(object));
    if (className == QLatin1String("TPictureControl"))
        return new TPictureAccessible(static_cast<TPictureControl*>(object));
    return nullptr;
}
