#pragma once

#include "window/MessageBoxes.h"

#include <QStringList>

#include <deque>
#include <functional>

// Modal boxes for widget tests: records each box as "Caption: text" and answers
// Yes/No questions from a script (No when it runs out). Header-only, for the
// tests that link the window library.
class RecordingMessageBoxes final : public MessageBoxes
{
public:
    QStringList shown;
    std::deque<bool> answers;
    std::function<void()> onShow; // runs while a box would be open

    void show(QWidget *, Kind kind, const QString &text) override
    {
        shown << caption(kind) + QStringLiteral(": ") + text;
        if (onShow)
            onShow();
    }
    // The details follow the text in the same line, after " | details: ".
    void showDetails(QWidget *parent, Kind kind, const QString &text,
                     const QString &details) override
    {
        show(parent, kind, text + QStringLiteral(" | details: ") + details);
    }
    bool askYesNo(QWidget *, const QString &text) override
    {
        shown << QStringLiteral("Question: ") + text;
        if (onShow)
            onShow();
        if (answers.empty())
            return false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
};
