#include "keys/uslayout.h"

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
