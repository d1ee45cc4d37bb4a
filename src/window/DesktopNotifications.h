#pragma once

#include <QString>

#include <memory>

class QDBusConnection;

// Tells the user on the desktop that a job has ended while the window was not
// in front. Nothing is reported back; a desktop without notifications loses them.
class DesktopNotifications
{
public:
    virtual ~DesktopNotifications() = default;
    // `folder`, when not empty, is offered as an action that opens it.
    virtual void notify(const QString &summary, const QString &body, const QString &folder) = 0;
    virtual bool supported() const { return true; }
};

// No notifications: the window's own boxes say it all.
class NoDesktopNotifications final : public DesktopNotifications
{
public:
    void notify(const QString &, const QString &, const QString &) override {}
    bool supported() const override { return false; }
};
