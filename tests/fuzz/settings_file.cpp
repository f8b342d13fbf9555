// A settings file (*.spw) as either reader takes it, applied to the windows;
// then what the windows hold is saved and read back, which must change
// nothing. The first byte picks the reader.
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
QByteArray saved() {
    QByteArray text = SettingsFile::contents(*ctx);
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
    ctx->useBatchServices();
    installWindows(*ctx);
    installDownloadWindows(*ctx);
    // Every window and font the inputs reach is loaded once here: what the
    // libraries keep of that for the run is no leak of an input.
    const QByteArray all = SettingsFile::contents(*ctx);
    for (const SettingsFile::Reader r : {SettingsFile::Reader::Window, SettingsFile::Reader::Batch})
        SettingsFile::apply(*ctx, SettingsFile::lines(all, r), r);
    QCoreApplication::processEvents();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    using SettingsFile::Reader;
    const Reader reader = data[0] & 1 ? Reader::Batch : Reader::Window;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    SettingsFile::apply(*ctx, SettingsFile::lines(bytes, reader), reader);

    const QByteArray before = saved();
    SettingsFile::apply(*ctx, SettingsFile::lines(SettingsFile::contents(*ctx), Reader::Window), Reader::Window);
    require(saved() == before);
    return 0;
}
