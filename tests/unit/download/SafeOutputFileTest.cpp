#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <grp.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include "SafeOutputFile.h"
#include "TransferTestSupport.h"

namespace {
using Mode = SafeOutputFile::Mode;

class SafeOutputFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }
    QString target = path(QStringLiteral("report.txt"));
    // Every name in the folder: what a failure left behind.
    QStringList names() const {
        return QDir(dir.path()).entryList(QDir::Files | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                                          QDir::Name);
    }
    static mode_t modeOf(const QString& p) {
        struct stat st {};
        ::lstat(QFile::encodeName(p).constData(), &st);
        return st.st_mode & 07777;
    }
    static SafeOutputFile::Options as(Mode mode) {
        SafeOutputFile::Options o;
        o.mode = mode;
        return o;
    }
    // A run that writes `bytes` to the target and is killed (SIGKILL) before it ends.
    void killedWhileWriting(Mode mode, const std::string& bytes) const {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            auto* f = new SafeOutputFile;
            f->open(target, as(mode));
            f->write(bytes);
            f->flush();
            ::kill(::getpid(), SIGKILL);
            ::_exit(1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));
    }
    // A writer with no run of its own tidies at every open: what this
    // process opens next stands for the next run.
    void killedWhileAdding(const std::string& bytes) const { killedWhileWriting(Mode::Add, bytes); }
};
}  // namespace

