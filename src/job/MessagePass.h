#pragma once

// One pass of the event loop: handle what is waiting, then return. A Stop
// click or a window close may run inside it.
class MessagePass
{
public:
    virtual ~MessagePass() = default;
    virtual void processMessages() = 0;
};
