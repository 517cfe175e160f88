// The settings store in a hostile environment: crashes at every step of a write, full disks,
// files and folders it may not touch, links, damaged bytes, oversized files, leftover locks,
// and two running copies writing at once.

#include "settings/Language.h"
#include "settings/ini.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
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
        TLMDIniCtrl::FaultHook = nullptr;
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (QFileInfo::exists(path))
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    }

    std::unique_ptr<TLMDIniCtrl> Store() {
        auto store = std::make_unique<TLMDIniCtrl>(path);
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
    std::unique_ptr<TLMDIniCtrl> ini;
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
            TLMDIniCtrl::FaultHook = [&](TIniStep step) {
                if (step == s.step)
                    ::raise(SIGKILL);
                return 0;
            };
            TLMDIniCtrl(path).Update(TIniWhat::Highscore, [](TIniEdit& e) {
                e.WriteInt("common", "level", 3);
                e.WriteText("common", "hsa0", "new entry");
            });
        });
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        const QByteArray after = ReadAll(path);
        EXPECT_EQ(after, s.newFileInPlace ? QByteArray("[common]\nlevel=3\nhsa0=new entry\n") : Old);

        // The next start: leftovers gone, and the dead writer's lock is no lock at all.
        auto next = Store();
        next->CheckAtStart();
        EXPECT_EQ(FolderFiles(), (QStringList{"V1.ini", "V1.ini.lock"}));
        int waits = 0;
        TLMDIniCtrl::FaultHook = [&](TIniStep step) { return step == TIniStep::LockBusy ? ++waits, 0 : 0; };
        next->WriteInt("common", "back", 4);
        TLMDIniCtrl::FaultHook = nullptr;
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
    TLMDIniCtrl::FaultHook = [&](TIniStep step) {
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

TEST_F(IniFaultTest, LeftoverTemporaryFilesAreRemovedAtStartAndNothingElse) {
    WriteAll(path, Old);
    for (const char* name : {"V1.ini.aB3xYz", "V1.ini.Q1w2E3", "V1.ini.keep", "V1.ini.lock", "notes.txt", "V2.ini.aB3xYz"})
        WriteAll(folder + "/" + name, "x");
    ini->CheckAtStart();
    EXPECT_EQ(FolderFiles(), (QStringList{"V1.ini", "V1.ini.keep", "V1.ini.lock", "V2.ini.aB3xYz", "notes.txt"}));
    EXPECT_EQ(ReadAll(path), Old);
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
        TLMDIniCtrl::FaultHook = [&](TIniStep step) { return step == c.step ? c.err : 0; };
        for (int attempt = 0; attempt < 2; ++attempt)
            EXPECT_FALSE(ini->WriteTexts("common", {{"hsa0", "new"}}, TIniWhat::Highscore));
        TLMDIniCtrl::FaultHook = nullptr;
        ASSERT_EQ(errors.size(), 2) << "every failed highscore save is told";
        EXPECT_TRUE(errors[1].startsWith(QString::fromUtf8("Konnte Daten für 'hsa0' nicht setzen\n\n")));
        EXPECT_TRUE(errors[1].contains("Your highscore entry was not saved.")) << errors[1].toStdString();
        EXPECT_TRUE(errors[1].contains(c.why)) << errors[1].toStdString();
        EXPECT_EQ(ReadAll(path), Old);
        EXPECT_EQ(FolderFiles(), (QStringList{"V1.ini", "V1.ini.lock"})) << "no temporary file is left";
        EXPECT_TRUE(ini->WriteTexts("common", {{"hsa0", "new"}}, TIniWhat::Highscore)) << "the fault passed";
    }
}

TEST_F(IniFaultTest, RealFullDiskIsToldInThePlayersLanguage) {
    // A file size limit stands in for a full disk; it holds for root too.
    WriteAll(path, Old);
    Language = 1;
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
         [] { TLMDIniCtrl::FaultHook = [](TIniStep s) { return s == TIniStep::Read ? EACCES : 0; }; }},
        {"mode 000 for real", [this] { QFile::setPermissions(path, {}); }},
        {"folder mode 000", [this] { QFile::setPermissions(folder, {}); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteAll(path, Old);
        errors.clear();
        ini = Store();
        c.spoil();
        if (ReadAll(path) == Old && !TLMDIniCtrl::FaultHook) {
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
    atLimit.append(QByteArray(TLMDIniCtrl::MaxFileSize - atLimit.size() - 1, 'x')).append('\n');
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
        TLMDIniCtrl store(path);
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
    };
    for (const auto& c : cases) {
        Language = c.language;
        const QString text = TLMDIniCtrl::Explain(QStringLiteral("Konnte Daten für 'k' nicht setzen"), c.what,
                                                  c.cause, TIniAccess::Write, QStringLiteral("/x/V1.ini"));
        EXPECT_TRUE(text.startsWith(QString::fromUtf8("Konnte Daten für 'k' nicht setzen\n\n")));
        for (const char* part : c.parts)
            EXPECT_TRUE(text.contains(QString::fromUtf8(part))) << text.toStdString() << " lacks " << part;
    }
    Language = 0;
}

} // namespace
