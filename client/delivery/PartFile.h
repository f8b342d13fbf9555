#pragma once
#include <QFile>
#include <QString>
#include <memory>

#include "Codec.h"

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
};

// Text lines in Windows-1252, as the work files are, ended by CR LF; a page break writes nothing.
class TextPartFile : public PartFile {
public:
    explicit TextPartFile(bool rightTrim) : trim_(rightTrim) {}
    bool open(const QString& path, const QString&) override {
        file_.setFileName(path);
        return file_.open(QIODevice::WriteOnly | QIODevice::Truncate);
    }
    void line(const QString& text) override {
        QString t = text;
        if (trim_)
            while (t.endsWith(QLatin1Char(' '))) t.chop(1);
        ok_ = ok_ && file_.write(QByteArray::fromStdString(Codec::fromUnicode(t + QStringLiteral("\r\n")))) >= 0;
    }
    void newPage() override {}
    bool close() override {
        ok_ = ok_ && file_.flush();
        file_.close();
        return ok_ && file_.error() == QFileDevice::NoError;
    }
    QString error() const override { return file_.errorString(); }

private:
    QFile file_;
    bool trim_;
    bool ok_ = true;
};

// A part as a PDF document; its page follows the record width given to open().
std::unique_ptr<PartFile> MakePdfPartFile();
