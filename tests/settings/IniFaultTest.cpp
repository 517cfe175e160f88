// The settings store in a hostile environment: crashes at every step of a write, full disks,
// files and folders it may not touch, links, damaged bytes, oversized files, leftover locks,
// and two running copies writing at once.

#include "texts/Language.h"
#include "settings/StatisticsStore.h"
#include "settings/ini.h"
#include "tests/support/Files.h"
#include "tests/support/Printers.h"
#include "tests/support/ScopedValue.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <csignal>
#include <ctime>
#include <functional>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Sets a file's times back by seconds (a link itself, not what it points at).
void Age(const QString& path, int seconds) {
    const std::time_t then = std::time(nullptr) - seconds;
    const struct timespec times[2] = {{then, 0}, {then, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW), 0);
}

// Another running copy in the middle of a write: it holds the lock until the object goes.
class HeldLock {
public:
    explicit HeldLock(const QString& path)
        : m_fd(::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT, 0666)) {
        EXPECT_EQ(::flock(m_fd, LOCK_EX | LOCK_NB), 0);
    }
    ~HeldLock() { ::close(m_fd); }
    HeldLock(const HeldLock&) = delete;
    HeldLock& operator=(const HeldLock&) = delete;

private:
    int m_fd;
};

bool LockIsFree(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT, 0666);
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
}

// Runs body in a child process and returns how it ended (waitpid status).
int InChild(const std::function<void()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        body();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

class IniFaultTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + "/Moxelware/Zelvano";
        path = folder + "/V1.ini";
        ini = Store();
        Language = 0;
    }
    void TearDown() override {
        TIniStore::FaultHook = nullptr;
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (QFileInfo::exists(path))
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    }

    std::unique_ptr<TIniStore> Store() {
        auto store = std::make_unique<TIniStore>(path);
        store->OnError = [this](const QString& m) { errors << m; };
        return store;
    }

    QStringList FolderFiles() const {
        QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        files.sort();
        return files;
    }

    QTemporaryDir dir;
    QString folder;
    QString path;
    std::unique_ptr<TIniStore> ini;
    QStringList errors;
};

const QByteArray Old = "[common]\nlevel=2\nhsa0=old entry\n";

// ---- a write cut short at every step ----