TEST_F(SafeOutputFileTest, AWholeFileTakesItsPlaceAndLessLeavesTheEarlierOneByteForByte) {
    const struct {
        const char* what;
        Mode mode;
        bool whole;
        std::string after;
    } cases[] = {
        {"replace, whole", Mode::Replace, true, "NEW\r\n"},
        {"replace, less", Mode::Replace, false, "EARLIER\r\n"},
        {"add, whole", Mode::Add, true, "EARLIER\r\nNEW\r\n"},
        {"add, less", Mode::Add, false, "EARLIER\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFileBytes(target, "EARLIER\r\n");
        QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
        SafeOutputFile f;
        f.open(target, as(c.mode));
        EXPECT_FALSE(f.createdTarget());
        f.write("NEW\r\n");
        f.flush();
        // Until the end the earlier file is what it was (or only grows, when added to).
        EXPECT_EQ(ReadFileBytes(target), c.mode == Mode::Replace ? "EARLIER\r\n" : "EARLIER\r\nNEW\r\n");
        if (c.whole)
            f.commit();
        else
            f.abandon();
        EXPECT_FALSE(f.isOpen());
        EXPECT_EQ(ReadFileBytes(target), c.after);
        EXPECT_EQ(modeOf(target), mode_t(0640));  // a replaced file keeps its mode
        EXPECT_EQ(names(), QStringList{QStringLiteral("report.txt")});
    }
}

TEST_F(SafeOutputFileTest, WithNoEarlierFileWhatArrivedIsKeptUnderTheName) {
    for (Mode mode : {Mode::Replace, Mode::Add}) {
        for (bool whole : {true, false}) {
            SCOPED_TRACE(std::string(mode == Mode::Add ? "add" : "replace") + (whole ? " whole" : " less"));
            QFile::remove(target);
            {
                SafeOutputFile f;
                f.open(target, as(mode));
                EXPECT_TRUE(f.createdTarget());
                f.write("PART\r\n");
                // Written beside, not yet under the name.
                EXPECT_FALSE(QFileInfo::exists(target));
                if (whole) f.commit();
                // Otherwise the destructor abandons it.
            }
            EXPECT_EQ(ReadFileBytes(target), "PART\r\n");
            EXPECT_EQ(names(), QStringList{QStringLiteral("report.txt")});
        }
    }
}

// A report of which nothing arrived leaves no empty file that would pass for it.
TEST_F(SafeOutputFileTest, WithNoEarlierFileAndNothingWrittenNoFileIsLeft) {
    WriteFileBytes(path(QStringLiteral("other.txt")), "OTHER\r\n");
    for (Mode mode : {Mode::Replace, Mode::Add}) {
        SCOPED_TRACE(mode == Mode::Add ? "add" : "replace");
        QFile::remove(target);
        {
            SafeOutputFile f;
            f.open(target, as(mode));
            EXPECT_TRUE(f.createdTarget());
            f.abandon();
        }
        EXPECT_EQ(names(), QStringList{QStringLiteral("other.txt")});
        EXPECT_EQ(ReadFileBytes(path(QStringLiteral("other.txt"))), "OTHER\r\n");
    }
}

TEST_F(SafeOutputFileTest, WhatWasFlushedIsOnTheDiskBesideTheTarget) {
    WriteFileBytes(target, "EARLIER\r\n");
    SafeOutputFile f;
    f.open(target, as(Mode::Replace));
    f.write("BLOCK 1\r\n");
    f.flush();
    // A run killed now leaves the earlier file and, beside it, what had arrived
    // (and the lock of the name, which the next run clears).
    QStringList all = names();
    all.removeIf([](const QString& n) { return n.startsWith(QLatin1String(".swlk-")); });
    ASSERT_EQ(all.size(), 2) << all.join(' ').toStdString();
    const QString beside = path(all.at(0) == QLatin1String("report.txt") ? all.at(1) : all.at(0));
    EXPECT_EQ(ReadFileBytes(beside), "BLOCK 1\r\n");
    EXPECT_EQ(modeOf(beside), mode_t(0600));
    f.abandon();
    EXPECT_EQ(ReadFileBytes(target), "EARLIER\r\n");
}

TEST_F(SafeOutputFileTest, NoLinkIsWrittenThrough) {
    const QString victim = path(QStringLiteral("victim.txt"));
    WriteFileBytes(victim, "NOT YOURS\r\n");
    // A link planted where the file beside the target would go is passed over.
    ASSERT_TRUE(QFile::link(victim, target + QStringLiteral(".part")));
    {
        SafeOutputFile f;
        f.open(target, as(Mode::Replace));
        f.write("NEW\r\n");
        f.commit();
    }
    EXPECT_EQ(ReadFileBytes(target), "NEW\r\n");
    EXPECT_EQ(ReadFileBytes(victim), "NOT YOURS\r\n");

}

// A link at the target is followed only where it and the file it names are
// the user's own (as the kernel's protected links are in a shared folder,
// wherever it stands); a followed link stays a link and its file is written
// beside itself. Any other link is refused before anything is written, and
// link and file stay as they were.
TEST_F(SafeOutputFileTest, ALinkIsFollowedOnlyWhereItAndItsFileAreTheUsersOwn) {
    if (::geteuid() != 0) GTEST_SKIP() << "files of another user need root";
    const uid_t other = 65534;
    const struct {
        const char* what;
        bool linkMine, fileMine, fileThere, viaOtherLink;
    } cases[] = {
        {"link and file mine", true, true, true, false},
        {"my link naming nothing yet", true, true, false, false},
        {"my link, another user's file", true, false, true, false},
        {"another user's link, my file", false, true, true, false},
        {"another user's link and file", false, false, true, false},
        {"my link through another user's link to my file", true, true, true, true},
    };
    // A folder of the user's own, and one that every user writes (sticky, as /tmp).
    const QString own = path(QStringLiteral("own")), shared = path(QStringLiteral("shared"));
    ASSERT_TRUE(QDir().mkdir(own) && QDir().mkdir(shared));
    ASSERT_EQ(::chmod(QFile::encodeName(shared).constData(), 01777), 0);
    for (const QString& folder : {own, shared}) {
        for (const Mode mode : {Mode::Replace, Mode::Add}) {
            for (const auto& c : cases) {
                SCOPED_TRACE(std::string(c.what) + (mode == Mode::Add ? ", adding" : ", replacing") +
                             (folder == shared ? ", shared folder" : ""));
                QTemporaryDir elsewhere;
                const QString file = elsewhere.filePath(QStringLiteral("theirs.txt"));
                const QByteArray nativeFile = QFile::encodeName(file);
                if (c.fileThere) {
                    WriteFileBytes(file, "EARLIER\r\n");
                    ASSERT_EQ(::chmod(nativeFile.constData(), 0640), 0);
                    if (!c.fileMine) {
                        ASSERT_EQ(::chown(nativeFile.constData(), other, other), 0);
                    }
                }
                QString named = file;
                if (c.viaOtherLink) {
                    named = elsewhere.filePath(QStringLiteral("between"));
                    ASSERT_TRUE(QFile::link(file, named));
                    ASSERT_EQ(::lchown(QFile::encodeName(named).constData(), other, other), 0);
                }
                const QString link = folder + QStringLiteral("/report.txt");
                QFile::remove(link);
                ASSERT_TRUE(QFile::link(named, link));
                if (!c.linkMine) {
                    ASSERT_EQ(::lchown(QFile::encodeName(link).constData(), other, other), 0);
                }
                const bool followed = c.linkMine && c.fileMine && !c.viaOtherLink;

                SafeOutputFile f;
                if (!followed) {
                    for (const auto& attempt : std::initializer_list<std::function<void()>>{
                             [&] { SafeOutputFile::check(link, as(mode)); }, [&] { f.open(link, as(mode)); }}) {
                        try {
                            attempt();
                            ADD_FAILURE() << "written through another user's link";
                        } catch (const PcFileError& e) {
                            EXPECT_EQ(e.description, link + QStringLiteral(" is a link to a file of another user, not written"));
                        }
                    }
                    EXPECT_EQ(ReadFileBytes(file), "EARLIER\r\n");
                    EXPECT_EQ(QFileInfo(link).symLinkTarget(), QFileInfo(named).absoluteFilePath());
                    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                              QStringList{QStringLiteral("report.txt")});
                    continue;
                }
                SafeOutputFile::check(link, as(mode));
                f.open(link, as(mode));
                f.write("NEW\r\n");
                f.commit();
                EXPECT_EQ(f.path(), link);
                EXPECT_TRUE(QFileInfo(link).isSymLink());
                EXPECT_EQ(ReadFileBytes(file), c.fileThere && mode == Mode::Add ? "EARLIER\r\nNEW\r\n" : "NEW\r\n");
                if (c.fileThere) {
                    EXPECT_EQ(modeOf(file), mode_t(0640));
                }
                EXPECT_EQ(QDir(elsewhere.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                          QStringList{QStringLiteral("theirs.txt")});
            }
        }
    }
}

TEST_F(SafeOutputFileTest, ANewOnlyFileForItsOwnerRefusesATakenName) {
    SafeOutputFile::Options own;
    own.newOnly = own.ownerOnly = true;
    const QString victim = path(QStringLiteral("victim.txt"));
    WriteFileBytes(victim, "NOT YOURS\r\n");
    const QString planted = path(QStringLiteral("Spwrt.txt"));
    ASSERT_TRUE(QFile::link(victim, planted));
    const QString dangling = path(QStringLiteral("Spwrt001.txt"));
    ASSERT_TRUE(QFile::link(path(QStringLiteral("nowhere")), dangling));
    for (const QString& taken : {planted, dangling, victim}) {
        SCOPED_TRACE(taken.toStdString());
        SafeOutputFile f;
        try {
            SafeOutputFile::check(taken, own);
            ADD_FAILURE() << "a taken name passed the check";
        } catch (const PcFileError& e) {
            EXPECT_EQ(e.number, 58);
            EXPECT_EQ(e.description, QStringLiteral("File already exists"));
        }
        EXPECT_THROW(f.open(taken, own), PcFileError);
    }
    EXPECT_EQ(ReadFileBytes(victim), "NOT YOURS\r\n");
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("nowhere"))));

    // A free name: for the owner alone.
    SafeOutputFile f;
    f.open(path(QStringLiteral("Spwrt002.txt")), own);
    f.write("MINE\r\n");
    f.commit();
    EXPECT_EQ(modeOf(path(QStringLiteral("Spwrt002.txt"))), mode_t(0600));
}

