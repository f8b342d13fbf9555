#include "SendKeys.h"

#include <QHash>

namespace {
const QHash<QString, int>& namedKeys() {
    static const QHash<QString, int> k = [] {
        QHash<QString, int> m = {
            {QStringLiteral("BACKSPACE"), Qt::Key_Backspace}, {QStringLiteral("BS"), Qt::Key_Backspace},
            {QStringLiteral("BKSP"), Qt::Key_Backspace},      {QStringLiteral("BREAK"), Qt::Key_Pause},
            {QStringLiteral("CAPSLOCK"), Qt::Key_CapsLock},   {QStringLiteral("DELETE"), Qt::Key_Delete},
            {QStringLiteral("DEL"), Qt::Key_Delete},          {QStringLiteral("DOWN"), Qt::Key_Down},
            {QStringLiteral("END"), Qt::Key_End},             {QStringLiteral("ENTER"), Qt::Key_Return},
            {QStringLiteral("ESC"), Qt::Key_Escape},          {QStringLiteral("HELP"), Qt::Key_Help},
            {QStringLiteral("HOME"), Qt::Key_Home},           {QStringLiteral("INSERT"), Qt::Key_Insert},
            {QStringLiteral("INS"), Qt::Key_Insert},          {QStringLiteral("LEFT"), Qt::Key_Left},
            {QStringLiteral("NUMLOCK"), Qt::Key_NumLock},     {QStringLiteral("PGDN"), Qt::Key_PageDown},
            {QStringLiteral("PGUP"), Qt::Key_PageUp},         {QStringLiteral("PRTSC"), Qt::Key_Print},
            {QStringLiteral("RIGHT"), Qt::Key_Right},         {QStringLiteral("SCROLLLOCK"), Qt::Key_ScrollLock},
            {QStringLiteral("TAB"), Qt::Key_Tab},             {QStringLiteral("UP"), Qt::Key_Up},
            {QStringLiteral("ADD"), Qt::Key_Plus},            {QStringLiteral("SUBTRACT"), Qt::Key_Minus},
            {QStringLiteral("MULTIPLY"), Qt::Key_Asterisk},   {QStringLiteral("DIVIDE"), Qt::Key_Slash},
        };
        for (int i = 1; i <= 16; ++i) m.insert(QStringLiteral("F%1").arg(i), Qt::Key_F1 + i - 1);
        return m;
    }();
    return k;
}

KeyStroke charStroke(QChar c, Qt::KeyboardModifiers mods) {
    if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) return {Qt::Key_Return, mods, QString()};
    if (c == QLatin1Char('\t')) return {Qt::Key_Tab, mods, QString()};
    // With Ctrl or Alt held a key types nothing; Shift types the capital.
    QString text;
    if (!(mods & (Qt::ControlModifier | Qt::AltModifier))) text = (mods & Qt::ShiftModifier) ? c.toUpper() : c;
    return {c.toUpper().unicode(), mods, text};
}

class Parser {
public:
    explicit Parser(const QString& s) : s_(s) {}
    std::vector<KeyStroke> run() {
        sequence(Qt::NoModifier, false);
        return out_;
    }

private:
    [[noreturn]] void fail(const char* why) {
        throw KeysError(std::string("Invalid procedure call or argument: ") + why + " in \"" + s_.toStdString() + "\"");
    }

    // Reads keys until the end (or ')' inside a group).
    void sequence(Qt::KeyboardModifiers held, bool inGroup) {
        while (pos_ < s_.size()) {
            const QChar c = s_.at(pos_);
            if (c == QLatin1Char(')')) {
                if (!inGroup) fail("')' without '('");
                ++pos_;
                return;
            }
            one(held);
        }
        if (inGroup) fail("'(' without ')'");
    }

    // One key or group, with the modifiers written in front of it.
    void one(Qt::KeyboardModifiers held) {
        Qt::KeyboardModifiers mods = held;
        while (pos_ < s_.size()) {
            const QChar c = s_.at(pos_);
            if (c == QLatin1Char('+')) mods |= Qt::ShiftModifier;
            else if (c == QLatin1Char('^')) mods |= Qt::ControlModifier;
            else if (c == QLatin1Char('%')) mods |= Qt::AltModifier;
            else break;
            ++pos_;
        }
        if (pos_ >= s_.size()) fail("a modifier without a key");
        const QChar c = s_.at(pos_++);
        if (c == QLatin1Char('(')) {
            sequence(mods, true);
        } else if (c == QLatin1Char('{')) {
            braces(mods);
        } else if (c == QLatin1Char('~')) {
            out_.push_back({Qt::Key_Return, mods, QString()});
        } else if (c == QLatin1Char('}') || c == QLatin1Char(')')) {
            fail("unbalanced brace");
        } else {
            out_.push_back(charStroke(c, mods));
        }
    }

    // After '{': "{name}", "{name n}", or a single character such as "{+}" or "{}}".
    void braces(Qt::KeyboardModifiers mods) {
        // "{}}" names the closing brace itself.
        qsizetype close = s_.indexOf(QLatin1Char('}'), pos_ + (pos_ < s_.size() && s_.at(pos_) == QLatin1Char('}') ? 1 : 0));
        if (close < 0) fail("'{' without '}'");
        QString inner = s_.mid(pos_, close - pos_);
        pos_ = close + 1;
        int count = 1;
        const qsizetype blank = inner.lastIndexOf(QLatin1Char(' '));
        if (blank > 0) {
            bool ok = false;
            count = inner.mid(blank + 1).toInt(&ok);
            if (!ok || count < 0) fail("bad repeat count");
            inner = inner.left(blank);
        }
        if (inner.isEmpty()) fail("empty braces");
        KeyStroke stroke;
        if (inner.size() == 1) {
            stroke = charStroke(inner.at(0), mods);
        } else {
            const auto it = namedKeys().constFind(inner.toUpper());
            if (it == namedKeys().constEnd()) fail("unknown key name");
            stroke = {it.value(), mods, QString()};
        }
        for (int i = 0; i < count; ++i) out_.push_back(stroke);
    }

    const QString& s_;
    qsizetype pos_ = 0;
    std::vector<KeyStroke> out_;
};
}  // namespace

std::vector<KeyStroke> SendKeys::parse(const QString& keys) { return Parser(keys).run(); }

QString SendKeys::literal(const QString& text) {
    static const QString special = QStringLiteral("+^%~(){}[]");
    QString out;
    for (QChar c : text) {
        if (special.contains(c)) out += QLatin1Char('{') + c + QLatin1Char('}');
        else out += c;
    }
    return out;
}
