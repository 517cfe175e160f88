// The statistics in the settings file: added under the store's lock, so two running copies
// add up; a failed write is told and never taken for a saved one; damage stays in its key.
#include "settings/StatisticsStore.h"
#include "settings/ini.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>

namespace {

class StatisticsStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.filePath(QStringLiteral("V1.ini"));
        Write("[common]\nlevel=2\nhsa0=kept as it was\n");
    }
    void TearDown() override { TIniStore::FaultHook = nullptr; }
    void Write(const QByteArray& text) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }
    QByteArray Read() const {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    std::unique_ptr<TIniStore> Store() {
        auto ini = std::make_unique<TIniStore>(path);
        ini->OnError = [this](const QString& message) { errors << message; };
        return ini;
    }

    QTemporaryDir dir;
    QString path;
    QStringList errors;
};

TEST_F(StatisticsStoreTest, TwoRunningCopiesAddUp) {
    auto first = Store();
    auto second = Store();
    ASSERT_TRUE(StoreFinishedGame(*first, {1, GameEnd::Won, 500, 100, 11}));
    ASSERT_TRUE(StoreFinishedGame(*second, {1, GameEnd::GivenUp, -20, 30, 22}));
    ASSERT_TRUE(StoreFinishedGame(*first, {3, GameEnd::Won, 70, 5, 33}));
    const Statistics stored = ReadStatistics(*second);
    EXPECT_EQ(stored.Levels[0].Played, 2);
    EXPECT_EQ(stored.Levels[0].Won, 1);
    EXPECT_EQ(stored.Levels[0].Lost, 1);
    EXPECT_EQ(stored.Levels[0].Total, 480);
    EXPECT_EQ(stored.Levels[0].Ticks, 130);
    EXPECT_EQ(stored.Levels[2].Played, 1);
    EXPECT_EQ(stored.LastDeal, 33);
    EXPECT_TRUE(Read().contains("hsa0=kept as it was\n"));
    EXPECT_TRUE(Read().contains("[statistics]\nplayeda=2\n"));
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(StatisticsStoreTest, AFailedWriteIsToldAndLeavesTheFileAsItWas) {
    auto ini = Store();
    ASSERT_TRUE(StoreFinishedGame(*ini, {2, GameEnd::Won, 10, 1, 5}));
    const QByteArray before = Read();
    TIniStore::FaultHook = [](TIniStep step) { return step == TIniStep::Written ? ENOSPC : 0; };
    EXPECT_FALSE(StoreFinishedGame(*ini, {2, GameEnd::Lost, 99, 1, 6}));
    EXPECT_FALSE(ResetStatistics(*ini));
    TIniStore::FaultHook = nullptr;
    EXPECT_EQ(errors.size(), 2); // every failed statistics write is told
    EXPECT_EQ(Read(), before);
    EXPECT_EQ(ReadStatistics(*ini).Levels[1].Played, 1);
}

// The par comes after its game has been stored, and is stored beside it, where the next game
// and a reset find it.
TEST_F(StatisticsStoreTest, ParStoredBesideItsGameUntilTheNextOne) {
    auto ini = Store();
    ASSERT_TRUE(StoreFinishedGame(*ini, {2, GameEnd::Lost, 350, 40, 77, true}));
    ASSERT_TRUE(StorePar(*ini, 2, 77, 4100, 350));
    const Statistics stored = ReadStatistics(*ini);
    ASSERT_TRUE(LastGamePar(stored));
    EXPECT_EQ(LastGamePar(stored)->Par, 4100);
    EXPECT_EQ(LastGamePar(stored)->Score, 350);
    EXPECT_EQ(stored.Levels[1].Assisted, 1);
    EXPECT_EQ(stored.Levels[1].Played, 0);
    EXPECT_TRUE(Read().contains("parb=4100\n")) << Read().toStdString();
    ASSERT_TRUE(StoreFinishedGame(*ini, {2, GameEnd::Won, 900, 40, 78}));
    EXPECT_FALSE(LastGamePar(ReadStatistics(*ini)));
    ASSERT_TRUE(StorePar(*ini, 2, 78, 4500, 900));
    ASSERT_TRUE(ResetStatistics(*ini));
    EXPECT_EQ(ReadStatistics(*ini), Statistics{});
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(StatisticsStoreTest, ADamagedValueReadsAsZeroAndTheNextGameMendsIt) {
    Write("[statistics]\nplayeda=1x\nwona=4\nlosta=2\nbesta=300\n");
    auto ini = Store();
    EXPECT_EQ(ReadStatistics(*ini).Levels[0].Played, 0);
    EXPECT_EQ(ReadStatistics(*ini).Levels[0].Won, 4);
    ASSERT_TRUE(StoreFinishedGame(*ini, {1, GameEnd::Won, 100, 0, 8}));
    const LevelStatistics basic = ReadStatistics(*ini).Levels[0];
    EXPECT_EQ(basic.Played, 1);
    EXPECT_EQ(basic.Won, 5);
    EXPECT_EQ(basic.Lost, 2);
    EXPECT_EQ(basic.Best, 300); // the good value outlives the damaged count beside it
}

// A large file (other programs' sections, tens of thousands of lines) is read once for all the
// figures, not once for each of them, and a game is added in one read and one write.
TEST_F(StatisticsStoreTest, AllFiguresComeFromOneReadOfTheFile) {
    QByteArray file = "[common]\nlevel=2\n[statistics]\nplayeda=3\nwona=2\n[other]\n";
    for (int i = 0; file.size() < 900 * 1024; ++i)
        file += "key" + QByteArray::number(i) + "=value\n";
    file += "[statistics]\nlostd=4\n";
    Write(file);
    auto ini = Store();
    int reads = 0;
    TIniStore::FaultHook = [&reads](TIniStep step) { return step == TIniStep::Read ? ++reads, 0 : 0; };
    const Statistics stored = ReadStatistics(*ini);
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(stored.Levels[0].Played, 3);
    EXPECT_EQ(stored.Levels[0].Won, 2);
    EXPECT_EQ(stored.Levels[3].Lost, 4);

    reads = 0;
    ASSERT_TRUE(StoreFinishedGame(*ini, {4, GameEnd::Won, 10, 1, 5}));
    EXPECT_EQ(reads, 1);
    TIniStore::FaultHook = nullptr;
    EXPECT_EQ(ReadStatistics(*ini).Levels[3].Played, 1);
    EXPECT_EQ(ReadStatistics(*ini).Levels[3].Lost, 4);
    EXPECT_TRUE(Read().contains("[other]\nkey0=value\n"));
    EXPECT_TRUE(errors.isEmpty());
}

} // namespace
