#pragma once
#include <QSet>
#include <QString>
#include <QtGlobal>
#include <ctime>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <sys/types.h>

// A PC file error with the number and description the messages show, as the
// described run-time errors number them (76 path not found, 75 path/file
// access error, 70 permission denied, 61 disk full, 58 file already exists,
// 53 file not found, ...).
struct PcFileError {
    int number;
    QString description;
};
PcFileError PcFileErrorFromErrno(int err, bool creating);

// An output file that no failure can cost the user what was there before.
//
// Replace: the bytes go to a new file beside the target (same folder, a short
// hidden name of its own drawn at random, created exclusively, never through
// a link, readable by the owner only and locked while it is written), which
// takes the target's name at commit(). abandon() leaves an existing target as
// it was; when there was none, what was written is kept under the target's
// name (if anything was written at all). Such files that a killed run left in the folder (ours, unlocked,
// unchanged for a few seconds with no other writer in the folder, else for ten
// minutes) are removed at a run's first open there.
// Add: the bytes are appended to the target; abandon() cuts it back to the
// length it had. A target that does not exist yet is written as for Replace.
// The old length is recorded beside the target until the addition is whole,
// so that a run killed half-way is cut back by the next open in that folder
// (only while the file ends as that run left it: one written since is kept).
// A run tidies a folder at its first open there, and again after ten minutes.
//
// One name, one writer: while a file is open its name is locked (a hidden
// lock file beside it, removed at the end), so a second run that would write
// the same file waits a while and then fails ("... is being written by
// another program") instead of mixing its lines in or cutting the file.
// Only plain files are written: a folder, device, pipe or socket at the name
// is refused before anything is opened.
//
// Every writer of a download (text, HTML, XML, PDF) goes through this: open
// once the host has accepted the request, write (the bytes go to the system
// whenever 64 KiB are buffered), then commit() for a whole report or
// abandon() for anything less.
// The settings files, the office programs' documents and the mail drafts are
// saved by it too.
class SafeOutputFile {
public:
    enum class Mode { Replace, Add };
    // What one run knows of the folders it writes in: which it has tidied,
    // and when by its time of day. The run owns it and hands it to each of its
    // writers (Options::folders). A run is one thread.
    class Folders {
    public:
        // Seconds since the epoch; unset: the system's.
        std::function<time_t()> now;

    private:
        friend class SafeOutputFile;
        std::map<std::string, time_t> tidied_;
    };
    struct Options {
        Mode mode = Mode::Replace;
        // The name must be free (the work folder): an existing one, a link
        // included, is error 58, at open and again at commit.
        bool newOnly = false;
        // The finished file is for its owner only (0600); otherwise it takes
        // the mode of the file it replaces, or the usual one of a new file.
        bool ownerOnly = false;
        // Replace: the name was free when the caller chose it, and is taken
        // only while it still is. A name that another run is writing, or that
        // exists by now, is passed over for the one this gives: a name like
        // the first that names no file and none of `passedOver` (absolute
        // paths). path() is the name that was taken.
        std::function<QString(const QSet<QString>& passedOver)> nextFreeName;
        // How long open() waits for another run that writes the same file,
        // and how it pauses between two tries (unset: it sleeps; a window
        // passes its clock's wait, which lets events run).
        qint64 lockWaitMs = 10000;
        std::function<void(qint64 ms)> pause;
        // The run's folders; none: the folder is tidied at every open, by the
        // system's time.
        Folders* folders = nullptr;
    };

    SafeOutputFile() = default;
    ~SafeOutputFile();  // abandons a file still open
    SafeOutputFile(const SafeOutputFile&) = delete;
    SafeOutputFile& operator=(const SafeOutputFile&) = delete;