TEST_F(SafeOutputFileTest, TheCheckFindsWhatOpenWouldMeetAndChangesNothing) {
    WriteFileBytes(path(QStringLiteral("readonly.txt")), "KEEP");
    QFile::setPermissions(path(QStringLiteral("readonly.txt")), QFileDevice::ReadOwner);
    QDir(dir.path()).mkdir(QStringLiteral("folder"));
    const bool root = ::geteuid() == 0;
    const struct {
        QString file;
        Mode mode;
        int number;  // 0: no error
    } cases[] = {
        {path(QStringLiteral("missing/out.txt")), Mode::Replace, 76},
        {path(QStringLiteral("readonly.txt/x.txt")), Mode::Replace, 76},
        {path(QStringLiteral("folder")), Mode::Replace, 75},
        {path(QStringLiteral("folder")), Mode::Add, 75},
        {QString(), Mode::Replace, 75},
        {path(QStringLiteral("readonly.txt")), Mode::Replace, root ? 0 : 75},
        {path(QStringLiteral("readonly.txt")), Mode::Add, root ? 0 : 75},
        {path(QStringLiteral("new.txt")), Mode::Add, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        try {
            SafeOutputFile::check(c.file, as(c.mode));
            EXPECT_EQ(c.number, 0);
        } catch (const PcFileError& e) {
            EXPECT_EQ(e.number, c.number);
        }
    }
    EXPECT_EQ(ReadFileBytes(path(QStringLiteral("readonly.txt"))), "KEEP");
    EXPECT_EQ(names(), QStringList{QStringLiteral("readonly.txt")});
}

// Names as long as the file system allows (255 bytes) are written and replaced
// like any other.
TEST_F(SafeOutputFileTest, NamesOfTheLongestLengthAreWrittenAndReplaced) {
    const struct {
        const char* what;
        Mode mode;
        bool earlier;
        bool whole;
        std::string after;
    } cases[] = {
        {"replace an earlier file", Mode::Replace, true, true, "NEW\r\n"},
        {"replace, report ends early", Mode::Replace, true, false, "EARLIER\r\n"},
        {"a new file", Mode::Replace, false, true, "NEW\r\n"},
        {"a new file, report ends early", Mode::Replace, false, false, "NEW\r\n"},
        {"add to a new file", Mode::Add, false, true, "NEW\r\n"},
    };
    for (int bytes = 251; bytes <= 255; ++bytes) {
        const QString name = QString(bytes - 4, QLatin1Char('r')) + QStringLiteral(".txt");
        const QString file = path(name);
        for (const auto& c : cases) {
            SCOPED_TRACE(std::to_string(bytes) + " bytes, " + c.what);
            QFile::remove(file);
            if (c.earlier) WriteFileBytes(file, "EARLIER\r\n");
            try {
                SafeOutputFile f;
                f.open(file, as(c.mode));
                f.write("NEW\r\n");
                f.flush();
                if (c.whole)
                    f.commit();
                else
                    f.abandon();
            } catch (const PcFileError& e) {
                ADD_FAILURE() << "error " << e.number << " " << e.description.toStdString();
            }
            EXPECT_EQ(ReadFileBytes(file), c.after);
            EXPECT_EQ(names(), QStringList{name});
        }
        QFile::remove(file);
    }
}

// Runs that were killed while they wrote leave their files beside the target.
// However many there are, the next run writes, and what it clears away is only
// what such runs left: no file of the user's, no link, nothing another run
// still writes.
TEST_F(SafeOutputFileTest, WhatKilledRunsLeftNeverStopsTheNextAndOnlyThatIsCleared) {
    // The runs' time of day stands still, however long the forks take: what
    // they leave is as new to the next of them as to the first.
    const time_t now = ::time(nullptr);
    const auto runAt = [now](SafeOutputFile::Folders& run, Mode mode) {
        run.now = [now] { return now; };
        SafeOutputFile::Options o = as(mode);
        o.folders = &run;
        return o;
    };
    WriteFileBytes(target, "EARLIER\r\n");
    constexpr int kKilledRuns = 120;
    for (int i = 0; i < kKilledRuns; ++i) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // A run that dies between two reply blocks: nothing is abandoned.
            int status = 0;
            try {
                auto* run = new SafeOutputFile::Folders;
                auto* f = new SafeOutputFile;
                f->open(target, runAt(*run, Mode::Replace));
                f->write("BLOCK 1\r\n");
                f->flush();
            } catch (...) {
                status = 1;
            }
            ::_exit(status);
        }
        int status = -1;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "killed run " << i << " could not write";
    }
    QStringList left = names();
    left.removeAll(QStringLiteral("report.txt"));
    // Each left its part; the lock of the name they shared stays once.
    ASSERT_EQ(left.size(), kKilledRuns + 1);

    // Beside them: the user's own files, a link and a folder named like a
    // left-over file, and a run that is still writing.
    const QString victim = path(QStringLiteral("victim.txt"));
    WriteFileBytes(victim, "NOT YOURS\r\n");
    const QString lookalike = left.first().chopped(1) + QLatin1Char('x');
    const QString linkName = left.first().left(6) + QStringLiteral("linklinklink.tmp");
    const QString folderName = left.first().left(6) + QStringLiteral("folderfolder.tmp");
    ASSERT_EQ(linkName.size(), left.first().size());
    WriteFileBytes(path(QStringLiteral("report.txt.part")), "USER'S\r\n");
    WriteFileBytes(path(lookalike), "USER'S\r\n");
    ASSERT_TRUE(QFile::link(victim, path(linkName)));
    ASSERT_TRUE(QDir(dir.path()).mkdir(folderName));
    const QString other = path(QStringLiteral("other.txt"));
    WriteFileBytes(other, "OTHER EARLIER\r\n");
    SafeOutputFile::Folders otherRun;
    SafeOutputFile running;
    running.open(other, runAt(otherRun, Mode::Replace));
    running.write("OTHER NEW\r\n");
    running.flush();
    QStringList kept = names();
    for (const QString& name : left) kept.removeAll(name);
    // All of them, the killed runs' and the others, are an hour old by the runs' time.
    for (const QString& name : names()) {
        const timespec hourAgo[2] = {{now - 3600, 0}, {now - 3600, 0}};
        ::utimensat(AT_FDCWD, QFile::encodeName(path(name)).constData(), hourAgo, AT_SYMLINK_NOFOLLOW);
    }

    SafeOutputFile::Folders nextRun;
    SafeOutputFile f;
    f.open(target, runAt(nextRun, Mode::Replace));
    f.write("NEW\r\n");
    f.commit();
    EXPECT_EQ(ReadFileBytes(target), "NEW\r\n");
    EXPECT_EQ(names(), kept);
    EXPECT_EQ(ReadFileBytes(victim), "NOT YOURS\r\n");
    EXPECT_TRUE(QFileInfo(path(linkName)).isSymLink());

    running.commit();
    EXPECT_EQ(ReadFileBytes(other), "OTHER NEW\r\n");
}

