#pragma once

#include <QString>

// The questions of many videos, besides the step-down one.
enum class JobQuestion
{
    WholeList, // a link holds a list: download all of it?
    GoOn,      // a video of a queue was stopped: go on with the rest?
};

// Modal boxes and questions; the window goes on handling its events while one is open.
class JobBoxes
{
public:
    virtual ~JobBoxes() = default;
    virtual void showError(const QString &text) = 0;
    // An error with the words of another program behind it (the window shows
    // them on demand; a terminal prints them after the text).
    virtual void showErrorDetails(const QString &text, const QString &details)
    {
        showError(text + QStringLiteral("\n\r") + details);
    }
    virtual void showInformation(const QString &text) = 0;
    virtual void showCommandFailure(const QString &text) = 0;
    // Yes/No box of the error kind; any answer but Yes counts as No.
    virtual bool askStepDown(const QString &question) = 0;
    // Yes/No box of the question kind; any answer but Yes counts as No.
    virtual bool askQuestion(JobQuestion kind, const QString &question) = 0;
};
