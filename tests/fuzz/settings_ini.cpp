// The remembered-settings file as the store reads it: what it accepted,
// written out again, reads back the same; and names and values cut from the
// input, written by the store, read back exactly.
#include <algorithm>
#include <cstdlib>

#include "FuzzInput.h"
#include "IniSettingsStore.h"

namespace {
using Content = IniSettingsStore::Content;

// Sections without keys are not written: they do not count.
Content withKeys(Content c) {
    std::erase_if(c, [](const IniSettingsStore::Section& s) { return s.keys.empty(); });
    return c;
}

bool same(const Content& a, const Content& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].name != b[i].name || a[i].keys != b[i].keys) return false;
    return true;
}

void roundTrip(const Content& content) {
    const QByteArray written = IniSettingsStore::serialize(content, QStringLiteral("Fuzz"));
    Content back;
    if (!IniSettingsStore::parse(written, back) || !same(back, withKeys(content))) std::abort();
}

// Section, key and value in turn, separated by unit separators, as the store
// would hold them (a name matched without regard to case, a later value wins).
Content contentOf(const QString& text) {
    const QStringList parts = text.split(QChar(0x1F));
    Content c;
    for (qsizetype i = 0; i + 2 < parts.size(); i += 3) {
        if (parts[i + 1].isEmpty()) continue;
        auto s = std::find_if(c.begin(), c.end(), [&](const auto& x) {
            return x.name.compare(parts[i], Qt::CaseInsensitive) == 0;
        });
        if (s == c.end()) s = c.insert(c.end(), {parts[i], {}});
        auto k = std::find_if(s->keys.begin(), s->keys.end(), [&](const auto& kv) {
            return kv.first.compare(parts[i + 1], Qt::CaseInsensitive) == 0;
        });
        if (k == s->keys.end())
            s->keys.emplace_back(parts[i + 1], parts[i + 2]);
        else
            k->second = parts[i + 2];
    }
    return c;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    Content content;
    if (IniSettingsStore::parse(bytes, content)) roundTrip(content);
    roundTrip(contentOf(QString::fromUtf8(bytes)));
    return 0;
}
