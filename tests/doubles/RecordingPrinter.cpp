#include "RecordingPrinter.h"

#include "Presenter.h"

void RecordingPrinter::record(const QString& entry) {
    log_ << entry;
    if (!failOp_.isEmpty() && entry.startsWith(failOp_)) {
        failOp_.clear();
        log_.last() += QStringLiteral(" -> error %1").arg(failNumber_);
        throw PrinterError(failNumber_, failText_);
    }
}

void RecordingPrinter::failOn(const QString& op, int number, const QString& description) {
    failOp_ = op;
    failNumber_ = number;
    failText_ = description;
}

bool RecordingPrinter::showDialog(Presenter& presenter, QWidget* parent) {
    record(QStringLiteral("dialog"));
    return presenter.printDialog(parent, nullptr);
}

void RecordingPrinter::setFontName(const QString& n) {
    record(QStringLiteral("font ") + n);
    fontName = n;
}

void RecordingPrinter::setFontSize(double points) {
    record(QStringLiteral("size %1").arg(points));
    fontSize = points;
}

void RecordingPrinter::setOrientation(int o) {
    record(QStringLiteral("orientation %1").arg(o));
    orientation_ = o;
}

void RecordingPrinter::printLine(const QString& text) {
    record(text.isEmpty() ? QStringLiteral("print") : QStringLiteral("print ") + text);
    if (!started_) {
        started_ = true;
        current_.push_back({orientation_, {}});
    }
    if (linesPerPage > 0 && current_.back().lines.size() >= linesPerPage) current_.push_back({orientation_, {}});
    current_.back().lines << text;
}

void RecordingPrinter::newPage() {
    record(QStringLiteral("newpage"));
    if (!started_) {
        started_ = true;
        current_.push_back({orientation_, {}});
    }
    current_.push_back({orientation_, {}});
}

void RecordingPrinter::endDoc() {
    record(QStringLiteral("enddoc"));
    if (!started_) return;
    documents_.push_back(std::move(current_));
    current_.clear();
    started_ = false;
}

void RecordingPrinter::abortDoc() {
    log_ << QStringLiteral("abortdoc");
    if (started_) ++aborted_;
    current_.clear();
    started_ = false;
}