    // Throws the PcFileError that open() would meet (missing folder, a folder,
    // device, pipe or socket by that name, a read-only file, a folder closed
    // to the user, a taken name). Changes nothing on disk: for a check before
    // the host is asked.
    static void check(const QString& path, const Options& options);
    // Throws when what the name leads to (through links) is there and is no
    // plain file, or is reached through a link that open() would not follow:
    // for a check of its own before the host is asked.
    static void checkPlainFile(const QString& path);
    // The file a name leads to: the name itself, or through its links, each
    // of which, and the file they name, must belong to the user who runs the
    // program; throws "... is a link to a file of another user, not written"
    // otherwise. Changes nothing on disk.
    static QString followLinks(const QString& path);

    void open(const QString& path, const Options& options);  // throws PcFileError
    bool isOpen() const { return fd_ >= 0; }
    // Buffered; throws PcFileError.
    void write(std::string_view bytes);
    // The bytes and a CR LF after them. A line that fits in the buffer goes
    // in without a call: a download writes one for every record.
    void writeLine(std::string_view bytes) {
        if (fd_ >= 0 && buf_.size() + bytes.size() + 2 < kBufferSize) {
            buf_.append(bytes);
            buf_.append("\r\n", 2);
            return;
        }
        writeLineFlushing(bytes);
    }
    // Hands what is buffered to the system, so that a run that is killed
    // keeps it (in the file beside the target for Replace). Throws PcFileError.
    void flush();
    // The whole file is written: it takes its place. After a PcFileError
    // things are as abandon() leaves them, or, when the file could not take
    // the target's name, the target is as it was.
    void commit();
    // Anything less than a whole file: closes without reporting.
    void abandon() noexcept;
    // What was written is no valid file at all (the writer failed half-way):
    // as abandon(), but nothing of it is kept under the target's name.
    void discard() noexcept;

    // No file of the target's name existed at open(): a file that stays
    // there is one this run made.
    bool createdTarget() const { return !existed_; }
    // The target; with nextFreeName, the name that was taken (known once
    // open() and commit() have returned). A followed link's own name.
    const QString& path() const { return linkName_.isEmpty() ? path_ : linkName_; }
    // The file that is written: path(), or the file a followed link names.
    const QString& writtenFile() const { return path_; }
    // Replace: the file beside the target and its descriptor, for a writer
    // of its own (one that opens the file by name, or seeks in it) that
    // leaves nothing in our buffer; commit() then puts it in place.
    const QString& partPath() const { return partPath_; }
    int descriptor() const { return fd_; }

    // The lock file that holds a name while it is written.
    struct NameLock {
        int fd = -1;
        QByteArray path;
    };
    // An addition in progress, as its lock file records it.
    struct AddRecord {
        unsigned long long dev = 0, ino = 0;
        long long original = 0;  // the length to cut back to
        long long low = 0, high = 0;  // the lengths the block being written may leave
        std::string head;  // the addition's first bytes
    };

    // What the buffer holds before it goes to the system.
    static constexpr size_t kBufferSize = 64 * 1024;

private:
    void writeLineFlushing(std::string_view bytes);
    void closeFd() noexcept;
    bool writesBeside() const { return !partPath_.isEmpty(); }
    bool keepsNameFree() const { return options_.mode == Mode::Replace && bool(options_.nextFreeName); }
    // A name that must be free, or is passed over when taken, is never followed.
    static bool followsLinks(const Options& o) { return !o.newOnly && !(o.mode == Mode::Replace && o.nextFreeName); }
    static constexpr int kMaxLinks = 40;
    void releaseName() noexcept;
    // Tidies the folder unless the run did so lately.
    void tidyOnce(const QByteArray& folder, bool fullPaths) const;
    void writeRecord();

    int fd_ = -1;
    std::string buf_;
    QString path_;
    QString linkName_;  // the name given, when it was a link that was followed
    QString partPath_;  // the file beside the target, or empty when appending
    Options options_;
    bool existed_ = false;
    mode_t keepMode_ = 0;      // the mode the finished file takes
    off_t originalSize_ = -1;  // Add: the length to cut back to (-1: not a plain file)
    NameLock lock_;
    AddRecord record_;
    QByteArray recordName_;  // the name the record gives the file
    QSet<QString> passedOver_;
};