// Two writers of one file at once (two runs, or two reports of one run): the
// second waits, within its limit, and is then refused; the first writes the
// file as if alone. Nothing is mixed in and nothing cut.
TEST_F(SafeOutputFileTest, ASecondWriterOfTheSameFileWaitsThenIsRefused) {
    for (Mode first : {Mode::Replace, Mode::Add}) {
        for (Mode second : {Mode::Replace, Mode::Add}) {
            SCOPED_TRACE(std::to_string(int(first)) + "/" + std::to_string(int(second)));
            WriteFileBytes(target, "EARLIER\r\n");
            SafeOutputFile a;
            a.open(target, as(first));
            a.write("FIRST\r\n");
            a.flush();
            qint64 waited = 0;
            SafeOutputFile::Options o = as(second);
            o.lockWaitMs = 3000;
            o.pause = [&](qint64 ms) { waited += ms; };
            SafeOutputFile b;
            try {
                b.open(target, o);
                ADD_FAILURE() << "a second writer of the file";
            } catch (const PcFileError& e) {
                EXPECT_EQ(e.number, 70);
                EXPECT_EQ(e.description, target + QStringLiteral(" is being written by another program"));
            }
            EXPECT_GE(waited, 3000);
            EXPECT_LT(waited, 3500);
            EXPECT_FALSE(b.isOpen());
            a.write("MORE\r\n");
            a.commit();
            EXPECT_EQ(ReadFileBytes(target), first == Mode::Add ? "EARLIER\r\nFIRST\r\nMORE\r\n" : "FIRST\r\nMORE\r\n");
            EXPECT_EQ(names(), QStringList{QStringLiteral("report.txt")});
        }
    }
}

