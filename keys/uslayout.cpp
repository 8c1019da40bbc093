#include "keys/uslayout.h"

#ifdef ORVATEK_HAVE_XKBCOMMON
#include <xkbcommon/xkbcommon.h>

#include <memory>

namespace {

struct Keymap
{
    xkb_context *context = nullptr;
    xkb_keymap *keymap = nullptr;

    Keymap()
    {
        // The system's keyboard description (Debian: xkb-data), not the user's
        // settings: the environment must not change what "US" means.
        context = xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES);
        if (!context)
            return;
        const xkb_rule_names names = { "evdev", "pc105", "us", "", "" };
        keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    }
    ~Keymap()
    {
        xkb_keymap_unref(keymap);
        xkb_context_unref(context);
    }
};

QString keyText(xkb_state *state, xkb_keycode_t key)
{
    char buffer[16];
    const int length = xkb_state_key_get_utf8(state, key, buffer, sizeof buffer);
    return length > 0 && length < int(sizeof buffer) ? QString::fromUtf8(buffer, length)
                                                     : QString();
}

const Keymap &usKeymap()
{
    // Compiling the keymap reads and parses several files: once per run.
    static const Keymap us;
    return us;
}

using State = std::unique_ptr<xkb_state, decltype(&xkb_state_unref)>;

// A state of the US keymap with Num Lock on, as it is on nearly every machine a
// scanner is plugged into, and Shift held or not.
State usState(bool shift)
{
    const Keymap &us = usKeymap();
    State state(us.keymap ? xkb_state_new(us.keymap) : nullptr, &xkb_state_unref);
    if (!state)
        return state;
    const auto mask = [&](const char *name) {
        const xkb_mod_index_t index = xkb_keymap_mod_get_index(us.keymap, name);
        return index == XKB_MOD_INVALID ? 0u : 1u << index;
    };
    xkb_state_update_mask(
        state.get(), shift ? mask(XKB_MOD_NAME_SHIFT) : 0, 0, mask(XKB_MOD_NAME_NUM), 0, 0, 0);
    return state;
}

} // namespace

UsLayoutKey usLayoutKey(quint32 keyCode, bool shift)
{
    const Keymap &us = usKeymap();
    UsLayoutKey result;
    if (!us.keymap || keyCode < xkb_keymap_min_keycode(us.keymap)
        || keyCode > xkb_keymap_max_keycode(us.keymap))
        return result;
    const State state = usState(shift);
    if (!state)
        return result;
    result.text = keyText(state.get(), keyCode);
    const xkb_keysym_t symbol = xkb_state_key_get_one_sym(state.get(), keyCode);
    if (symbol == XKB_KEY_NoSymbol)
        return result;
    // The key's name is what it types without Shift, as printed on the keycap.
    const State plainState = usState(false);
    if (!plainState)
        return result;
    const xkb_keysym_t plain = xkb_state_key_get_one_sym(plainState.get(), keyCode);
    const QString plainText = keyText(plainState.get(), keyCode);
    // Keypad keys by their keysym name ("KP_1"), so that they differ from the
    // keys of the main block.
    const bool keypad = plain >= XKB_KEY_KP_Space && plain <= XKB_KEY_KP_Equal;
    if (!keypad && plainText.size() == 1 && plainText.at(0).isPrint()
        && !plainText.at(0).isSpace()) {
        result.name = plainText.toUpper();
    } else {
        char name[64];
        if (xkb_keysym_get_name(plain, name, sizeof name) > 0)
            result.name = QString::fromLatin1(name);
    }
    return result;
}

UsLayoutPlace usLayoutKeyTyping(const QString &text)
{
    const Keymap &us = usKeymap();
    if (!us.keymap || text.isEmpty())
        return {};
    // The main block first: a digit is found there, not on the keypad.
    for (const bool shift : { false, true }) {
        const State state = usState(shift);
        if (!state)
            return {};
        for (xkb_keycode_t key = xkb_keymap_min_keycode(us.keymap);
             key <= xkb_keymap_max_keycode(us.keymap); ++key) {
            const xkb_keysym_t symbol = xkb_state_key_get_one_sym(state.get(), key);
            const bool keypad = symbol >= XKB_KEY_KP_Space && symbol <= XKB_KEY_KP_Equal;
            if (!keypad && keyText(state.get(), key) == text)
                return { key, shift };
        }
    }
    return {};
}

#elif defined(Q_OS_WIN)
#include <cstring>

