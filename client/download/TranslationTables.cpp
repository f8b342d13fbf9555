#include "TranslationTables.h"

namespace {
struct Table {
    const char* host;
    const char* pc;
    const char* name;
};
constexpr Table kTables[] = {
    {"Arabic Bilingual", "PC-Arabic", "Q420235864"},
    {"Austria/Germany", "PC-USA", "Q273337437"},
    {"Austria/Germany", "PC-Multilingual", "Q273337850"},
    {"Central Europe", "PC-Latin 2", "Q870959852"},
    {"Cyrillic, Multilingual", "PC-Multilingual", "QA3R697850"},
    {"Cyrillic, Multilingual", "PC-USA", "QA3R919437"},
    {"Cyrillic, Multilingual", "PC-Latin 2", "QA3R959852"},
    {"Cyrillic, Multilingual", "PC-Cyrillic", "QA3RA69855"},
    {"Cyrillic, Multilingual", "PC-Cyrillic #2", "QA3RA8C866"},
    {"Cyrillic, Multilingual", "PC-Cyrillic", "QA3RA9L855"},
    {"Denmark/Norway", "PC-Multilingual", "Q277337850"},
    {"Denmark/Norway", "PC-Nordic", "Q277337865"},
    {"Farsi", "PC-USA", "QA5R337437"},
    {"Farsi", "PC-Multilingual", "QA5R337850"},
    {"Farsi", "PC-Farsi", "QA5RA0ZA5S"},
    {"Finland/Sweden", "PC-USA", "Q278337437"},
    {"Finland/Sweden", "PC-Multilingual", "Q278337850"},
    {"France", "PC-USA", "Q297337437"},
    {"France", "PC-Multilingual", "Q297337850"},
    {"Greece", "PC-Greece", "Q423998869"},
    {"Greece", "PC-Greece", "Q875998869"},
    {"Iceland", "PC-Multilingual", "Q871337850"},
    {"Iceland", "PC-Iceland", "Q871337861"},
    {"Israel (Hebrew)", "PC-Israel", "Q424941862"},
    {"Italy", "PC-USA", "Q280337437"},
    {"Italy", "PC-Multilingual", "Q280337850"},
    {"Japan extended", "PC-Japan", "QA3TA6G897"},
    {"Japan extended", "PC-Japan extended", "QA3TA7UA38"},
    {"Japan Katakana", "PC-Japan", "Q290337897"},
    {"Japan Katakana", "PC-Japan extended", "Q290A7UA38"},
    {"Korea", "PC-Korea", "Q833337891"},
    {"Korea", "PC-Korean", "Q833A0SA5I"},
    {"Lao", "PC-Multilingual", "QA6QA51850"},
    {"Latin 2, Multilingual", "PC-Multilingual", "Q870697850"},
    {"Latin 2, Multilingual", "PC-USA", "Q870919437"},
    {"Latin 2, Multilingual", "PC-Latin 2", "Q870959852"},
    {"Latin 2, Multilingual", "PC-Cyrillic", "Q870A69855"},
    {"Latin 2, Multilingual", "PC-Latin 2", "Q870A9I852"},
    {"Multinational #5", "PC-USA", "Q500337437"},
    {"Multinational #5", "PC-Multilingual", "Q500337850"},
    {"Multinational #5", "PC-Portugal", "Q500337860"},
    {"Multinational #5", "PC-Iceland", "Q500337861"},
    {"Multinational #5", "PC-Canadian French", "Q500337863"},
    {"Multinational #5", "PC-Nordic", "Q500337865"},
    {"Multinational #5", "PC-Greece", "Q500998869"},
    {"Multinational #5", "PC-Thai Extended", "Q500A7Y874"},
    {"Republic of China", "PC-Republic of China", "Q836337903"},
    {"Portugal", "PC-Multilingual", "Q282337850"},
    {"Portugal", "PC-Portugal", "Q282337860"},
    {"Russian", "PC-Russian", "QA3RBF866 "},
    {"Spain/Latin America", "PC-USA", "Q284337437"},
    {"Spain/Latin America", "PC-Multilingual", "Q284337850"},
    {"Thai Extended", "PC-Thai Extended", "Q838A7Y874"},
    {"Turkey Latin 5", "PC-Turkey", "QA3SA7A857"},
    {"United Kingdom", "PC-USA", "Q285337437"},
    {"United Kingdom", "PC-Multilingual", "Q285337850"},
    {"USA/Canada", "PC-Multilingual", "Q037337850"},
    {"USA/Canada", "PC-Portugal", "Q037337860"},
    {"USA/Canada", "PC-Canadian French", "Q037337863"},
    {"USA/Canada", "PC-Republic of China", "Q037337904"},
    {"USA/Canada", "PC-Japan", "Q037A6G897"},
    {"USA/Canada", "PC-Thai Extended", "Q037A7Y874"},
    {"USA/Canada", "PC-USA", "Q037337437"},
    {"Vietnamese", "PC-Multilingual", "QA6OA51850"},
};
}  // namespace

QStringList translationListEntries() {
    QStringList entries{QStringLiteral("<Default>")};
    for (const Table& t : kTables)
        entries << QStringLiteral("From: %1    To: %2   %3")
                       .arg(QLatin1String(t.host), QLatin1String(t.pc), QLatin1String(t.name));
    return entries;
}
