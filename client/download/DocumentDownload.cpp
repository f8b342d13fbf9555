#include "DocumentDownload.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

#include "AppContext.h"
#include "Codec.h"
#include "MousePointer.h"
#include "ReportFile.h"
#include "SplfScreenApi.h"

namespace {
std::function<QDateTime()>& clockFn() {
    static std::function<QDateTime()> fn;
    return fn;
}
}  // namespace

QDateTime DocumentNow() { return clockFn() ? clockFn()() : QDateTime::currentDateTime(); }
void SetDocumentClock(std::function<QDateTime()> clock) { clockFn() = std::move(clock); }

SafeDocumentFile::SafeDocumentFile(QString target) : target_(std::move(target)) {}
SafeDocumentFile::~SafeDocumentFile() { discard(); }

QString SafeDocumentFile::create() {
    discard();
    const QByteArray target = QFile::encodeName(target_);
    struct stat st {};
    existed_ = ::stat(target.constData(), &st) == 0;
    // Beside the target: the rename stays on one file system.
    const QFileInfo info(target_);
    QByteArray tmpl = QFile::encodeName(info.path() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".XXXXXX"));
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0) throw PcFileErrorFromErrno(errno, true);
    // The document gets the mode the target has, or a new file's.
    mode_t mode = 0;
    if (existed_) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd, mode);
    ::close(fd);
    temp_ = QFile::decodeName(tmpl);
    return temp_;
}

void SafeDocumentFile::commit(AppContext& ctx) {
    if (temp_.isEmpty()) return;
    if (::rename(QFile::encodeName(temp_).constData(), QFile::encodeName(target_).constData()) != 0) {
        const int err = errno;
        discard();
        throw err == EISDIR ? PcFileError{75, QStringLiteral("Path/File access error")} : PcFileErrorFromErrno(err, true);
    }
    temp_.clear();
    if (!existed_) ctx.noteCreatedFile(target_);
}

void SafeDocumentFile::discard() noexcept {
    if (temp_.isEmpty()) return;
    ::unlink(QFile::encodeName(temp_).constData());
    temp_.clear();
}

void ShowDocumentFileError(AppContext& ctx, const QString& procedure, int number, const QString& description,
                           const QString& fileName) {
    ctx.msgBox(QStringLiteral("PC level file error:") + QString::number(number) + QStringLiteral("   Description: ") +
                   description + QStringLiteral("  Path and file: ") + fileName + QLatin1Char(' '),
               MsgButtons::OK, MsgIcon::Exclamation, QStringLiteral("iSeries Spoolwright - ") + procedure);
}

int RunDocumentDownload(AppContext& ctx, const QString& procedure, const QString& fileName, QString& recordWidth,
                        const std::string& request, DocumentSink& sink, SafeDocumentFile& out) {
    SplfScreenApi& splf = ctx.frmSplf();
    setMousePointer(MousePointer::ArrowHourglass);
    struct DefaultPointerOnExit {
        ~DefaultPointerOnExit() { setMousePointer(MousePointer::Normal); }
    } pointer;
    splf.setStatus(QStringLiteral("Preparing records for transfer to file ") + fileName + QStringLiteral(".   "));
    try {
        // A folder that does not exist is reported before the host is asked.
        ReportFile::checkWritable(fileName);
        ExchangeStyle style;
        style.thresholdFromCount = true;
        const ExchangeResult r = RunSpoolExchange(ctx, request, style, sink);
        if (!r.started()) return -1;
        recordWidth = Codec::toUnicode(r.widthCode);
        sink.finish();
        const QString count = QString::number(r.records);
        if (r.complete()) {
            out.commit(ctx);
            splf.setStatus(QStringLiteral("Transfer is complete to ") + fileName + QStringLiteral(".  ") + count +
                           QStringLiteral(" records transferred."));
            return 0;
        }
        // What arrived is a valid document; it never replaces a whole one.
        if (out.targetExisted())
            out.discard();
        else
            out.commit(ctx);
        if (r.end != ExchangeEnd::Canceled)
            splf.setStatus(QStringLiteral("Transfer to file ") + fileName + QStringLiteral(" is incomplete.  ") + count +
                           QStringLiteral(" records transferred."));
        return -1;
    } catch (const PcFileError& e) {
        sink.abandon();
        out.discard();
        ShowDocumentFileError(ctx, procedure, e.number, e.description, fileName);
        return -1;
    }
}

void DocumentPageLayout::before(const SpoolRecordSlot& slot) {
    if (const std::optional<int> n = slot.skipLine()) {
        if (*n < line_) {
            newPage_();
            line_ = 1;
        }
        for (; line_ < *n; ++line_) blank_();
    }
    const std::optional<int> s = slot.spacingLines();
    if (!s) return;
    for (int left = *s; left >= 2; --left, ++line_) blank_();
    ++line_;
}

std::string_view RecordText(const SpoolRecordSlot& slot) {
    std::string_view t = slot.text;
    while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
    return t;
}
