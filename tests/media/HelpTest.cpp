// The help window: where it opens, how the help button closes and reopens it, what it
// says when the file is missing, and whether the help's point tables tell the truth.
#include "game/Patterns.h"
#include "media/Help.h"
#include "texts/Language.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QScrollBar>
#include <QSet>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextTable>
#include <QtTest>

#include <map>

namespace {

const QString HelpFile = QStringLiteral(ZELVANO_HELP_FILE);

// The top of the line that holds the named anchor, in document pixels; -1 when absent.
int AnchorTop(QTextDocument* doc, const QString& name)
{
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (!f.charFormat().anchorNames().contains(name))
                continue;
            const QRectF box = doc->documentLayout()->blockBoundingRect(block);
            const QTextLine line = block.layout()->lineForTextPosition(f.position() - block.position());
            return qRound(box.top() + (line.isValid() ? line.y() : 0));
        }
    }
    return -1;
}

// The cell's text; a picture in it (the pattern's own) does not count.
QString CellText(QTextTable* table, int row, int column)
{
    const QTextTableCell cell = table->cellAt(row, column);
    QTextCursor c = cell.firstCursorPosition();
    c.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return c.selectedText().remove(QChar::ObjectReplacementCharacter).replace(QChar::Nbsp, ' ').trimmed();
}

// The names of the pictures in a table cell, in their order.
QStringList CellPictures(QTextTable* table, int row, int column)
{
    const QTextTableCell cell = table->cellAt(row, column);
    QStringList names;
    for (auto it = cell.begin(); !it.atEnd(); ++it) {
        const QTextBlock block = it.currentBlock();
        for (auto f = block.begin(); !f.atEnd(); ++f)
            if (f.fragment().charFormat().isImageFormat())
                names << f.fragment().charFormat().toImageFormat().name();
    }
    return names;
}

QString PatternPicture(int id) { return QString("zlvo1-pattern-%1.png").arg(id, 2, 10, QChar('0')); }

// The help's point tables (six columns), German first, English second; rows by name.
std::vector<std::map<QString, QStringList>> PointTables(QTextDocument* doc)
{
    std::vector<std::map<QString, QStringList>> tables;
    for (QTextFrame* frame : doc->rootFrame()->childFrames()) {
        auto* table = qobject_cast<QTextTable*>(frame);
        if (!table || table->columns() != 6)
            continue;
        std::map<QString, QStringList> rows;
        for (int r = 1; r < table->rows(); ++r) {
            QStringList cells;
            for (int c = 1; c < 6; ++c)
                cells << CellText(table, r, c);
            cells << CellPictures(table, r, 0); // the pattern's picture beside its name
            rows[CellText(table, r, 0)] = cells;
        }
        tables.push_back(rows);
    }
    return tables;
}

int FirstLevel(int id)
{
    for (int level = 0; level < LevelCount; ++level) {
        const LevelPatterns& l = LevelTable[level];
        for (int i = 0; i < l.Count; ++i)
            if (l.Ids[i] == id)
                return level;
    }
    return -1;
}

void VerifyAtAnchor(THelp& help, const QString& topic)
{
    QTextBrowser* browser = help.Browser();
    QVERIFY(browser);
    const int top = AnchorTop(browser->document(), topic);
    QVERIFY2(top >= 0, qPrintable("no anchor " + topic));
    QScrollBar* bar = browser->verticalScrollBar();
    QVERIFY2(bar->maximum() >= top, "the text below the anchor should fill the window");
    QVERIFY2(qAbs(bar->value() - top) <= 2,
             qPrintable(QString("scrolled to %1, anchor at %2").arg(bar->value()).arg(top)));
}

} // namespace

class HelpTest : public QObject {
    Q_OBJECT

private slots:
    void init() { Language = 0; }

    void opensAtTheTopic_data()
    {
        QTest::addColumn<QString>("topic");
        QTest::newRow("German") << "Das_Spiel";
        QTest::newRow("English") << "The_game";
    }
    void opensAtTheTopic()
    {
        QFETCH(QString, topic);
        QWidget owner;
        THelp help(&owner);
        help.SetHelpFile(HelpFile);
        help.ShowTopic(topic);
        QVERIFY(help.IsOpen());
        QVERIFY(help.Browser()->isWindow());
        VerifyAtAnchor(help, topic);
    }

    // The help button quits the open help and shows it again at the current language's topic.
    void helpButtonClosesAndReopens()
    {
        THelp help(nullptr);
        help.SetHelpFile(HelpFile);
        help.ShowTopic("Das_Spiel");
        QVERIFY(help.IsOpen());
        help.Quit();
        QVERIFY(!help.IsOpen());
        QVERIFY(!help.Browser());
        help.ShowTopic("The_game");
        QVERIFY(help.IsOpen());
        VerifyAtAnchor(help, "The_game");

        // The player closes the window: it goes away, and quitting afterwards is harmless.
        help.Browser()->close();
        QVERIFY(!help.IsOpen());
        QTRY_VERIFY(!help.Browser());
        help.Quit();
    }

