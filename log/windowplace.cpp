#include "log/windowplace.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace {

const char *const KeepProperty = "orvatekKeepInView";

// 0 right of the anchor, 1 left, 2 below, 3 anywhere else.
int side(const QRect &room, const QRect &anchor)
{
    if (room.left() > anchor.right())
        return 0;
    if (room.right() < anchor.left())
        return 1;
    if (room.top() > anchor.bottom())
        return 2;
    return 3;
}

qint64 area(const QRect &rect)
{
    return qint64(rect.width()) * rect.height();
}

} // namespace

namespace WindowPlace {

void detachFromParent(QWidget *window)
{
    window->winId(); // the native window, so that its relation can be undone
    if (QWindow *handle = window->windowHandle())
        handle->setTransientParent(nullptr);
}

void keepInView(QWidget *widget)
{
    widget->setProperty(KeepProperty, true);
}

QList<QRect> keptInView(const QWidget *except)
{
    QList<QRect> kept;
    for (const QWidget *window : QApplication::topLevelWidgets()) {
        const Qt::WindowType type = window->windowType();
        if (window == except || !window->isVisible() || (type != Qt::Window && type != Qt::Dialog))
            continue;
        bool marked = false;
        for (const QWidget *child : window->findChildren<QWidget *>()) {
            // The tool's windows are the main window's children: each counts apart.
            if (child->window() == window && child->isVisible()
                && child->property(KeepProperty).toBool()) {
                kept << QRect(child->mapToGlobal(QPoint(0, 0)), child->size());
                marked = true;
            }
        }
        if (!marked)
            kept << window->frameGeometry();
    }
    return kept;
}

QList<QRect> freeRooms(const QRect &available, const QList<QRect> &keep, const QRect &anchor)
{
    // A largest free rectangle has each edge on the area's edge or against a kept
    // rectangle: trying every such combination finds them all (a handful of
    // windows make a few hundred tries).
    QList<int> lefts { available.left() }, rights { available.right() };
    QList<int> tops { available.top() }, bottoms { available.bottom() };
    for (const QRect &rect : keep) {
        lefts << rect.right() + 1;
        rights << rect.left() - 1;
        tops << rect.bottom() + 1;
        bottoms << rect.top() - 1;
    }
    QList<QRect> rooms;
    for (int left : lefts)
        for (int right : rights)
            for (int top : tops)
                for (int bottom : bottoms) {
                    const QRect room = QRect(QPoint(left, top), QPoint(right, bottom)) & available;
                    if (room.isEmpty()
                        || std::any_of(keep.begin(), keep.end(),
                            [&](const QRect &rect) { return rect.intersects(room); }))
                        continue;
                    // Only the largest: one inside another is dropped.
                    if (std::any_of(rooms.begin(), rooms.end(),
                            [&](const QRect &other) { return other.contains(room); }))
                        continue;
                    rooms.removeIf([&](const QRect &other) { return room.contains(other); });
                    rooms << room;
                }
    std::stable_sort(rooms.begin(), rooms.end(), [&](const QRect &a, const QRect &b) {
        const int sideA = side(a, anchor), sideB = side(b, anchor);
        return sideA != sideB ? sideA < sideB : area(a) > area(b);
    });
    return rooms;
}

QRect placeIn(const QRect &room, QSize size, const QRect &anchor)
{
    size = size.boundedTo(room.size());
    const auto clamped = [](int wanted, int low, int high) {
        return std::clamp(wanted, low, std::max(low, high));
    };
    int x = clamped(anchor.left(), room.left(), room.right() + 1 - size.width());
    int y = clamped(anchor.top(), room.top(), room.bottom() + 1 - size.height());
    switch (side(room, anchor)) {
    case 0:
        x = room.left();
        break;
    case 1:
        x = room.right() + 1 - size.width();
        break;
    case 2:
        y = room.top();
        break;
    default:
        break;
    }
    return QRect(QPoint(x, y), size);
}

void moveFrame(QWidget *window, QPoint to, QPoint inset)
{
    const bool framed = window->frameGeometry() != window->geometry();
    window->move(framed ? to : to + inset);
}

QPoint inset(const QWidget *window)
{
    return window->geometry().topLeft() - window->frameGeometry().topLeft();
}

} // namespace WindowPlace
