#pragma once
#include <QMutex>
#include <QString>
#include <memory>
#include <string>
#include <vector>

class QFile;

// Every frame hostsim receives, byte for byte: in memory for tests, and
// appended to a file when one is named. Safe to read from another thread.
//
// File layout, one entry per frame:
//   <channel> <port> #<connection> <length>[ partial]\n<the frame's bytes>\n
// channel is "listener" or "job"; "partial" marks the bytes left over when a
// connection closed in the middle of a frame.
struct FrameLogEntry {
    enum Channel { Listener, Job };
    Channel channel = Job;
    quint16 port = 0;
    int connection = 0;  // counts connections from 1, over both channels
    std::string bytes;
    bool partial = false;
};

class FrameLog {
public:
    FrameLog();
    ~FrameLog();
    // Opens (appends to) the log file; false when it cannot be opened.
    bool setFile(const QString& path);
    void add(FrameLogEntry entry);
    std::vector<FrameLogEntry> entries() const;
    // The bytes of every whole frame of one channel, in order.
    std::vector<std::string> frames(FrameLogEntry::Channel channel) const;
    size_t size() const;
    void clear();

private:
    mutable QMutex mutex_;
    std::vector<FrameLogEntry> entries_;
    std::unique_ptr<QFile> file_;
};
