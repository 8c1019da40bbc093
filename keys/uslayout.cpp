#include "uslayout.h"

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
#include <windows.h>

namespace {

// Windows' own US layout (00000409), loaded once, never activated: what the
// user's layouts are stays as it is.
HKL usLayout()
{
    static const HKL us = LoadKeyboardLayoutW(L"00000409", KLF_NOTELLSHELL);
    return us;
}

// Qt gives a key's scan code with 0x100 for an extended key (the keypad's Enter).
// The layout names the keypad's digit keys by what they do with Num Lock off
// (End for 1); with Num Lock on, as scanners type, they are the digits. The
// extended keys of those codes are the separate arrow block.
UINT virtualKey(quint32 keyCode)
{
    if (!(keyCode & 0x100)) {
        static const struct
        {
            quint32 scan;
            UINT vk;
        } keypad[] = { { 0x47, VK_NUMPAD7 }, { 0x48, VK_NUMPAD8 }, { 0x49, VK_NUMPAD9 },
            { 0x4B, VK_NUMPAD4 }, { 0x4C, VK_NUMPAD5 }, { 0x4D, VK_NUMPAD6 },
            { 0x4F, VK_NUMPAD1 }, { 0x50, VK_NUMPAD2 }, { 0x51, VK_NUMPAD3 },
            { 0x52, VK_NUMPAD0 }, { 0x53, VK_DECIMAL } };
        for (const auto &key : keypad) {
            if ((keyCode & 0xFF) == key.scan)
                return key.vk;
        }
    }
    const UINT scan = (keyCode & 0xFF) | (keyCode & 0x100 ? 0xE000 : 0);
    return MapVirtualKeyExW(scan, MAPVK_VSC_TO_VK_EX, usLayout());
}

bool keypadKey(UINT vk, quint32 keyCode)
{
    return (vk >= VK_NUMPAD0 && vk <= VK_DIVIDE) || (vk == VK_RETURN && (keyCode & 0x100));
}

QString keyText(UINT vk, quint32 keyCode, bool shift)
{
    BYTE state[256] = {};
    if (shift)
        state[VK_SHIFT] = state[VK_LSHIFT] = 0x80;
    state[VK_NUMLOCK] = 0x01;
    wchar_t buffer[8];
    // Flag 4: the keyboard's dead-key state is left as it is.
    const int length = ToUnicodeEx(vk, keyCode & 0xFF, state, buffer, 8, 4, usLayout());
    return length > 0 ? QString::fromWCharArray(buffer, length) : QString();
}

// The names xkbcommon gives these keys, which the key lines' tooltips know.
QString keyName(UINT vk, quint32 keyCode)
{
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9)
        return QStringLiteral("KP_") + QChar(u'0' + (vk - VK_NUMPAD0));
    switch (vk) {
    case VK_RETURN:
        return keyCode & 0x100 ? QStringLiteral("KP_Enter") : QStringLiteral("Return");
    case VK_TAB:
        return QStringLiteral("Tab");
    case VK_BACK:
        return QStringLiteral("BackSpace");
    case VK_ESCAPE:
        return QStringLiteral("Escape");
    case VK_SPACE:
        return QStringLiteral("space");
    case VK_DELETE:
        return QStringLiteral("Delete");
    case VK_DECIMAL:
        return QStringLiteral("KP_Decimal");
    case VK_ADD:
        return QStringLiteral("KP_Add");
    case VK_SUBTRACT:
        return QStringLiteral("KP_Subtract");
    case VK_MULTIPLY:
        return QStringLiteral("KP_Multiply");
    case VK_DIVIDE:
        return QStringLiteral("KP_Divide");
    default:
        return {};
    }
}

} // namespace

UsLayoutKey usLayoutKey(quint32 keyCode, bool shift)
{
    UsLayoutKey result;
    const UINT vk = usLayout() ? virtualKey(keyCode) : 0;
    if (!vk)
        return result;
    result.text = keyText(vk, keyCode, shift);
    const QString plainText = keyText(vk, keyCode, false);
    if (!keypadKey(vk, keyCode) && plainText.size() == 1 && plainText.at(0).isPrint()
        && !plainText.at(0).isSpace())
        result.name = plainText.toUpper();
    else
        result.name = keyName(vk, keyCode);
    return result;
}

UsLayoutPlace usLayoutKeyTyping(const QString &text)
{
    if (!usLayout() || text.isEmpty())
        return {};
    // The main block first: a digit is found there, not on the keypad.
    for (const bool shift : { false, true }) {
        for (quint32 keyCode = 1; keyCode < 0x80; ++keyCode) {
            const UINT vk = virtualKey(keyCode);
            if (vk && !keypadKey(vk, keyCode) && keyText(vk, keyCode, shift) == text)
                return { keyCode, shift };
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
