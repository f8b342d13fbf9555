#pragma once
#include <QString>
#include <QStringList>
#include <optional>

#include "StartupRules.h"

// How remembered values read. A value never stored reads "None" (the default
// of getSetting); which values count as not set besides depends on the value,
// so three readings are in use:
inline constexpr char kNotStored[] = "None";
// stored at all,
inline bool IsStored(const QString& v) { return v != QLatin1String(kNotStored); }
// stored and not empty (blanks are a value),
inline bool HasText(const QString& v) { return IsStored(v) && !v.isEmpty(); }
// stored and more than blanks.
inline bool HasValue(const QString& v) { return IsStored(v) && !v.trimmed().isEmpty(); }

// The sign-on's user and password have a "not set" of their own, "-None": what
// they read when never stored (Services::getKept), and what the password is
// stored as when it is not to be kept. A user stored as "None" is a user of
// that name.
inline constexpr char kNotKept[] = "-None";
inline bool IsKept(const QString& v) { return v != QLatin1String(kNotKept); }

// A truth value as it is remembered and written to settings files.
inline QString BoolText(bool b) { return b ? QStringLiteral("True") : QStringLiteral("False"); }

// A remembered value as the spooled-file screen's load judges it: a value
// outside the domain of its control counts as not set, and the control keeps
// its default.
class RememberedValue {
public:
    explicit RememberedValue(QString v) : v_(std::move(v)) {}
    bool notNone() const { return IsStored(v_); }
    bool set() const { return HasValue(v_); }
    QString text() const { return v_; }
    QString trimmed() const { return v_.trimmed(); }
    bool isTrue() const { return notNone() && trimmed() == QLatin1String("True"); }
    // A check box's state "0", "1" or "2" (greyed); anything else none.
    std::optional<Qt::CheckState> checkState() const {
        if (!notNone()) return std::nullopt;
        const QString t = trimmed();
        if (t == QLatin1String("0")) return Qt::Unchecked;
        if (t == QLatin1String("1")) return Qt::Checked;
        if (t == QLatin1String("2")) return Qt::PartiallyChecked;
        return std::nullopt;
    }
    // Ticked ("1") or not ("0", "2"); anything else none.
    std::optional<bool> ticked() const {
        const auto s = checkState();
        return s ? std::optional<bool>(*s == Qt::Checked) : std::nullopt;
    }
    std::optional<bool> boolean() const { return set() ? readAsBoolean(v_) : std::nullopt; }
    bool in(const QStringList& list) const { return set() && list.contains(trimmed()); }

private:
    QString v_;
};
