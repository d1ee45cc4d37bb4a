#pragma once

#include "session/JobSession.h"
#include "window/MainForm.h"

// The window program: the main window with the real job wired to it. The job
// is built here and handed to the window, so the window library carries no step.
class WindowProgram
{
public:
    WindowProgram() { m_form.setJob(m_session.controller()); }
    WindowProgram(const WindowProgram &) = delete;
    WindowProgram &operator=(const WindowProgram &) = delete;

    TMainForm &form() { return m_form; }
    JobSession &session() { return m_session; }

private:
    TMainForm m_form; // declared first: the session uses its roles
    JobSession m_session{m_form.state(), m_form.jobWindow()};
};