// Once the first writer is done, the second goes ahead with the file as the
// first left it.
TEST_F(SafeOutputFileTest, AWaitingWriterGoesOnWithWhatTheFirstLeft) {
    WriteFileBytes(target, "EARLIER\r\n");
    SafeOutputFile a;
    a.open(target, as(Mode::Add));
    a.write("FIRST\r\n");
    SafeOutputFile::Options o = as(Mode::Add);
    o.pause = [&](qint64) {
        if (a.isOpen()) a.commit();
    };
    SafeOutputFile b;
    b.open(target, o);
    b.write("SECOND\r\n");
    b.commit();
    EXPECT_EQ(ReadFileBytes(target), "EARLIER\r\nFIRST\r\nSECOND\r\n");
    EXPECT_EQ(names(), QStringList{QStringLiteral("report.txt")});
}

// A name chosen because it was free is never put over another's file: one
// that another writer holds, or that exists by now, is passed over for the
// next free one.
TEST_F(SafeOutputFileTest, AFreeNameThatIsTakenMeanwhileGivesWayToTheNextFreeOne) {
    const QString chosen = path(QStringLiteral("Spwrt.txt"));
    SafeOutputFile::Options o;
    o.nextFreeName = [&](const QSet<QString>& passedOver) {
        for (int n = 1;; ++n) {
            const QString c = path(QStringLiteral("Spwrt%1.txt").arg(n, 3, 10, QLatin1Char('0')));
            if (!QFileInfo::exists(c) && !passedOver.contains(c)) return c;
        }
    };
    // A read-only file that took the name meanwhile is passed over too.
    WriteFileBytes(path(QStringLiteral("late.txt")), "READ ONLY\r\n");
    QFile::setPermissions(path(QStringLiteral("late.txt")), QFileDevice::ReadOwner);
    SafeOutputFile::Options late;
    late.nextFreeName = [&](const QSet<QString>&) { return path(QStringLiteral("late001.txt")); };
    SafeOutputFile lateFile;
    lateFile.open(path(QStringLiteral("late.txt")), late);
    EXPECT_EQ(lateFile.path(), path(QStringLiteral("late001.txt")));
    lateFile.discard();
    EXPECT_EQ(ReadFileBytes(path(QStringLiteral("late.txt"))), "READ ONLY\r\n");
    QFile::remove(path(QStringLiteral("late.txt")));
    // Another writer holds it.
    SafeOutputFile other;
    other.open(chosen, as(Mode::Replace));
    SafeOutputFile f;
    f.open(chosen, o);
    EXPECT_EQ(f.path(), path(QStringLiteral("Spwrt001.txt")));
    f.write("MINE\r\n");
    // Meanwhile another program made the next name: it keeps it.
    WriteFileBytes(path(QStringLiteral("Spwrt001.txt")), "THEIRS\r\n");
    f.commit();
    EXPECT_EQ(f.path(), path(QStringLiteral("Spwrt002.txt")));
    other.write("OTHER\r\n");
    other.commit();
    EXPECT_EQ(ReadFileBytes(chosen), "OTHER\r\n");
    EXPECT_EQ(ReadFileBytes(path(QStringLiteral("Spwrt001.txt"))), "THEIRS\r\n");
    EXPECT_EQ(ReadFileBytes(path(QStringLiteral("Spwrt002.txt"))), "MINE\r\n");
    EXPECT_EQ(names(), (QStringList{QStringLiteral("Spwrt.txt"), QStringLiteral("Spwrt001.txt"),
                                    QStringLiteral("Spwrt002.txt")}));
}