TEST_F(IniFaultTest, KillAtEveryStepLeavesTheOldFileOrTheNewOneAndNoLock) {
    const struct {
        TIniStep step;
        bool newFileInPlace;
    } steps[] = {{TIniStep::Locked, false},  {TIniStep::TempCreated, false}, {TIniStep::Written, false},
                 {TIniStep::Synced, false},  {TIniStep::Renamed, true}};
    for (const auto& s : steps) {
        SCOPED_TRACE(int(s.step));
        WriteAll(path, Old);
        const int status = InChild([&] {
            TIniStore::FaultHook = [&](TIniStep step) {
                if (step == s.step)
                    ::raise(SIGKILL);
                return 0;
            };
            TIniStore(path).Update(TIniWhat::Highscore, [](TIniEdit& e) {
                e.WriteInt("common", "level", 3);
                e.WriteText("common", "hsa0", "new entry");
            });
        });
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        const QByteArray after = ReadAll(path);
        EXPECT_EQ(after, s.newFileInPlace ? QByteArray("[common]\nlevel=3\nhsa0=new entry\n") : Old);

        // The next start, once the dead writer's leftovers are old enough to be certainly
        // nobody's work in progress: they are gone, and its lock is no lock at all.
        for (const QString& name : FolderFiles())
            Age(folder + "/" + name, TIniStore::LeftoverAgeSeconds + 1);
        auto next = Store();
        next->CheckAtStart();
        EXPECT_EQ(FolderFiles(), (QStringList{"V1.ini", "V1.ini.lock"}));
        int waits = 0;
        TIniStore::FaultHook = [&](TIniStep step) { return step == TIniStep::LockBusy ? ++waits, 0 : 0; };
        next->WriteInt("common", "back", 4);
        TIniStore::FaultHook = nullptr;
        EXPECT_EQ(waits, 0);
        EXPECT_EQ(next->ReadInt("common", "back", 0), 4);
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(IniFaultTest, StaleLockFileCostsNoWaitAndALiveOneIsWaitedFor) {
    // What a crashed copy of an older game left: the lock file, empty.
    WriteAll(path + ".lock", QByteArray());
    int waits = 0;
    int held = -1;
    TIniStore::FaultHook = [&](TIniStep step) {
        if (step == TIniStep::LockBusy && ++waits == 3)
            ::close(held); // the other copy finishes its write
        return 0;
    };
    ini->WriteInt("common", "level", 2);
    EXPECT_EQ(waits, 0);

    held = ::open(QFile::encodeName(path + ".lock").constData(), O_RDWR);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    ini->WriteInt("common", "level", 3);
    EXPECT_EQ(waits, 3) << "the write waited for the lock and went on once it was free";
    EXPECT_EQ(ini->ReadInt("common", "level", 0), 3);
}

TEST_F(IniFaultTest, OnlyOurOwnOldLeftoversAreRemovedAtStart) {
    const int old = TIniStore::LeftoverAgeSeconds + 60;
    const struct {
        const char* name;
        int age;      // seconds since it was last written
        bool removed; // at a start with the lock free
    } files[] = {
        // The player's own copies, however old: the names earlier versions gave their
        // temporary files are names people choose.
        {"V1.ini.backup", old, false},
        {"V1.ini.bak001", old, false},
        {"V1.ini.old123", old, false},
        {"V1.ini.aB3xYz", old, false},
        {"V1.ini.keep", old, false},
        {"notes.txt", old, false},
        {"V2.ini.zelvano-write.aB3xYz", old, false}, // another file's
        {"V1.ini.zelvano-write.aB3xYz.txt", old, false},
        // Ours: left over from a write cut short, unless another copy may still be writing it.
        {"V1.ini.zelvano-write.aB3xYz", old, true},
        {"V1.ini.zelvano-write.Q1w2E3", 5, false},
    };
    WriteAll(path, Old);
    for (const auto& f : files) {
        WriteAll(folder + "/" + f.name, "x");
        Age(folder + "/" + f.name, f.age);
    }
    // A link with our name is no file of ours: the link stays, and what it points at.
    ASSERT_TRUE(QFile::link(dir.path() + "/elsewhere", folder + "/V1.ini.zelvano-write.LnK123"));
    WriteAll(dir.path() + "/elsewhere", "the player's");
    Age(folder + "/V1.ini.zelvano-write.LnK123", old);
    QStringList all = FolderFiles();

    {
        // Another copy is writing: nothing is removed, and the start does not wait for it.
        HeldLock writing(path + ".lock");
        int waits = 0;
        TIniStore::FaultHook = [&](TIniStep step) { return step == TIniStep::LockBusy ? ++waits, 0 : 0; };
        ini->CheckAtStart();
        TIniStore::FaultHook = nullptr;
        EXPECT_EQ(waits, 0);
        all.append("V1.ini.lock");
        all.sort();
        EXPECT_EQ(FolderFiles(), all);
    }

    Store()->CheckAtStart();
    QStringList kept = all;
    for (const auto& f : files)
        if (f.removed)
            kept.removeOne(f.name);
    EXPECT_EQ(FolderFiles(), kept);
    EXPECT_EQ(ReadAll(path), Old);
    EXPECT_EQ(ReadAll(dir.path() + "/elsewhere"), "the player's");
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(IniFaultTest, HeldLockCostsTheStartNoWaitAndAWriteOnlyABriefOne) {
    // A second copy that hangs while it holds the lock.
    WriteAll(path, Old);
    HeldLock hung(path + ".lock");
    int waits = 0;
    TIniStore::FaultHook = [&](TIniStep step) { return step == TIniStep::LockBusy ? ++waits, 0 : 0; };
    ini->CheckAtStart();
    EXPECT_EQ(ini->ReadInt("common", "level", 1), 2);
    EXPECT_EQ(waits, 0) << "the start reads without the lock";

    // The close: it waits a little (10 ms a try) and then writes all the same.
    ini->WriteInt("common", "level", 3);
    TIniStore::FaultHook = nullptr;
    EXPECT_GT(waits, 0);
    EXPECT_LE(waits, TIniStore::LockWaitMs / 10);
    EXPECT_EQ(ini->ReadInt("common", "level", 1), 3);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

// ---- failures the player is told about ----

struct FaultCase {
    const char* name;
    TIniStep step;   // where the fault strikes
    int err;         // as the system would say it
    const char* why; // what the player reads
};

TEST_F(IniFaultTest, FailedWritesLeaveTheFileWholeAndSayWhyEveryTime) {
    const FaultCase cases[] = {
        {"disk full", TIniStep::Written, ENOSPC, "The disk is full."},
        {"quota", TIniStep::Synced, EDQUOT, "The disk is full."},
        {"folder not writable", TIniStep::TempCreated, EACCES, "You have no permission to write to the folder"},
        {"read-only disk", TIniStep::TempCreated, EROFS, "is read-only"},
        {"other", TIniStep::Written, EIO, "The system reported an error"},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.name);
        WriteAll(path, Old);
        errors.clear();
        TIniStore::FaultHook = [&](TIniStep step) { return step == c.step ? c.err : 0; };
        for (int attempt = 0; attempt < 2; ++attempt)
            EXPECT_FALSE(ini->WriteTexts("common", {{"hsa0", "new"}}, TIniWhat::Highscore));
        TIniStore::FaultHook = nullptr;
        ASSERT_EQ(errors.size(), 2) << "every failed highscore save is told";
        EXPECT_TRUE(errors[1].startsWith(QString::fromUtf8("Konnte Daten für 'hsa0' nicht setzen\n\n")));
        EXPECT_TRUE(errors[1].contains("Your highscore entry was not saved.")) << errors[1].toStdString();
        EXPECT_TRUE(errors[1].contains(c.why)) << errors[1].toStdString();
        EXPECT_EQ(ReadAll(path), Old);
        EXPECT_EQ(FolderFiles(), (QStringList{"V1.ini", "V1.ini.lock"})) << "no temporary file is left";
        EXPECT_TRUE(ini->WriteTexts("common", {{"hsa0", "new"}}, TIniWhat::Highscore)) << "the fault passed";
    }
}

TEST_F(IniFaultTest, FullDiskIsToldOnceAndNeverWithTheLockHeld) {
    // The disk fills up as a game ends: its statistics are not saved, and its par, which the
    // solver delivers while the player still reads about that (the message box runs its own
    // event loop), or a moment later, fails the same way.
    WriteAll(path, Old);
    int waits = 0;
    bool lockFreeWhileTold = true;
    bool parSaved = true;
    errors.clear();
    ini->OnError = [&](const QString& message) {
        errors << message;
        lockFreeWhileTold = lockFreeWhileTold && LockIsFree(path + ".lock");
        if (errors.size() == 1)
            parSaved = StorePar(*ini, 1, 7, 4000, 120);
    };
    TIniStore::FaultHook = [&](TIniStep step) {
        if (step == TIniStep::LockBusy)
            ++waits;
        return step == TIniStep::Written ? ENOSPC : 0;
    };
    EXPECT_FALSE(StoreFinishedGame(*ini, {1, GameEnd::Won, 120, 50, 7}));
    EXPECT_FALSE(parSaved);
    EXPECT_FALSE(StorePar(*ini, 1, 7, 4000, 120)) << "the par after the box was closed";
    EXPECT_EQ(waits, 0) << "nothing waited for a lock";
    EXPECT_TRUE(lockFreeWhileTold);
    ASSERT_EQ(errors.size(), 1) << errors.join('\n').toStdString();
    EXPECT_TRUE(errors[0].contains("Your game statistics were not saved.")) << errors[0].toStdString();

    // The next game that cannot be saved is a failure of its own.
    EXPECT_FALSE(StoreFinishedGame(*ini, {1, GameEnd::Lost, 10, 50, 8}));
    TIniStore::FaultHook = nullptr;
    EXPECT_EQ(errors.size(), 2);
    EXPECT_EQ(ReadAll(path), Old);
}

TEST_F(IniFaultTest, RealFullDiskIsToldInThePlayersLanguage) {
    // A file size limit stands in for a full disk; it holds for root too.
    WriteAll(path, Old);
    const TScopedValue german(Language, 1);
    struct rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = Old.size() + 4;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = ini->Update(TIniWhat::Statistics, [](TIniEdit& e) { e.WriteText("statistics", "won", "12345"); });
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(saved);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QString::fromUtf8("Deine Spielstatistik wurde nicht gespeichert."))) << errors[0].toStdString();
    EXPECT_TRUE(errors[0].contains(QString::fromUtf8("Der Datenträger ist voll."))) << errors[0].toStdString();
    EXPECT_EQ(ReadAll(path), Old);
}

TEST_F(IniFaultTest, ReadOnlyFileIsToldOnceAndNeverReplaced) {
    WriteAll(path, Old);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    ini->CheckAtStart();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("Your settings and highscores will not be saved.")) << errors[0].toStdString();
    EXPECT_TRUE(errors[0].contains("is read-only")) << errors[0].toStdString();
    EXPECT_EQ(ini->ReadInt("common", "level", 1), 2) << "it still reads";
    ini->WriteInt("common", "level", 3); // the settings at close: told already
    ini->WriteInt("common", "back", 0);
    EXPECT_EQ(errors.size(), 1);
    EXPECT_FALSE(ini->WriteTexts("common", {{"hsa0", "x"}}, TIniWhat::Highscore));
    EXPECT_EQ(errors.size(), 2) << "a highscore not saved is always told";
    EXPECT_EQ(ReadAll(path), Old);

    // Without the start check, the first write finds out.
    errors.clear();
    auto other = Store();
    other->WriteInt("common", "level", 3);
    EXPECT_EQ(errors.size(), 1);
    EXPECT_EQ(ReadAll(path), Old);
}

