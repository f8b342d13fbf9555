#pragma once
#include <QByteArray>
#include <QString>
#include <cstdio>

// A file written beside its target under a name of its own, created new
// (never a file that is there already: the part of a save cut short, or a
// link to some other file), and put in the target's place only when it is
// complete. An earlier file of the target's name keeps its permissions (and
// its owner, where we may give it); one made read-only is not replaced
// (created() is false); a target that is a link is saved into the file it
// names.
class ReplacementFile {
public:
    explicit ReplacementFile(const QString& target);
    ~ReplacementFile();  // a part that did not take the target's place is removed
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    bool created() const { return !part_.isEmpty(); }
    // Not created because the target is a file the user may not replace.
    bool targetReadOnly() const { return readOnly_; }
    // The part, open for writing; the caller closes it. Null when not created.
    FILE* take();
    // The part's name, for a writer that opens it by name.
    const QByteArray& partName() const { return part_; }
    // Puts the complete part in the target's place; false when it could not.
    bool commit();

private:
    QByteArray target_, part_;
    FILE* file_ = nullptr;
    bool committed_ = false;
    bool readOnly_ = false;
};

// What a save says when its target is a file the user may not replace.
QString ReadOnlyTarget(const QString& target);
