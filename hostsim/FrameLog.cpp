#include "FrameLog.h"

#include <QFile>

FrameLog::FrameLog() = default;
FrameLog::~FrameLog() = default;

bool FrameLog::setFile(const QString& path) {
    QMutexLocker lock(&mutex_);
    auto f = std::make_unique<QFile>(path);
    if (!f->open(QIODevice::WriteOnly | QIODevice::Append)) return false;
    file_ = std::move(f);
    return true;
}

void FrameLog::add(FrameLogEntry entry) {
    QMutexLocker lock(&mutex_);
    if (file_) {
        const QByteArray head = QStringLiteral("%1 %2 #%3 %4%5\n")
                                    .arg(entry.channel == FrameLogEntry::Listener ? QStringLiteral("listener")
                                                                                   : QStringLiteral("job"))
                                    .arg(entry.port)
                                    .arg(entry.connection)
                                    .arg(entry.bytes.size())
                                    .arg(entry.partial ? QStringLiteral(" partial") : QString())
                                    .toLatin1();
        file_->write(head);
        file_->write(entry.bytes.data(), static_cast<qint64>(entry.bytes.size()));
        file_->write("\n", 1);
        file_->flush();
    }
    entries_.push_back(std::move(entry));
}

std::vector<FrameLogEntry> FrameLog::entries() const {
    QMutexLocker lock(&mutex_);
    return entries_;
}

std::vector<std::string> FrameLog::frames(FrameLogEntry::Channel channel) const {
    QMutexLocker lock(&mutex_);
    std::vector<std::string> out;
    for (const FrameLogEntry& e : entries_)
        if (e.channel == channel && !e.partial) out.push_back(e.bytes);
    return out;
}

size_t FrameLog::size() const {
    QMutexLocker lock(&mutex_);
    return entries_.size();
}

void FrameLog::clear() {
    QMutexLocker lock(&mutex_);
    entries_.clear();
}
