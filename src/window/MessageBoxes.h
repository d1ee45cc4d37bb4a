#pragma once

#include <QString>

class QWidget;

// The window's modal boxes, behind an interface so tests can answer them.
class MessageBoxes
{
public:
    enum class Kind
    {
        Error,          // caption "Error", error icon, OK
        Information,    // caption "Information", information icon, OK
        CommandFailure, // caption "Could not execute command line", no icon, OK
        About,          // caption "About Vidlark", the program's icon, OK
    };

    virtual ~MessageBoxes() = default;
    virtual void show(QWidget *parent, Kind kind, const QString &text) = 0;
    // A box whose details (another program's own words) open on demand.
    virtual void showDetails(QWidget *parent, Kind kind, const QString &text,
                             const QString &details) = 0;
    // Error look with Yes and No; any way of closing it but Yes answers No.
    virtual bool askYesNo(QWidget *parent, const QString &text) = 0;
    // A question that is no error (a list, the rest of a queue): the same answers.
    virtual bool askQuestion(QWidget *parent, const QString &text)
    {
        return askYesNo(parent, text);
    }

    static QString caption(Kind kind);
    // Texts carry LF CR (or CR LF) pairs as line breaks: each pair, and any
    // lone CR, becomes one line feed.
    static QString displayText(const QString &text);
};
