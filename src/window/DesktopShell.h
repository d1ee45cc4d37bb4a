#pragma once

#include <QString>

#include <optional>

class QWidget;

// What the window asks of the desktop: the folder browser, the file manager and
// the web browser. Replaceable so tests can answer the dialog and see the calls.
class DesktopShell
{
public:
    virtual ~DesktopShell() = default;

    // The folder browser, opened at startFolder; nothing when the user cancels.
    virtual std::optional<QString> chooseFolder(QWidget *owner, const QString &title,
                                                const QString &startFolder) = 0;
    // Opens a local folder in the file manager.
    virtual void exploreFolder(const QString &folder) = 0;
    // Opens a web page in the user's browser.
    virtual void openWebPage(const QString &address) = 0;
    // Opens a local HTML file (the help page) in the user's browser.
    virtual void openLocalPage(const QString &path) = 0;
};

// The real desktop, through Qt's file dialog and QDesktopServices.
class SystemDesktopShell final : public DesktopShell
{
public:
    std::optional<QString> chooseFolder(QWidget *owner, const QString &title,
                                        const QString &startFolder) override;
    void exploreFolder(const QString &folder) override;
    void openWebPage(const QString &address) override;
    void openLocalPage(const QString &path) override;
};
