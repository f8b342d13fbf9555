#pragma once
#include <QString>
#include <memory>

#include "Codec.h"
#include "PcFileName.h"
#include "SafeOutputFile.h"

// One part of a report written as its own file for an attachment.
class PartFile {
public:
    virtual ~PartFile() = default;
    // width: the report's record width code (" 80", "132", "198", "990").
    virtual bool open(const QString& path, const QString& width) = 0;
    virtual void line(const QString& text) = 0;
    virtual void newPage() = 0;
    // False when the file is not complete on disk.
    virtual bool close() = 0;
    virtual QString error() const = 0;
    // The name written: the one asked for, or the next free one when another
    // run took that meanwhile.
    virtual QString path() const = 0;
};

// How a part file is written: it lives in the work folder, private to its
// owner, under a name found free that it never puts over another's file.
inline SafeOutputFile::Options PartFileOptions(const QString& path) {
    SafeOutputFile::Options o;
    o.newOnly = o.ownerOnly = true;
    o.nextFreeName = [path](const QSet<QString>& passedOver) { return NextFreeName(path, passedOver); };
    return o;
}

// Runs one step of writing a part; a file error is kept in `error` and the
// part dropped (`drop`). False then.
template <class Step, class Drop>
bool GuardedPartStep(QString& error, Step step, Drop drop) {
    try {
        step();
        return true;
    } catch (const PcFileError& e) {
        error = e.description;
        drop();
        return false;
    }
}

// Text lines in Windows-1252, as the work files are, ended by CR LF; a page break writes nothing.
class TextPartFile : public PartFile {
public:
    explicit TextPartFile(bool rightTrim) : trim_(rightTrim) {}
    bool open(const QString& path, const QString&) override {
        return guarded([&] { file_.open(path, PartFileOptions(path)); });
    }
    void line(const QString& text) override {
        if (!error_.isEmpty()) return;
        QString t = text;
        if (trim_)
            while (t.endsWith(QLatin1Char(' '))) t.chop(1);
        guarded([&] { file_.write(Codec::fromUnicode(t + QStringLiteral("\r\n"))); });
    }
    void newPage() override {}
    bool close() override {
        if (!error_.isEmpty()) return false;
        return guarded([&] { file_.commit(); });
    }
    QString error() const override { return error_; }
    QString path() const override { return file_.path(); }

private:
    template <class F>
    bool guarded(F step) {
        return GuardedPartStep(error_, step, [this] { file_.discard(); });
    }
    SafeOutputFile file_;
    bool trim_;
    QString error_;
};

// A part as a PDF document; its page follows the record width given to open().
std::unique_ptr<PartFile> MakePdfPartFile();
