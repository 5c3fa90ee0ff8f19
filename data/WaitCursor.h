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

private:
    bool m_held = true;
};