    // No keyboard trap: Escape and Ctrl+W close the window, wherever its focus is.
    void keysClose_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Escape") << int(Qt::Key_Escape) << int(Qt::NoModifier);
        QTest::newRow("Ctrl+W") << int(Qt::Key_W) << int(Qt::ControlModifier);
    }
    void keysClose()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        THelp help(nullptr);
        help.SetHelpFile(HelpFile);
        help.ShowTopic("The_game");
        QVERIFY(QTest::qWaitForWindowActive(help.Browser()));
        help.Browser()->setFocus();
        QTest::keyClick(help.Browser()->focusWidget() ? help.Browser()->focusWidget() : help.Browser(), Qt::Key(key),
                        Qt::KeyboardModifiers(modifiers));
        QVERIFY(!help.IsOpen());
        QTRY_VERIFY(!help.Browser());
    }

    void missingFileNamesTheFile_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("title");
        QTest::newRow("German") << 1 << "Zelvano – Hilfe";
        QTest::newRow("English") << 0 << "Zelvano – Help";
    }
    void missingFileNamesTheFile()
    {
        QFETCH(int, language);
        QFETCH(QString, title);
        Language = language;
        QTemporaryDir dir;
        const QString missing = dir.filePath("ZLVO1.html");
        THelp help(nullptr);
        help.SetHelpFile(missing);
        help.ShowTopic("The_game");
        QVERIFY(help.IsOpen());
        QCOMPARE(help.Browser()->windowTitle(), title);
        QVERIFY2(help.Browser()->toPlainText().contains(missing),
                 qPrintable(help.Browser()->toPlainText()));
    }

    void everyContentsLinkHasItsAnchor()
    {
        THelp help(nullptr);
        help.SetHelpFile(HelpFile);
        help.ShowTopic("The_game");
        QTextDocument* doc = help.Browser()->document();
        int links = 0;
        for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QString href = it.fragment().charFormat().anchorHref();
                if (!href.startsWith('#'))
                    continue;
                ++links;
                QVERIFY2(AnchorTop(doc, href.mid(1)) >= 0, qPrintable("dangling link " + href));
            }
        }
        QVERIFY(links >= 20);
    }

    // Every picture the help shows is there beside it and loads.
    void everyPictureLoads()
    {
        THelp help(nullptr);
        help.SetHelpFile(HelpFile);
        help.ShowTopic("Das_Spiel");
        QTextDocument* doc = help.Browser()->document();
        QSet<QString> seen;
        for (QTextBlock block = doc->begin(); block.isValid(); block = block.next())
            for (auto it = block.begin(); !it.atEnd(); ++it)
                if (it.fragment().charFormat().isImageFormat())
                    seen << it.fragment().charFormat().toImageFormat().name();
        QVERIFY(seen.contains("zlvo1-board.png"));
        QVERIFY(seen.contains("zlvo1-toolbar.png"));
        for (int id = 1; id <= PatternIdCount; ++id)
            QVERIFY2(seen.contains(PatternPicture(id)), qPrintable(PatternPicture(id)));
        const QDir dir = QFileInfo(HelpFile).dir();
        for (const QString& name : seen)
            QVERIFY2(!QImage(dir.filePath(name)).isNull(), qPrintable("cannot load " + name));
    }

    // The help's list of the patterns of each level, in both languages, is the game's.
    void levelPicturesMatchTheGame()
    {
        THelp help(nullptr);
        help.SetHelpFile(HelpFile);
        help.ShowTopic("Das_Spiel");
        const QStringList names[2] = {{"Anfänger", "Fortgeschrittene", "Meister", "Champions"},
                                      {"basic", "advanced", "master", "champions"}};
        int found = 0;
        for (QTextFrame* frame : help.Browser()->document()->rootFrame()->childFrames()) {
            auto* table = qobject_cast<QTextTable*>(frame);
            if (!table || table->columns() != 2 || table->rows() != LevelCount)
                continue;
            const QString first = CellText(table, 0, 0);
            if (first != names[0][0] && first != names[1][0])
                continue; // a table of buttons
            const int language = first == names[0][0] ? 0 : 1;
            for (int level = 0; level < LevelCount; ++level) {
                QCOMPARE(CellText(table, level, 0), names[language][level]);
                QStringList expected;
                for (int i = 0; i < LevelTable[level].Count; ++i)
                    expected << PatternPicture(LevelTable[level].Ids[i]);
                QCOMPARE(CellPictures(table, level, 1), expected);
            }
            ++found;
        }
        QCOMPARE(found, 2);
    }

    // The points and levels the help promises are the ones the game pays and uses.
    void pointTablesMatchTheGame()
    {
        THelp help(nullptr);
        help.SetHelpFile(HelpFile);
        help.ShowTopic("Das_Spiel");
        const auto tables = PointTables(help.Browser()->document());
        QCOMPARE(int(tables.size()), 2);
        const QStringList levelNames[2] = {
            {"Anfänger", "Fortgeschrittene", "Meister", "Champions"},
            {"basic", "advanced", "master", "champions"}};
        for (int t = 0; t < 2; ++t) {
            QCOMPARE(int(tables[t].size()), PatternIdCount);
            for (int id = 1; id <= PatternIdCount; ++id) {
                const QString name = QString::fromUtf8(PatternName(id, t == 0 ? 1 : 0));
                const auto row = tables[t].find(name);
                QVERIFY2(row != tables[t].end(), qPrintable("no row for " + name));
                const bool bonus = ColourBonusPossible(id);
                const QString none = QStringLiteral("–");
                const QStringList expected = {
                    QString::number(ClaimPoints(id, false)),
                    bonus ? QString::number(ClaimPoints(id, true)) : none,
                    QString::number(ClaimPoints(id, false) / 2),
                    bonus ? QString::number(ClaimPoints(id, true) / 2) : none,
                    levelNames[t][FirstLevel(id)],
                    PatternPicture(id)};
                QCOMPARE(row->second, expected);
            }
        }
    }
};

QTEST_MAIN(HelpTest)
#include "HelpTest.moc"