TEST_F(IniFaultTest, FileThatCannotBeReadIsToldOnceAndNeverWrittenOver) {
    const struct {
        const char* name;
        std::function<void()> spoil; // makes the file unreadable
    } cases[] = {
        {"mode 000 (as the system says for a non-root player)",
         [] { TIniStore::FaultHook = [](TIniStep s) { return s == TIniStep::Read ? EACCES : 0; }; }},
        {"mode 000 for real", [this] { QFile::setPermissions(path, {}); }},
        {"folder mode 000", [this] { QFile::setPermissions(folder, {}); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteAll(path, Old);
        errors.clear();
        ini = Store();
        c.spoil();
        if (ReadAll(path) == Old && !TIniStore::FaultHook) {
            TearDown();
            continue; // root reads it anyway: nothing to prove here
        }
        ini->CheckAtStart();
        EXPECT_EQ(ini->ReadInt("common", "level", 1), 1) << "defaults, not a stale half";
        EXPECT_EQ(ini->ReadText("common", "hsa0", "none"), "none");
        ini->WriteInt("common", "level", 4);
        ASSERT_EQ(errors.size(), 1) << errors.join('\n').toStdString();
        EXPECT_TRUE(errors[0].contains("could not be read")) << errors[0].toStdString();
        EXPECT_TRUE(errors[0].contains("will not write over the file")) << errors[0].toStdString();
        EXPECT_FALSE(ini->WriteTexts("common", {{"hsa0", "x"}}, TIniWhat::Highscore));
        EXPECT_EQ(errors.size(), 2);
        TearDown();
        EXPECT_EQ(ReadAll(path), Old) << "the player's data is untouched";
    }
}

TEST_F(IniFaultTest, OversizedFileIsNotParsedNorTouched) {
    // Exactly at the limit is still a settings file (padded with a comment).
    QByteArray atLimit = "[common]\nlevel=3\n;";
    atLimit.append(QByteArray(TIniStore::MaxFileSize - atLimit.size() - 1, 'x')).append('\n');
    WriteAll(path, atLimit);
    EXPECT_EQ(ini->ReadInt("common", "level", 1), 3);

    QByteArray over = atLimit;
    over.append('\n');
    WriteAll(path, over);
    ini = Store();
    ini->CheckAtStart();
    EXPECT_EQ(ini->ReadInt("common", "level", 1), 1);
    ini->WriteInt("common", "level", 2);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("larger than 1 MiB")) << errors[0].toStdString();
    EXPECT_EQ(ReadAll(path), over);
}

// What a write adds to a file just under the limit must never make a file that every later
// start refuses (and with it the highscores): what is not the game's own gives way.
TEST_F(IniFaultTest, WriteNeverMakesAFileTooLargeToReadAgain) {
    const QByteArray own = "[common]\nlevel=2\nhsa0=kept entry\nplayer=Jo\n";
    // head, then line(1), line(2), ... up to just under the limit, then a small foreign section.
    using Line = std::function<QByteArray(int)>;
    auto padded = [](QByteArray head, const Line& line, const QByteArray& tail = {}) {
        const QByteArray end = tail + "[tiny]\nt=1\n";
        for (int i = 1; head.size() + line(i).size() + end.size() <= TIniStore::MaxFileSize - 40; ++i)
            head += line(i);
        return head + end;
    };
    // Keys named x1, x2, ... with values of the given length.
    auto key = [](char name, int length) -> Line {
        return [=](int i) { return name + QByteArray::number(i) + "=" + QByteArray(length, 'v') + "\n"; };
    };
    const struct {
        const char* name;
        QByteArray file;
        const char* told; // a piece the message names; empty: none is named
    } cases[] = {
        {"a foreign section", padded(own + "[other]\n", key('x', 70)), "[other]"},
        {"foreign keys among ours", padded(own, key('k', 30)), "[common] k"},
        {"a note", padded(own, [](int) { return ';' + QByteArray(TIniStore::MaxFileSize - 200, 'n') + '\n'; }),
         ""},
        {"older copies of our own keys", padded(own, [](int) { return QByteArray("level        = 9\n"); }, "level=2\n"), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_LE(c.file.size(), TIniStore::MaxFileSize);
        WriteAll(path, c.file);
        errors.clear();
        ini = Store();
        ASSERT_TRUE(StoreFinishedGame(*ini, {2, GameEnd::Won, 300, 20, 9}));
        ASSERT_TRUE(ini->Update(TIniWhat::Settings, [](TIniEdit& e) { e.WriteText("mine", "note", "written now"); }));
        EXPECT_LE(QFileInfo(path).size(), TIniStore::MaxFileSize);

        auto next = Store();
        next->CheckAtStart();
        EXPECT_EQ(next->ReadInt("common", "level", 0), 2);
        EXPECT_EQ(next->ReadText("common", "hsa0", ""), "kept entry");
        EXPECT_EQ(next->ReadText("common", "player", ""), "Jo");
        EXPECT_EQ(next->ReadText("mine", "note", ""), "written now") << "what a write adds is its own";
        EXPECT_EQ(ReadStatistics(*next).Levels[1].Won, 1);
        EXPECT_EQ(next->ReadInt("tiny", "t", 0), 1) << "the largest pieces gave way, not this small one";
        ASSERT_EQ(errors.size(), 1) << "told once, not at every write: " << errors.join('\n').toStdString();
        EXPECT_TRUE(errors[0].contains("left out entries that are not its own")) << errors[0].toStdString();
        EXPECT_TRUE(errors[0].contains(QString::fromUtf8(c.told))) << errors[0].toStdString();
    }

    // When the game's own values alone are too large, nothing is written at all.
    const QByteArray huge = "[common]\nlevel=2\nplayer=" + QByteArray(TIniStore::MaxFileSize - 200, 'p') + "\n";
    WriteAll(path, huge);
    errors.clear();
    ini = Store();
    EXPECT_FALSE(StoreFinishedGame(*ini, {2, GameEnd::Won, 300, 20, 9}));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("would be larger than 1 MiB")) << errors[0].toStdString();
    EXPECT_EQ(ReadAll(path), huge);
}

TEST_F(IniFaultTest, FolderWhereTheFileShouldBeIsTold) {
    QDir().mkpath(path);
    ini->CheckAtStart();
    ini->WriteText("common", "player", "x");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("is not what it should be")) << errors[0].toStdString();
    EXPECT_TRUE(QFileInfo(path).isDir());
}

