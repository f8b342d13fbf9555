#pragma once
#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstdio>

#include "SafeOutputFile.h"

// A whole document saved over its target through SafeOutputFile (written
// beside it, in its place only when complete, the replaced file's mode
// kept). Besides: a target that is a link of the user's own is saved into
// the file it names (another user's link is refused, SafeOutputFile::followLinks);
// a replaced file keeps its owner too, where we may give it; a file made
// read-only is not replaced (created() is false); and a save that does not
// complete leaves nothing, also where there was no earlier file.
class ReplacementFile {
public:
    explicit ReplacementFile(const QString& target);
    ~ReplacementFile();  // a part that did not take the target's place is removed
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    bool created() const { return file_.isOpen(); }
    // Not created because the target is a file the user may not replace.
    bool targetReadOnly() const { return readOnly_; }
    // Why it was not created ("... is being written by another program",
    // "... is a pipe (FIFO), not a plain file"); empty when it was.
    const QString& whyNot() const { return whyNot_; }
    // A stream on the part, for writing; the caller closes it. Null when not created.
    FILE* take();
    // The part's name, for a writer that opens it by name.
    QByteArray partName() const { return QFile::encodeName(file_.partPath()); }
    // Puts the complete part in the target's place; false when it could not.
    bool commit();

private:
    QByteArray target_;
    SafeOutputFile file_;
    bool readOnly_ = false;
    QString whyNot_;
};

// "Cannot create 'path'." with the reason, when there is one.
QString CannotCreate(const QString& target, const ReplacementFile& file);

// What a save says when its target is a file the user may not replace.
QString ReadOnlyTarget(const QString& target);
