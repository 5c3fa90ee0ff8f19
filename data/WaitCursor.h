#pragma once

// The busy cursor for the life of a scope: every way out of the scope,
// an early return too, gives the cursor back.
class WaitCursor
{
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;

    // Gives the cursor back before the scope ends; the destructor then does nothing.
    void release();

    // Shows the busy cursor over the application until it is given back.
    static void setWaitCursor();

    // The busy cursor of the work around it gives way for the life of a scope,
    // for a question asked in the middle of that work, and comes back after.
    class Pause
    {
    public:
        Pause();
        ~Pause();
        Pause(const Pause &) = delete;
        Pause &operator=(const Pause &) = delete;

    private:
        bool m_paused = false;
    };

private:
    bool m_held = true;
};
