#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <fcntl.h>
#include <sys/stat.h>
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

TEST_F(SafeOutputFileTest, WhatWasFlushedIsOnTheDiskBesideTheTarget) {
    WriteFileBytes(target, "EARLIER\r\n");
    SafeOutputFile f;
    f.open(target, as(Mode::Replace));
    f.write("BLOCK 1\r\n");
    f.flush();
    // A run killed now leaves the earlier file and, beside it, what had arrived.
    const QStringList all = names();
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

    // A link at the target's own name: replacing puts a file in its place,
    // adding is refused.
    const QString linked = path(QStringLiteral("linked.txt"));
    ASSERT_TRUE(QFile::link(victim, linked));
    SafeOutputFile add;
    try {
        add.open(linked, as(Mode::Add));
        ADD_FAILURE() << "appended through a link";
    } catch (const PcFileError& e) {
        EXPECT_EQ(e.number, 75);
    }
    SafeOutputFile replace;
    replace.open(linked, as(Mode::Replace));
    replace.write("NEW\r\n");
    replace.commit();
    EXPECT_FALSE(QFileInfo(linked).isSymLink());
    EXPECT_EQ(ReadFileBytes(linked), "NEW\r\n");
    EXPECT_EQ(ReadFileBytes(victim), "NOT YOURS\r\n");
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
    WriteFileBytes(target, "EARLIER\r\n");
    constexpr int kKilledRuns = 120;
    for (int i = 0; i < kKilledRuns; ++i) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // A run that dies between two reply blocks: nothing is abandoned.
            int status = 0;
            try {
                auto* f = new SafeOutputFile;
                f->open(target, as(Mode::Replace));
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
    ASSERT_EQ(left.size(), kKilledRuns);
    // They were killed an hour ago.
    const auto age = [this](const QString& name) {
        const timespec hourAgo[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
        ::utimensat(AT_FDCWD, QFile::encodeName(path(name)).constData(), hourAgo, AT_SYMLINK_NOFOLLOW);
    };
    for (const QString& name : left) age(name);

    // Beside them: the user's own files, a link and a folder named like a
    // left-over file, and a run that is still writing, all just as old.
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
    SafeOutputFile running;
    running.open(other, as(Mode::Replace));
    running.write("OTHER NEW\r\n");
    running.flush();
    QStringList kept = names();
    for (const QString& name : left) kept.removeAll(name);
    for (const QString& name : kept) age(name);

    SafeOutputFile f;
    f.open(target, as(Mode::Replace));
    f.write("NEW\r\n");
    f.commit();
    EXPECT_EQ(ReadFileBytes(target), "NEW\r\n");
    EXPECT_EQ(names(), kept);
    EXPECT_EQ(ReadFileBytes(victim), "NOT YOURS\r\n");
    EXPECT_TRUE(QFileInfo(path(linkName)).isSymLink());

    running.commit();
    EXPECT_EQ(ReadFileBytes(other), "OTHER NEW\r\n");
}
