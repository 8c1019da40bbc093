#pragma once

#include <QString>

// The symbology identifiers of ISO/IEC 15424 ("]d2", "]C1" ...) that a scanner
// may send ahead of a read: what carried the data and how to take it.
struct SymbologyId
{
    const char *id = nullptr; // "]d2"; null when not known
    const char *name = nullptr; // the symbology, in Russian
    const char *meaning = nullptr; // what it means for the program that receives the read
    bool gs1 = false; // the data are GS1 element strings (FNC1 in the first position)
};

namespace SymbologyIds {

// The identifier of these three characters, or one with a null id.
SymbologyId find(const QString &threeCharacters);

// The identifier that leads a read, also as the Russian layout or Caps Lock
// turned its keys ("ъв2" typed for "]d2"); a null id when none does.
struct Leading
{
    SymbologyId id;
    QString meant; // "]d2"
    bool russian = false;
    bool caps = false;
};
Leading leading(const QString &text, bool keyboard);
// The symbology's name without what its modifier says: "Code 39", "ITF".
QString family(const SymbologyId &id);

} // namespace SymbologyIds
