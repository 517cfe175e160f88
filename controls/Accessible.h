#pragma once
// What a screen reader learns about the game's own controls: the bitmap buttons are push
// buttons named by what they do (their accessible name, or else their hint), described by
// their hint and disabled when switched off; the decorative labels are static text; the
// options page's pictures are push buttons named by their hints.

#include <QString>

#include <vector>

class QAccessibleInterface;
class QObject;
class QWidget;

// Whether a bitmap button holds the keyboard's focus. The main window's buttons never take
// Qt's focus: the game's own keyboard mark stands for it, and the game answers this.
using TKeyboardMarkQuery = bool (*)(const QWidget* button);
void SetKeyboardMarkQuery(TKeyboardMarkQuery query);

// The factory for QAccessible::installFactory; nullptr for classes it does not know.
QAccessibleInterface* ControlsAccessibleFactory(const QString& className, QObject* object);

// Labels laid out as a table, for a screen reader to read by row and column: the panel is a
// table, each cell names its row's and its column's headings. Lives as long as the panel.
struct TLabelTable {
    QWidget* Panel = nullptr;
    std::vector<QWidget*> ColumnHeads; // one per column
    std::vector<QWidget*> RowHeads;    // one per row
    std::vector<std::vector<QWidget*>> Cells; // [row][column]
};
void DescribeTable(const TLabelTable& table);
// A panel whose rows a screen reader reads as the items of a list, each row by its first label.
void DescribeList(QWidget* panel, const std::vector<QWidget*>& rows);