// ---- what is read ----

TEST_F(IniFaultTest, InvalidBytesSpoilOnlyTheirOwnValue) {
    WriteAll(path, "[common]\n"
                   "player=J\xC3\xB6rg \xFF M\xC3\xBCller\n" // UTF-8 with one stray byte
                   "hsa0=\xC3\x84rger\n"
                   "hsa1=B\xE4r\n"                          // a line saved in Latin-1
                   "level=3\n");
    EXPECT_EQ(ini->ReadText("common", "player", ""), QString::fromUtf8("Jörg \uFFFD Müller"));
    EXPECT_EQ(ini->ReadText("common", "hsa0", ""), QString::fromUtf8("Ärger"));
    EXPECT_EQ(ini->ReadText("common", "hsa1", ""), QString::fromUtf8("Bär"));
    ini->WriteInt("common", "level", 4);
    EXPECT_EQ(ini->ReadText("common", "hsa0", ""), QString::fromUtf8("Ärger")) << "a write keeps it exact";
    EXPECT_EQ(ini->ReadText("common", "hsa1", ""), QString::fromUtf8("Bär"));
    const QByteArray after = ReadAll(path);
    EXPECT_EQ(QString::fromUtf8(after).toUtf8(), after) << "the file is UTF-8 now";
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(IniFaultTest, EveryLineEndReadsAndWritesAreLF) {
    const struct {
        const char* name;
        QByteArray file;
    } cases[] = {
        {"LF", "[common]\nlevel=3\nhsa0=x,y\n"},
        {"CRLF", "[common]\r\nlevel=3\r\nhsa0=x,y\r\n"},
        {"CR", "[common]\rlevel=3\rhsa0=x,y\r"},
        {"CR, no last line end", "[common]\rlevel=3\rhsa0=x,y"},
        {"mixed", "[common]\r\nlevel=3\rhsa0=x,y\n"},
        {"CRLF twice", "[common]\r\r\nlevel=3\r\r\nhsa0=x,y\r\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteAll(path, c.file);
        EXPECT_EQ(ini->ReadInt("common", "level", 1), 3);
        EXPECT_EQ(ini->ReadText("common", "hsa0", ""), "x,y");
        ini->WriteFlag("common", "sound", false);
        EXPECT_EQ(ReadAll(path), QByteArray("[common]\nlevel=3\nhsa0=x,y\nsound=0\n"));
    }
}

// ---- where the file is ----

TEST_F(IniFaultTest, ChainOfLinksStaysLinked) {
    const QString real = dir.path() + "/kept/elsewhere.ini";
    WriteAll(real, "[common]\nback=2\n");
    const QString middle = dir.path() + "/middle.ini";
    ASSERT_TRUE(QFile::link("kept/elsewhere.ini", middle)); // relative, as `ln -s` makes them
    QDir().mkpath(folder);
    ASSERT_TRUE(QFile::link(middle, path));
    ini->WriteInt("common", "level", 3);
    EXPECT_TRUE(QFileInfo(path).isSymLink());
    EXPECT_TRUE(QFileInfo(middle).isSymLink());
    EXPECT_EQ(ReadAll(real), QByteArray("[common]\nback=2\nlevel=3\n"));
    EXPECT_EQ(QDir(dir.path() + "/kept").entryList(QDir::Files), QStringList{"elsewhere.ini"});

    // A link whose end does not exist yet: the first write makes the file there.
    QFile::remove(real);
    ini->WriteInt("common", "level", 4);
    EXPECT_TRUE(QFileInfo(middle).isSymLink());
    EXPECT_EQ(ReadAll(real), QByteArray("[common]\nlevel=4\n"));
    EXPECT_TRUE(errors.isEmpty());
}

// ---- two running copies ----

TEST_F(IniFaultTest, TwoCopiesAddingAtOnceLoseNothing) {
    // Each copy counts its own rounds into one shared total, as the statistics do, and keeps
    // a value of its own; the read-merge-write under the lock must not lose a single round.
    constexpr int Rounds = 40;
    WriteAll(path, "[common]\nlevel=1\n");
    auto round = [&](const char* own) {
        TIniStore store(path);
        store.OnError = [](const QString& m) {
            std::fprintf(stderr, "%s\n", m.toUtf8().constData());
            ::_exit(2);
        };
        for (int i = 0; i < Rounds; ++i)
            store.Update(TIniWhat::Statistics, [&](TIniEdit& e) {
                e.WriteInt("statistics", "played", e.ReadInt("statistics", "played", 0) + 1);
                e.WriteInt("statistics", own, e.ReadInt("statistics", own, 0) + 1);
            });
    };
    const pid_t a = ::fork();
    if (a == 0) {
        round("a");
        ::_exit(0);
    }
    round("b");
    int status = 0;
    ::waitpid(a, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(ini->ReadInt("statistics", "played", 0), 2 * Rounds);
    EXPECT_EQ(ini->ReadInt("statistics", "a", 0), Rounds);
    EXPECT_EQ(ini->ReadInt("statistics", "b", 0), Rounds);
    EXPECT_EQ(ini->ReadInt("common", "level", 0), 1);
}

// ---- the player's words ----

TEST(IniMessages, SayWhatWhyAndWhatToDoInThePlayersLanguage) {
    const struct {
        int language;
        TIniWhat what;
        TIniCause cause;
        const char* parts[3];
    } cases[] = {
        {0, TIniWhat::Highscore, TIniCause::DiskFull,
         {"Your highscore entry was not saved.", "The disk is full.", "Press OK to try again"}},
        {1, TIniWhat::Highscore, TIniCause::DiskFull,
         {"Dein Eintrag in der Bestenliste wurde nicht gespeichert.", "Der Datenträger ist voll.", "Drücke OK"}},
        {-1, TIniWhat::Settings, TIniCause::ReadOnlyFile,
         {"Your settings", "/x/V1.ini is read-only.", "chmod u+w \"/x/V1.ini\""}},
        {1, TIniWhat::Statistics, TIniCause::NoPermission,
         {"Deine Spielstatistik", "keine Schreibrechte für den Ordner /x", "chmod u+rwx \"/x\""}},
        {0, TIniWhat::Par, TIniCause::WouldBeTooLarge,
         {"best result found for your last game", "/x/V1.ini would be larger than 1 MiB", "Move /x/V1.ini away"}},
    };
    const TScopedValue keepLanguage(Language);
    for (const auto& c : cases) {
        Language = c.language;
        const QString text = StoreFailureText(QStringLiteral("Konnte Daten für 'k' nicht setzen"), c.what, c.cause,
                                              TIniAccess::Write, QStringLiteral("/x/V1.ini"));
        EXPECT_TRUE(text.startsWith(QString::fromUtf8("Konnte Daten für 'k' nicht setzen\n\n")));
        for (const char* part : c.parts)
            EXPECT_TRUE(text.contains(QString::fromUtf8(part))) << text.toStdString() << " lacks " << part;
    }
}

} // namespace
