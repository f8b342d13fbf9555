#pragma once
#include <QString>
#include <vector>

#include "Keyboard.h"

// One key press of a key string: a Qt key with its modifiers, and the text it
// types ("" for a named key such as {TAB}).
struct KeyStroke {
    int key;
    Qt::KeyboardModifiers modifiers;
    QString text;
    bool operator==(const KeyStroke&) const = default;
};

// The keystroke notation: "+" Shift, "^" Ctrl, "%" Alt for the next key or
// the group in parentheses; "~" Enter; names in braces ({TAB}, {F4},
// {HOME 3}); "{+}", "{{}" and the like for the special characters themselves.
namespace SendKeys {
// Throws KeysError for unbalanced braces or parentheses and unknown names.
std::vector<KeyStroke> parse(const QString& keys);
// Data to be typed as it stands: every character that the notation reads as
// a command ("+ ^ % ~ ( ) { } [ ]") is put in braces.
QString literal(const QString& text);
}  // namespace SendKeys