// A run killed a few seconds ago left its file beside the target: the next
// run clears it at once, unless another run is writing in that folder (the
// file may be that one's), and the earlier file survives either way.
TEST_F(SafeOutputFileTest, WhatARunKilledMomentsAgoLeftBesideGoesAtTheNextRun) {
    for (bool otherWriting : {false, true}) {
        SCOPED_TRACE(otherWriting ? "another run writes there" : "no other writer");
        WriteFileBytes(target, "EARLIER\r\n");
        std::optional<SafeOutputFile> running;
        if (otherWriting) {
            running.emplace();
            running->open(path(QStringLiteral("running.txt")), as(Mode::Replace));
        }
        const QStringList before = names();
        killedWhileWriting(Mode::Replace, "PART OF A REPORT\r\n");
        QStringList left = names();
        left.removeIf([&](const QString& n) { return !n.startsWith(QLatin1String(".swdl-")) || before.contains(n); });
        ASSERT_EQ(left.size(), 1);
        const timespec killedAt[2] = {{::time(nullptr) - 5, 0}, {::time(nullptr) - 5, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path(left.first())).constData(), killedAt, 0), 0);

        SafeOutputFile next;
        next.open(path(QStringLiteral("other.txt")), as(Mode::Replace));
        next.write("OTHER\r\n");
        next.commit();
        EXPECT_EQ(ReadFileBytes(target), "EARLIER\r\n");
        EXPECT_EQ(names().contains(left.first()), otherWriting);
        if (running) running->commit();
        running.reset();
        QFile::remove(path(QStringLiteral("running.txt")));
        QFile::remove(path(QStringLiteral("other.txt")));
        QFile::remove(path(left.first()));
        EXPECT_EQ(names(), QStringList{QStringLiteral("report.txt")});
    }
}

// A run killed while it adds to a file: the next run that writes into that
// folder, whatever its file, first cuts the file back to what it was.
TEST_F(SafeOutputFileTest, AnAdditionThatAKilledRunLeftIsCutBackByTheNextRunInTheFolder) {
    for (const char* next : {"report.txt", "other.txt"}) {
        SCOPED_TRACE(next);
        WriteFileBytes(target, "EARLIER\r\n");
        killedWhileAdding("14 OF 40 PAGES\r\n");
        ASSERT_EQ(ReadFileBytes(target), "EARLIER\r\n14 OF 40 PAGES\r\n");
        SafeOutputFile f;
        f.open(path(QString::fromLatin1(next)), as(Mode::Add));
        EXPECT_EQ(ReadFileBytes(target), "EARLIER\r\n");
        f.write("SECOND\r\n");
        f.commit();
        EXPECT_EQ(ReadFileBytes(path(QString::fromLatin1(next))),
                  std::string(next) == "report.txt" ? "EARLIER\r\nSECOND\r\n" : "SECOND\r\n");
        QFile::remove(path(QStringLiteral("other.txt")));
        EXPECT_EQ(names(), QStringList{QStringLiteral("report.txt")});
    }
}

// A file the user may write in a folder the user may not, so that no lock file
// can go beside it: a run killed while it adds to it is cut back all the same
// by the next run, wherever that one writes, from the record kept in the
// user's own folder.
TEST_F(SafeOutputFileTest, AnAdditionInAFolderThatTakesNoLockFileIsCutBackAllTheSame) {
    const bool root = ::geteuid() == 0;
    const QString own = path(QStringLiteral("own"));
    ASSERT_TRUE(QDir().mkpath(own));
    // Root stands for a user who may write the file but not its folder.
    if (root) {
        ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
        ASSERT_EQ(::chown(QFile::encodeName(own).constData(), 65534, 65534), 0);
    }
    // Runs `step` as that user, with the user's own folders under `own`.
    const auto asTheUser = [&](const std::function<void()>& step) {
        const pid_t child = ::fork();
        if (child == 0) {
            if (root && (::setgroups(0, nullptr) != 0 || ::setresgid(65534, 65534, 65534) != 0 ||
                         ::setresuid(65534, 65534, 65534) != 0))
                ::_exit(3);
            qputenv("XDG_CACHE_HOME", QFile::encodeName(own + QStringLiteral("/cache")));
            try {
                step();
            } catch (...) {
                ::_exit(2);
            }
            ::_exit(0);
        }
        int status = -1;
        ::waitpid(child, &status, 0);
        return status;
    };
    // The longest path the system takes: its folders of 200 characters each.
    QString longest = path(QStringLiteral("long"));
    const QString fileName = QStringLiteral("/daily.txt");
    while (longest.size() + 1 + 200 + fileName.size() <= 4095) longest += QLatin1Char('/') + QString(200, QLatin1Char('d'));
    longest += QLatin1Char('/') + QString(4095 - longest.size() - 1 - fileName.size(), QLatin1Char('e'));
    const struct {
        const char* what;
        QString folder;
    } cases[] = {{"a folder", path(QStringLiteral("closed"))}, {"a path as long as the system allows", longest}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString closed = c.folder;
        ASSERT_TRUE(QDir().mkpath(closed));
        const QString daily = closed + fileName;
        ASSERT_EQ(QFile::encodeName(daily).size(), c.folder == longest ? 4095 : daily.size());
        WriteFileBytes(daily, "EARLIER\r\n");
        if (root)
            ASSERT_EQ(::chown(QFile::encodeName(daily).constData(), 65534, 65534), 0);
        else
            ASSERT_EQ(::chmod(QFile::encodeName(closed).constData(), 0555), 0);
        const int killed = asTheUser([&] {
            auto* f = new SafeOutputFile;
            f->open(daily, as(Mode::Add));
            f->write("14 OF 40 PAGES\r\n");
            f->flush();
            ::kill(::getpid(), SIGKILL);
        });
        ASSERT_TRUE(WIFSIGNALED(killed)) << killed;
        ASSERT_EQ(ReadFileBytes(daily), "EARLIER\r\n14 OF 40 PAGES\r\n");
        EXPECT_EQ(QDir(closed).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("daily.txt")})
            << "the folder took a lock file after all";
        const int next = asTheUser([&] {
            SafeOutputFile f;
            f.open(own + QStringLiteral("/other.txt"), as(Mode::Replace));
            f.write("SECOND\r\n");
            f.commit();
        });
        EXPECT_TRUE(WIFEXITED(next) && WEXITSTATUS(next) == 0) << next;
        EXPECT_EQ(ReadFileBytes(daily), "EARLIER\r\n");
        EXPECT_EQ(ReadFileBytes(own + QStringLiteral("/other.txt")), "SECOND\r\n");
        ::chmod(QFile::encodeName(closed).constData(), 0755);
    }
}

