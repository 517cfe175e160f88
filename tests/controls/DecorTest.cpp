#include <QTest>
class DecorTest : public QObject { Q_OBJECT };
QTEST_MAIN(DecorTest)
#include "DecorTest.moc"