namespace {

// The US layout (00000409) as Windows has it, by scan code (0x100: an extended
// key), Num Lock on as scanners type. A table of its own rather than the system's:
// loading a layout adds it to the user's layouts for the session, and Wine's
// functions answer from the active layout whatever layout is asked for.
struct UsKey
{
    quint32 code;
    // The key's name where it types no printable character, as xkbcommon names
    // it (the key lines' tooltips know those names); null: named by its character.
    const char *name;
    const char *plain;
    const char *shifted;
};

constexpr UsKey UsKeys[] = {
    { 0x01, "Escape", "\x1b", "\x1b" }, { 0x02, nullptr, "1", "!" }, { 0x03, nullptr, "2", "@" },
    { 0x04, nullptr, "3", "#" }, { 0x05, nullptr, "4", "$" }, { 0x06, nullptr, "5", "%" },
    { 0x07, nullptr, "6", "^" }, { 0x08, nullptr, "7", "&" }, { 0x09, nullptr, "8", "*" },
    { 0x0A, nullptr, "9", "(" }, { 0x0B, nullptr, "0", ")" }, { 0x0C, nullptr, "-", "_" },
    { 0x0D, nullptr, "=", "+" }, { 0x0E, "BackSpace", "\b", "\b" }, { 0x0F, "Tab", "\t", "\t" },
    { 0x10, nullptr, "q", "Q" }, { 0x11, nullptr, "w", "W" }, { 0x12, nullptr, "e", "E" },
    { 0x13, nullptr, "r", "R" }, { 0x14, nullptr, "t", "T" }, { 0x15, nullptr, "y", "Y" },
    { 0x16, nullptr, "u", "U" }, { 0x17, nullptr, "i", "I" }, { 0x18, nullptr, "o", "O" },
    { 0x19, nullptr, "p", "P" }, { 0x1A, nullptr, "[", "{" }, { 0x1B, nullptr, "]", "}" },
    { 0x1C, "Return", "\r", "\r" }, { 0x1E, nullptr, "a", "A" }, { 0x1F, nullptr, "s", "S" },
    { 0x20, nullptr, "d", "D" }, { 0x21, nullptr, "f", "F" }, { 0x22, nullptr, "g", "G" },
    { 0x23, nullptr, "h", "H" }, { 0x24, nullptr, "j", "J" }, { 0x25, nullptr, "k", "K" },
    { 0x26, nullptr, "l", "L" }, { 0x27, nullptr, ";", ":" }, { 0x28, nullptr, "'", "\"" },
    { 0x29, nullptr, "`", "~" }, { 0x2B, nullptr, "\\", "|" }, { 0x2C, nullptr, "z", "Z" },
    { 0x2D, nullptr, "x", "X" }, { 0x2E, nullptr, "c", "C" }, { 0x2F, nullptr, "v", "V" },
    { 0x30, nullptr, "b", "B" }, { 0x31, nullptr, "n", "N" }, { 0x32, nullptr, "m", "M" },
    { 0x33, nullptr, ",", "<" }, { 0x34, nullptr, ".", ">" }, { 0x35, nullptr, "/", "?" },
    { 0x37, "KP_Multiply", "*", "*" }, { 0x39, "space", " ", " " }, { 0x47, "KP_7", "7", "7" },
    { 0x48, "KP_8", "8", "8" }, { 0x49, "KP_9", "9", "9" }, { 0x4A, "KP_Subtract", "-", "-" },
    { 0x4B, "KP_4", "4", "4" }, { 0x4C, "KP_5", "5", "5" }, { 0x4D, "KP_6", "6", "6" },
    { 0x4E, "KP_Add", "+", "+" }, { 0x4F, "KP_1", "1", "1" }, { 0x50, "KP_2", "2", "2" },
    { 0x51, "KP_3", "3", "3" }, { 0x52, "KP_0", "0", "0" }, { 0x53, "KP_Decimal", ".", "." },
    // The key beside the left Shift of a 102-key keyboard types what "\" does.
    { 0x56, nullptr, "\\", "|" }, { 0x11C, "KP_Enter", "\r", "\r" },
    { 0x135, "KP_Divide", "/", "/" }, { 0x153, "Delete", "", "" },
};

const UsKey *usKey(quint32 keyCode)
{
    for (const UsKey &key : UsKeys) {
        if (key.code == (keyCode & 0x1FF))
            return &key;
    }
    return nullptr;
}

} // namespace

UsLayoutKey usLayoutKey(quint32 keyCode, bool shift)
{
    const UsKey *key = usKey(keyCode);
    if (!key)
        return {};
    return { key->name ? QString::fromLatin1(key->name) : QString::fromLatin1(key->plain).toUpper(),
        QString::fromLatin1(shift ? key->shifted : key->plain) };
}

UsLayoutPlace usLayoutKeyTyping(const QString &text)
{
    if (text.isEmpty())
        return {};
    // The main block first: a digit is found there, not on the keypad.
    for (const bool shift : { false, true }) {
        for (const UsKey &key : UsKeys) {
            const bool keypad = key.name && std::strncmp(key.name, "KP_", 3) == 0;
            if (!keypad && QLatin1String(shift ? key.shifted : key.plain) == text)
                return { key.code, shift };
        }
    }
    return {};
}

#else

UsLayoutKey usLayoutKey(quint32, bool)
{
    return {};
}

UsLayoutPlace usLayoutKeyTyping(const QString &)
{
    return {};
}

#endif
