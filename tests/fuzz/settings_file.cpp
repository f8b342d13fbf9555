// A settings file (*.spw) as either reader takes it: File > Open's applied
// to the windows, the batch run's to its run settings; then what they hold is
// saved and read back by the same reader, which must change nothing. The
// first byte picks the reader.
#include <QApplication>
#include <QTemporaryDir>
#include <cstdlib>

#include "AppContext.h"
#include "DownloadWindows.h"
#include "FuzzInput.h"
#include "RuntimeDirectory.h"
#include "SettingsFile.h"
#include "frmSplf.h"

namespace {
AppContext* ctx = nullptr;

void require(bool holds) {
    if (!holds) std::abort();
}

// The saved text without its "Saved=" time.
QByteArray withoutTime(QByteArray text) {
    const qsizetype from = text.indexOf("\r\nSaved=");
    require(text.startsWith("[Properties]\r\nID=Spwrter_10.0\r\n") && from >= 0 && text.endsWith("\r\n"));
    return text.remove(from, text.indexOf("\r\n", from + 2) - from);
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    EnsureRuntimeDirectory();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Remembered settings go to a folder of this run, never the user's.
    static QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    qputenv("XDG_CACHE_HOME", home.path().toLocal8Bit());
    static QApplication app(*argc, *argv);
    ctx = new AppContext;
    ctx->useBatchMessageBoxes();
    if (ctx->services.presenter) ctx->services.presenter->unattended = true;
    installWindows(*ctx);
    installDownloadWindows(*ctx);
    // Every window and font the inputs reach is loaded once here: what the
    // libraries keep of that for the run is no leak of an input.
    const QByteArray all = SettingsFile::contents(*ctx);
    SettingsFile::apply(*ctx, SettingsFile::lines(all, SettingsFile::Reader::Window));
    QCoreApplication::processEvents();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    using SettingsFile::Reader;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    if (data[0] & 1) {
        RunSettings settings;
        SettingsFile::apply(settings, SettingsFile::lines(bytes, Reader::Batch), Reader::Batch);
        const QByteArray before = withoutTime(SettingsFile::contents(settings, QStringLiteral("now")));
        SettingsFile::apply(settings, SettingsFile::lines(before, Reader::Batch), Reader::Batch);
        require(withoutTime(SettingsFile::contents(settings, QStringLiteral("now"))) == before);
        return 0;
    }
    SettingsFile::apply(*ctx, SettingsFile::lines(bytes, Reader::Window));
    const QByteArray before = withoutTime(SettingsFile::contents(*ctx));
    SettingsFile::apply(*ctx, SettingsFile::lines(SettingsFile::contents(*ctx), Reader::Window));
    require(withoutTime(SettingsFile::contents(*ctx)) == before);
    return 0;
}