// What a killed run's record names is cut back only while the name holds that
// same file: one put in its place since then is left alone.
TEST_F(SafeOutputFileTest, AKilledRunsRecordLeavesAFileThatTookTheNameAlone) {
    WriteFileBytes(target, "EARLIER\r\n");
    killedWhileAdding("PART OF A REPORT\r\n");
    // The user puts another file in its place.
    const QString other = path(QStringLiteral("theirs.txt"));
    WriteFileBytes(other, "THE USER'S OWN, LONGER THAN EARLIER\r\n");
    ASSERT_TRUE(QFile::remove(target));
    ASSERT_TRUE(QFile::rename(other, target));
    SafeOutputFile f;
    f.open(path(QStringLiteral("next.txt")), as(Mode::Replace));
    f.commit();
    EXPECT_EQ(ReadFileBytes(target), "THE USER'S OWN, LONGER THAN EARLIER\r\n");
    EXPECT_EQ(names(), (QStringList{QStringLiteral("next.txt"), QStringLiteral("report.txt")}));
}

// What stands at a name's lock that is not a lock of this user's own (a file
// another user put there, in a folder several users write; a second name of
// one of the user's files) is never taken over: nothing it records is cut,
// nothing of it is emptied, and the file it locks is refused.
TEST_F(SafeOutputFileTest, ALockFileThatIsNotTheUsersOwnIsNeverTakenOver) {
    const std::string earlier = "EARLIER, THE USER'S OWN\r\n";
    WriteFileBytes(target, earlier);
    QString lockName;
    {
        SafeOutputFile probe;
        probe.open(target, as(Mode::Add));
        for (const QString& n : names())
            if (n.startsWith(QStringLiteral(".swlk-"))) lockName = n;
        probe.abandon();
    }
    ASSERT_FALSE(lockName.isEmpty());
    const QByteArray lock = QFile::encodeName(path(lockName));
    const QString precious = path(QStringLiteral("precious.txt"));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &st), 0);
    // A record that would cut the whole file away.
    const std::string record = "add " + std::to_string(st.st_dev) + ' ' + std::to_string(st.st_ino) + " 0 0 " +
                               std::to_string(st.st_size) + ' ' +
                               QByteArray::fromStdString(earlier.substr(0, 16)).toHex().toStdString() +
                               "\nreport.txt";
    const struct {
        const char* what;
        bool anotherUser;
    } cases[] = {{"another user's record", true}, {"a second name of another file", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.anotherUser && ::geteuid() != 0) continue;  // only root gives a file to another user
        WriteFileBytes(precious, record);
        if (c.anotherUser) {
            ASSERT_TRUE(QFile::rename(precious, QFile::decodeName(lock)));
            ASSERT_EQ(::chmod(lock.constData(), 0666), 0);
            ASSERT_EQ(::chown(lock.constData(), 65534, 65534), 0);
        } else {
            ASSERT_EQ(::link(QFile::encodeName(precious).constData(), lock.constData()), 0);
        }
        for (Mode mode : {Mode::Add, Mode::Replace}) {
            SafeOutputFile::Options o = as(mode);
            o.lockWaitMs = 300;
            o.pause = [](qint64) {};
            SafeOutputFile f;
            try {
                f.open(target, o);
                ADD_FAILURE() << "took a lock that is not its own";
                f.abandon();
            } catch (const PcFileError& e) {
                EXPECT_EQ(e.description, target + QStringLiteral(" is being written by another program"));
            }
            EXPECT_EQ(ReadFileBytes(target), earlier);
            EXPECT_EQ(ReadFileBytes(QFile::decodeName(lock)), record);
        }
        ASSERT_EQ(::unlink(lock.constData()), 0);
        QFile::remove(precious);
    }
    EXPECT_EQ(names(), QStringList{QStringLiteral("report.txt")});
}

