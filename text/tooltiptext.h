#pragma once

#include <QString>

// About what the eye takes in at a glance: a tooltip's lines are no longer, in
// characters, unless a single word is.
constexpr qsizetype ToolTipLineLength = 60;

// Plain text wrapped for a tooltip: each of its lines broken at spaces into lines
// of at most that many characters. A word longer than a line stays whole on a line
// of its own, so that a device path or a program's name is never broken; a text
// that must not be broken even at its spaces goes through unbreakable() first.
QString wrappedText(const QString &plain, qsizetype width = ToolTipLineLength);

// The text with no-break spaces for its spaces: wrapping never breaks it.
QString unbreakable(const QString &text);

// A tooltip that shows plain text as it is: markup literally, wrapped as above and
// nowhere else (Qt wraps a rich-text tooltip at a width of its own choosing, and a
// device path would break after any "/").
QString toolTipText(const QString &plain);
