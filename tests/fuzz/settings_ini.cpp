// The remembered-settings file as the store reads it, and what it accepted
// written out again.
#include "FuzzInput.h"
#include "IniSettingsStore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    IniSettingsStore::Content content;
    QString error;
    if (IniSettingsStore::parse(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)), content,
                                &error))
        (void)IniSettingsStore::serialize(content, QStringLiteral("Fuzz"));
    return 0;
}