// A file the user wrote into the same name in place (a shell's ">", an editor
// that saves into the file it opened) after a run was killed while adding to
// it is the user's: the killed run's record does not cut it.
TEST_F(SafeOutputFileTest, AKilledRunsRecordLeavesAFileTheUserRewroteInPlaceAlone) {
    const std::string partial = "PART OF A REPORT\r\n";
    const struct {
        const char* what;
        std::string rewritten;
    } cases[] = {{"longer than the addition", "THE USER'S OWN, " + std::string(300, 'X') + "\r\n"},
                 {"as long as the addition", std::string(9 + partial.size() - 2, 'U') + "\r\n"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFileBytes(target, "EARLIER\r\n");
        killedWhileAdding(partial);
        ASSERT_EQ(ReadFileBytes(target), "EARLIER\r\n" + partial);
        WriteFileBytes(target, c.rewritten);
        SafeOutputFile f;
        f.open(path(QStringLiteral("next.txt")), as(Mode::Replace));
        f.commit();
        EXPECT_EQ(ReadFileBytes(target), c.rewritten);
        EXPECT_EQ(names(), (QStringList{QStringLiteral("next.txt"), QStringLiteral("report.txt")}));
        QFile::remove(path(QStringLiteral("next.txt")));
    }
}

// A name chosen because it was free that anything took meanwhile, a pipe or
// a folder included, is passed over for the next free one and stays as it was.
TEST_F(SafeOutputFileTest, AFreeNameThatAnythingTookMeanwhileIsPassedOver) {
    const struct {
        const char* name;
        mode_t type;
    } cases[] = {{"pipe.txt", S_IFIFO}, {"socket.txt", S_IFSOCK}, {"folder.txt", S_IFDIR}, {"dangling.txt", S_IFLNK}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString taken = path(QString::fromLatin1(c.name));
        const QByteArray p = QFile::encodeName(taken);
        ASSERT_EQ(c.type == S_IFDIR   ? ::mkdir(p.constData(), 0700)
                  : c.type == S_IFLNK ? ::symlink("/nonexistent/x", p.constData())
                                      : ::mknod(p.constData(), c.type | 0600, 0),
                  0);
        SafeOutputFile::Options o;
        o.nextFreeName = [&](const QSet<QString>&) { return taken + QStringLiteral(".001"); };
        SafeOutputFile f;
        f.open(taken, o);
        f.write("MINE\r\n");
        f.commit();
        EXPECT_EQ(f.path(), taken + QStringLiteral(".001"));
        EXPECT_EQ(ReadFileBytes(taken + QStringLiteral(".001")), "MINE\r\n");
        struct stat st {};
        ASSERT_EQ(::lstat(p.constData(), &st), 0);
        EXPECT_EQ(st.st_mode & S_IFMT, c.type);
    }
}

// Only plain files are written: a pipe, a socket, a folder or a device at the
// name is refused by the check and by open, which never blocks on it, and it
// stays what it was.
void ExpectRefusedAndKept(const QString& special, mode_t type, const char* what) {
    for (Mode mode : {Mode::Replace, Mode::Add}) {
        SCOPED_TRACE(special.toStdString() + (mode == Mode::Add ? " add" : " replace"));
        SafeOutputFile::Options o;
        o.mode = mode;
        try {
            SafeOutputFile::check(special, o);
            ADD_FAILURE() << "passed the check";
        } catch (const PcFileError& e) {
            EXPECT_EQ(e.number, 75);
            EXPECT_EQ(e.description,
                      special + QStringLiteral(" is ") + QString::fromLatin1(what) + QStringLiteral(", not a plain file"));
        }
        SafeOutputFile f;
        EXPECT_THROW(f.open(special, o), PcFileError);
        struct stat st {};
        ASSERT_EQ(::lstat(QFile::encodeName(special).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & S_IFMT, type);
    }
}

TEST_F(SafeOutputFileTest, APipeASocketOrAFolderIsRefusedAndStaysAsItWas) {
    const struct {
        const char* name;
        mode_t type;
        const char* what;
    } cases[] = {{"pipe", S_IFIFO, "a pipe (FIFO)"}, {"socket", S_IFSOCK, "a socket"}, {"folder", S_IFDIR, "a folder"}};
    for (const auto& c : cases) {
        const QByteArray p = QFile::encodeName(path(QString::fromLatin1(c.name)));
        ASSERT_EQ(c.type == S_IFDIR ? ::mkdir(p.constData(), 0700) : ::mknod(p.constData(), c.type | 0600, 0), 0);
        ExpectRefusedAndKept(path(QString::fromLatin1(c.name)), c.type, c.what);
    }
    EXPECT_EQ(names(), (QStringList{QStringLiteral("pipe"), QStringLiteral("socket")}));
}

TEST_F(SafeOutputFileTest, ADeviceNodeIsRefusedAndStaysAsItWas) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root makes a device node";
    const QString device = path(QStringLiteral("null"));
    ASSERT_EQ(::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0600, makedev(1, 3)), 0);
    ExpectRefusedAndKept(device, S_IFCHR, "a device");
}
