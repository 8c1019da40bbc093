#pragma once

#include <QList>
#include <QRect>

class QWidget;

// Where the tool's own windows go: beside the main window and each other, never
// over what the operator must keep seeing (the main window, a test code's symbol
// and its verdict), inside the screen's available area. Rectangles are frames in
// the desktop's coordinates.
namespace WindowPlace {

// Leaves a window of the tool free in the stacking order: a transient parent
// would make the window manager (and Windows, as the window's owner) keep it
// above its parent, where it could hide the main window for good. The widget
// parent stays, and with it the ownership.
void detachFromParent(QWidget *window);

// What the windows shown other than `except` ask to keep in view: the widgets
// marked with keepInView(), or, in a window that marks none, its whole frame.
QList<QRect> keptInView(const QWidget *except);
void keepInView(QWidget *widget);

// The largest free rectangles of `available` that overlap none of `keep`, in the
// order they are wanted for a window beside `anchor`: right of it, left of it,
// below it, then any other.
QList<QRect> freeRooms(const QRect &available, const QList<QRect> &keep, const QRect &anchor);

// A frame of `size` in `room`, as near `anchor` as the room allows (against the
// anchor's side facing the room, level with its top where it can be).
QRect placeIn(const QRect &room, QSize size, const QRect &anchor);

// Moves a window's frame to `to`. Before the window manager has framed it, Qt
// can only move the window's inside: `inset`, where the inside lies in a frame
// like the main window's, stands for the frame it will get.
void moveFrame(QWidget *window, QPoint to, QPoint inset);
// Where the inside of a window lies in its frame (none without a frame).
QPoint inset(const QWidget *window);

} // namespace WindowPlace
