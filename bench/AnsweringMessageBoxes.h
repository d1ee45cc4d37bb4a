#pragma once

#include "window/MessageBoxes.h"

#include <QStringList>

// Modal boxes for an unattended window: each box is recorded as
// "Caption: text" instead of waiting for a user, and every question is
// answered with the one fixed answer.
class AnsweringMessageBoxes final : public MessageBoxes
{
public:
    explicit AnsweringMessageBoxes(bool answer)
        : m_answer(answer)
    {}

    void show(QWidget *, Kind kind, const QString &text) override
    {
        shown << caption(kind) + QStringLiteral(": ") + text;
    }
    void showDetails(QWidget *parent, Kind kind, const QString &text,
                     const QString &details) override
    {
        show(parent, kind, text + QStringLiteral("\n\r") + details);
    }
    bool askYesNo(QWidget *, const QString &text) override
    {
        shown << QStringLiteral("Question: ") + text +
                     (m_answer ? QStringLiteral(" [Yes]") : QStringLiteral(" [No]"));
        return m_answer;
    }

    QStringList shown;

private:
    bool m_answer;
};
